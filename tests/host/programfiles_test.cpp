#include "host/programfiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ProgramFiles, BesideTheProgramThenInstalledNeverTheWorkingDirectory) {
    const fs::path root =
        fs::temp_directory_path() / ("amplex-files-" + std::to_string(::getpid()));
    fs::create_directories(root / "bin/doc");
    fs::create_directories(root / "share/amplex/gates");
    std::ofstream(root / "bin/doc/index.html") << "x";
    EXPECT_EQ(ProgramFiles::locate("doc/index.html", root / "bin"), root / "bin/doc/index.html");
    EXPECT_EQ(ProgramFiles::locate("gates", root / "bin"), root / "share/amplex/gates");
    // Found nowhere: the missing path beside the program.
    EXPECT_EQ(ProgramFiles::locate("notes", root / "bin"), root / "bin/notes");
    fs::remove_all(root);
}

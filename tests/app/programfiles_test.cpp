#include "app/programfiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ProgramFiles, WorkingDirectoryFirstThenBesideTheProgram) {
    const fs::path root =
        fs::temp_directory_path() / ("amplex-files-" + std::to_string(::getpid()));
    fs::create_directories(root / "cwd/doc");
    fs::create_directories(root / "bin/doc");
    fs::create_directories(root / "bin/gates");
    std::ofstream(root / "cwd/doc/index.html") << "x";
    std::ofstream(root / "bin/doc/index.html") << "x";
    EXPECT_EQ(ProgramFiles::locate("doc/index.html", root / "cwd", root / "bin"),
              root / "cwd/doc/index.html");
    EXPECT_EQ(ProgramFiles::locate("gates", root / "cwd", root / "bin"), root / "bin/gates");
    // Found nowhere: the missing path under the working directory.
    EXPECT_EQ(ProgramFiles::locate("gates", root / "cwd", {}), root / "cwd/gates");
    fs::remove_all(root);
}

#include "host/programfiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(ProgramFiles, BesideTheProgramThenUnderItsPrefixNeverTheWorkingDirectory) {
    const fs::path root =
        fs::temp_directory_path() / ("amplex-files-" + std::to_string(::getpid()));
    // A build tree (doc/ beside the program) and an installed prefix (gates under lib/).
    fs::create_directories(root / "bin/doc");
    fs::create_directories(root / "lib/amplex/gates");
    fs::create_directories(root / "share/doc/amplex");
    std::ofstream(root / "bin/doc/index.html") << "x";
    std::ofstream(root / "share/doc/amplex/index.html") << "x";
    EXPECT_EQ(ProgramFiles::guide(root / "bin"), root / "bin/doc/index.html");
    EXPECT_EQ(ProgramFiles::gates(root / "bin"), root / "lib/amplex/gates");
    fs::remove_all(root / "bin/doc");
    EXPECT_EQ(ProgramFiles::guide(root / "bin"), root / "share/doc/amplex/index.html");
    // Found nowhere: the missing path beside the program.
    fs::remove_all(root / "lib");
    EXPECT_EQ(ProgramFiles::gates(root / "bin"), root / "bin/gates");
    fs::remove_all(root);
}

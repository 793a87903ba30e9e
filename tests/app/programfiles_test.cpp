#include "app/programfiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProgramFilesTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("amplex-programfiles-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "cwd");
        fs::create_directories(root / "bin");
    }
    void TearDown() override { fs::remove_all(root); }
    static void touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }

    fs::path root;
};

TEST_F(ProgramFilesTest, WorkingDirectoryComesFirst) {
    touch(root / "cwd/doc/index.html");
    touch(root / "bin/doc/index.html");
    EXPECT_EQ(ProgramFiles::locate("doc/index.html", root / "cwd", root / "bin"),
              root / "cwd/doc/index.html");
}

TEST_F(ProgramFilesTest, FallsBackToTheProgramsDirectory) {
    fs::create_directories(root / "bin/gates/basic");
    EXPECT_EQ(ProgramFiles::locate("gates", root / "cwd", root / "bin"), root / "bin/gates");
}

TEST_F(ProgramFilesTest, NeitherGivesTheMissingPathUnderTheWorkingDirectory) {
    EXPECT_EQ(ProgramFiles::locate("gates", root / "cwd", root / "bin"), root / "cwd/gates");
    EXPECT_EQ(ProgramFiles::locate("gates", root / "cwd", {}), root / "cwd/gates");
}

} // namespace

#include "host/gatetree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Entry = GateTree::Entry;

Entry leaf(const std::string& text) {
    return {text, false, {}};
}
Entry branch(const std::string& text, std::vector<Entry> children) {
    return {text, true, std::move(children)};
}

class GateTreeScan : public testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }
    void touch(const std::string& relative) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << "x";
    }

    const fs::path root =
        fs::temp_directory_path() / ("amplex-gatetree-" + std::to_string(::getpid()));
};

TEST_F(GateTreeScan, MirrorsTheDirectoriesWithSortedSiblingsNamedWithoutSuffix) {
    touch("shor/modules/invfourier.so");
    touch("basic/hadamardrange.so");
    touch("basic/cnotgate.so");
    touch("basic/Readme.txt"); // every file is an entry, cut at its last dot
    touch("basic/archive.tar.gz");
    touch("basic/noext");
    touch("basic/.so");
    fs::create_directories(root / "dotted.dir");
    EXPECT_EQ(GateTree::scan(root),
              (std::vector<Entry>{
                  branch("basic", {leaf(""), leaf("archive.tar"), leaf("cnotgate"),
                                   leaf("hadamardrange"), leaf("noext"), leaf("Readme")}),
                  branch("dotted.dir", {}),
                  branch("shor", {branch("modules", {leaf("invfourier")})}),
              }));
}

TEST_F(GateTreeScan, MissingOrEmptyDirectoryGivesNoEntries) {
    EXPECT_TRUE(GateTree::scan(root).empty());
    EXPECT_TRUE(GateTree::scan(root / "absent").empty());
    touch("file.so");
    EXPECT_TRUE(GateTree::scan(root / "file.so").empty()); // not a directory
}

TEST_F(GateTreeScan, LinkLoopEndsAtTheDepthLimit) {
    touch("basic/cnotgate.so");
    fs::create_directory_symlink(root / "basic", root / "basic" / "again");
    const auto top = GateTree::scan(root);
    ASSERT_EQ(top.size(), 1u);
    int depth = 1;
    for (const Entry* e = &top[0]; !e->children.empty(); ++depth) {
        e = &e->children.front(); // "again" sorts before "cnotgate"
    }
    EXPECT_EQ(depth, GateTree::MaxDepth);
}

} // namespace

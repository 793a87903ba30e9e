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
        root = fs::temp_directory_path() /
               ("amplex-gatetree-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }
    void touch(const std::string& relative) const {
        const fs::path file = root / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }

    fs::path root;
};

TEST_F(GateTreeScan, MirrorsTheDirectoriesWithSortedSiblings) {
    touch("shor/modules/invfourier.so");
    touch("basic/hadamardrange.so");
    touch("basic/cnotgate.so");
    EXPECT_EQ(GateTree::scan(root), (std::vector<Entry>{
                                        branch("basic", {leaf("cnotgate"), leaf("hadamardrange")}),
                                        branch("shor", {branch("modules", {leaf("invfourier")})}),
                                    }));
}

TEST_F(GateTreeScan, EveryFileIsAnEntryNamedWithoutItsLastSuffix) {
    touch("basic/readme.txt");
    touch("basic/archive.tar.gz");
    touch("basic/noext");
    touch("basic/.so");
    fs::create_directories(root / "dotted.dir");
    EXPECT_EQ(GateTree::scan(root),
              (std::vector<Entry>{
                  branch("basic", {leaf(""), leaf("archive.tar"), leaf("noext"), leaf("readme")}),
                  branch("dotted.dir", {}),
              }));
}

TEST_F(GateTreeScan, SortsAlphabeticallyIgnoringCaseFirst) {
    for (const char* name : {"Zeta.so", "alpha.so", "Beta.so", "beta.so", "gamma10.so"}) {
        touch(name);
    }
    std::vector<std::string> texts;
    for (const Entry& e : GateTree::scan(root)) {
        texts.push_back(e.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"alpha", "Beta", "beta", "gamma10", "Zeta"}));
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

TEST(GateTree, JoinsPathsWithBackslashes) {
    EXPECT_EQ(GateTree::gatePath({"shor", "modules", "invfourier"}), "shor\\modules\\invfourier");
    EXPECT_EQ(GateTree::gatePath({"basic"}), "basic");
    EXPECT_EQ(GateTree::gatePath({}), "");
}

} // namespace

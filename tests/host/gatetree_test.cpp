#include "host/gatetree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using Entry = GateTree::Entry;

class GateTreeScan : public testing::Test {
protected:
    void TearDown() override { fs::remove_all(root); }
    void touch(const std::string& relative) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << "x";
    }
    const fs::path root =
        fs::temp_directory_path() / ("amplex-gatetree-" + std::to_string(::getpid()));
};

TEST_F(GateTreeScan, MirrorsTheDirectoriesWithSortedSiblingsNamedWithoutSuffix) {
    for (const char* file :
         {"shor/modules/invfourier.so", "basic/hadamardrange.so", "basic/cnotgate.so",
          "basic/Readme.txt", "basic/archive.tar.gz", "basic/noext", "basic/.so"}) {
        touch(file); // every file is an entry, cut at its last dot
    }
    fs::create_directories(root / "dotted.dir");
    EXPECT_TRUE(GateTree::scan(root / "basic/noext").empty()); // not a directory
    const auto leaf = [](const char* text) { return Entry{text, false, {}}; };
    const std::vector<Entry> basic = {leaf(""),         leaf("archive.tar"),
                                      leaf("cnotgate"), leaf("hadamardrange"),
                                      leaf("noext"),    leaf("Readme")};
    const std::vector<Entry> shor = {{"modules", true, {leaf("invfourier")}}};
    EXPECT_EQ(GateTree::scan(root),
              (std::vector<Entry>{
                  {"basic", true, basic}, {"dotted.dir", true, {}}, {"shor", true, shor}}));
}

TEST_F(GateTreeScan, LinkLoopEndsAtTheDepthLimit) {
    touch("basic/cnotgate.so");
    fs::create_directory_symlink(root / "basic", root / "basic" / "again");
    int depth = 0;
    for (auto level = GateTree::scan(root); !level.empty(); ++depth) {
        level = std::vector(level.front().children); // "again" sorts before "cnotgate"
    }
    EXPECT_EQ(depth, GateTree::MaxDepth);
}

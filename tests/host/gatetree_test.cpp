#include "host/gatetree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using Entry = GateTree::Entry;

static Entry leaf(const char* text) {
    return Entry{text, false, {}};
}

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
    EXPECT_TRUE(GateTree::scan({root / "basic/noext"}).empty()); // not a directory
    const std::vector<Entry> basic = {leaf(""),         leaf("archive.tar"),
                                      leaf("cnotgate"), leaf("hadamardrange"),
                                      leaf("noext"),    leaf("Readme")};
    const std::vector<Entry> shor = {{"modules", true, {leaf("invfourier")}}};
    EXPECT_EQ(GateTree::scan({root}),
              (std::vector<Entry>{
                  {"basic", true, basic}, {"dotted.dir", true, {}}, {"shor", true, shor}}));
}

TEST_F(GateTreeScan, LinksAreEnteredOnceAndTheScanStopsAtTheEntryLimit) {
    touch("basic/cnotgate.so");
    fs::create_directory_symlink(root / "basic", root / "basic" / "again");
    for (const char* name : {"a", "b", "c"}) {
        fs::create_directory_symlink(".", root / name); // each leads back to the folder itself
    }
    EXPECT_EQ(GateTree::scan({root, root / "basic"}),
              (std::vector<Entry>{{"basic", true, {leaf("cnotgate")}}}));
    // A folder of many files: the scan reads MaxEntries items in all, over every folder.
    fs::create_directories(root / "many");
    for (int k = 0; k < GateTree::MaxEntries + 5; ++k) {
        std::ofstream(root / "many" / std::to_string(k));
    }
    EXPECT_EQ(GateTree::scan({root / "many", root / "basic"}).size(),
              static_cast<std::size_t>(GateTree::MaxEntries));
}

TEST_F(GateTreeScan, LaterFoldersAddWhatEarlierOnesLackAndEachGatePathShowsOnce) {
    touch("one/basic/cnotgate.so");
    touch("one/basic/hadamard.so");
    touch("two/basic/hadamard.so");
    touch("two/basic/mygate.so");
    touch("two/mine/extra.so");
    EXPECT_EQ(
        GateTree::scan({root / "one", root / "two", root / "missing"}),
        (std::vector<Entry>{{"basic", true, {leaf("cnotgate"), leaf("hadamard"), leaf("mygate")}},
                            {"mine", true, {leaf("extra")}}}));
}

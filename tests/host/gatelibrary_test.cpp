#include "host/gatelibrary.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path fixtureRoot = AMPLEX_FIXTURE_ROOT;
const fs::path mainRoot = fixtureRoot / "main";

// Whether the file is still mapped into the process.
bool isMapped(const fs::path& file) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) {
        dlclose(handle);
    }
    return handle != nullptr;
}

TEST(GateLibrary, GatePathLevelsBecomeDirectoriesUnderGates) {
    EXPECT_EQ(GateLibrary::relativeFile("basic\\hadamard"), fs::path("gates/basic/hadamard.so"));
    EXPECT_EQ(GateLibrary::relativeFile("shor\\modules\\power"),
              fs::path("gates/shor/modules/power.so"));
    EXPECT_EQ(GateLibrary::relativeFile("top"), fs::path("gates/top.so"));
}

TEST(GateLibrary, PathsThatCouldLeaveTheGateTreeAreRefused) {
    const std::vector<std::string> refused = {
        "",
        "\\",
        "basic\\",
        "\\basic",
        "basic\\\\hadamard",
        "..",
        "..\\amplex",
        "basic\\..\\..\\x",
        ".\\basic",
        "basic\\.",
        "a/b",
        "/etc/passwd",
        "basic\\had/amard",
        "../../etc/x",
        std::string("basic\\had\0amard", 15),
    };
    for (const std::string& path : refused) {
        EXPECT_TRUE(GateLibrary::relativeFile(path).empty()) << path;
        const GateLibrary library = GateLibrary::open(path, {mainRoot});
        EXPECT_FALSE(library.loaded()) << path;
        EXPECT_FALSE(library.error().empty()) << path;
    }
}

TEST(GateLibrary, SearchRootsAreTheProgramDirectoryThenTheWorkingDirectory) {
    const std::vector<fs::path> roots = GateLibrary::defaultSearchRoots();
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0], fs::read_symlink("/proc/self/exe").parent_path());
    EXPECT_EQ(roots[1], fs::current_path());
}

TEST(GateLibrary, FirstRootHoldingALoadableFileWins) {
    const fs::path first = fixtureRoot / "first";
    const fs::path second = fixtureRoot / "second";
    const GateLibrary a = GateLibrary::open("fixtures\\where", {first, second});
    const GateLibrary b = GateLibrary::open("fixtures\\where", {second, first});
    ASSERT_TRUE(a.loaded());
    ASSERT_TRUE(b.loaded());
    EXPECT_NE(a.handle(), b.handle());
    Dl_info info{};
    ASSERT_NE(dladdr(a.symbol("execute"), &info), 0);
    EXPECT_EQ(fs::path(info.dli_fname), first / "gates/fixtures/where.so");

    // A root without the file, or with a file that is no library, is passed over.
    const GateLibrary c = GateLibrary::open("fixtures\\counter", {second, first, mainRoot});
    ASSERT_TRUE(c.loaded()) << c.error();
    ASSERT_NE(dladdr(c.symbol("execute"), &info), 0);
    EXPECT_EQ(fs::path(info.dli_fname), mainRoot / "gates/fixtures/counter.so");
}

TEST(GateLibrary, MissingFilesAndNonLibrariesDoNotLoad) {
    const GateLibrary missing = GateLibrary::open("fixtures\\nosuchgate", {mainRoot});
    EXPECT_FALSE(missing.loaded());
    EXPECT_FALSE(missing.error().empty());
    EXPECT_EQ(missing.symbol("execute"), nullptr);

    const GateLibrary text = GateLibrary::open("fixtures\\notalib", {mainRoot});
    EXPECT_FALSE(text.loaded());
    EXPECT_FALSE(text.error().empty());

    // A directory is no library either (the Gates tree's branches).
    EXPECT_FALSE(GateLibrary::open("fixtures", {mainRoot}).loaded());
    EXPECT_FALSE(GateLibrary::open("fixtures\\counter", {}).loaded());
}

TEST(GateLibrary, UnloadingReallyRemovesTheLibrary) {
    const fs::path file = mainRoot / "gates/fixtures/counter.so";
    ASSERT_FALSE(isMapped(file));
    {
        GateLibrary library = GateLibrary::open("fixtures\\counter", {mainRoot});
        ASSERT_TRUE(library.loaded());
        EXPECT_TRUE(isMapped(file));
        EXPECT_NE(library.variable<void*>("hdll"), nullptr);
        EXPECT_EQ(library.symbol("nosuchsymbol"), nullptr);

        // Moving hands over the one handle; the moved-from object unloads nothing.
        GateLibrary moved = std::move(library);
        EXPECT_FALSE(library.loaded()); // NOLINT(bugprone-use-after-move)
        EXPECT_TRUE(moved.loaded());
        EXPECT_TRUE(isMapped(file));
        moved.unload();
        EXPECT_FALSE(moved.loaded());
        EXPECT_FALSE(isMapped(file));
        moved.unload(); // a second unload is harmless

        GateLibrary assigned = GateLibrary::open("fixtures\\counter", {mainRoot});
        assigned = GateLibrary::open("fixtures\\chain", {mainRoot});
        EXPECT_FALSE(isMapped(file)); // the replaced library went
        EXPECT_TRUE(assigned.loaded());
    }
    EXPECT_FALSE(isMapped(mainRoot / "gates/fixtures/chain.so"));
}

} // namespace

// Every library in the built gate tree keeps the binary contract: exactly the seven exports,
// slots zero at load, a run that keeps the norm, and nothing left in memory after unloading.
// The tree is walked, so a new gate is covered by being built.

#include "tests/support/hostfixture.h"
#include "tests/support/referencesim.h"
#include "tests/support/resultboxcatcher.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Every library of the tree by its gate path: levels joined by "\", the extension cut.
std::map<std::string, fs::path> builtGates() {
    std::map<std::string, fs::path> gates;
    const fs::path tree = fs::path(buildDir()) / "gates";
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        if (entry.is_regular_file()) {
            std::string gatePath = fs::relative(entry.path(), tree).replace_extension().string();
            std::replace(gatePath.begin(), gatePath.end(), '/', '\\');
            gates[gatePath] = entry.path();
        }
    }
    return gates;
}

// The functions and variables that an ELF shared object defines in its dynamic symbol table,
// with their symbol type. Linker markers without a type (_end, __bss_start) are left out.
std::map<std::string, int> exportedSymbols(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto read = [&](auto& into, std::size_t offset) {
        std::memcpy(&into, image.data() + offset, sizeof into);
    };
    std::map<std::string, int> symbols;
    Elf64_Ehdr header;
    if (image.size() < sizeof header) {
        return symbols;
    }
    read(header, 0);
    for (std::size_t s = 0; s < header.e_shnum; ++s) {
        Elf64_Shdr table, names;
        read(table, header.e_shoff + s * sizeof table);
        if (table.sh_type != SHT_DYNSYM) {
            continue;
        }
        read(names, header.e_shoff + table.sh_link * sizeof names);
        for (std::size_t k = 0; k < table.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym symbol;
            read(symbol, table.sh_offset + k * sizeof symbol);
            const int type = ELF64_ST_TYPE(symbol.st_info);
            if (symbol.st_shndx != SHN_UNDEF && (type == STT_FUNC || type == STT_OBJECT)) {
                symbols[image.data() + names.sh_offset + symbol.st_name] = type;
            }
        }
    }
    return symbols;
}

bool stillLoaded(const fs::path& file) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle) {
        dlclose(handle);
    }
    return handle != nullptr;
}

// Each gate is run with a block that makes sense to every layout in use: range 0 - 2, count 2
// with the values 3 and 4 and a flag target 4 behind them, x = 2 and N = 3 for the Shor gates.
TEST(GateContract, EveryLibraryExportsTheSevenSymbolsRunsAndShowsAndIsUnloadedAfterwards) {
    const auto gates = builtGates();
    ASSERT_GE(gates.size(), 16u);
    const std::map<std::string, int> expected = {
        {"execute", STT_FUNC},       {"dlgshow", STT_FUNC},    {"dlghide", STT_FUNC},
        {"procexecute", STT_OBJECT}, {"procstep", STT_OBJECT}, {"r", STT_OBJECT},
        {"hdll", STT_OBJECT}};
    const ResultBoxCatcher catcher; // the Shor gates report their results in a modal box
    std::int32_t block[64] = {0, 2, 2, 3, 4, 4};
    for (const auto& [gatePath, file] : gates) {
        SCOPED_TRACE(gatePath);
        EXPECT_EQ(exportedSymbols(file), expected);
        void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        for (const auto& [name, type] : expected) {
            void* address = dlsym(handle, name.c_str());
            ASSERT_NE(address, nullptr) << name;
            if (type == STT_OBJECT) {
                EXPECT_EQ(*static_cast<void**>(address), nullptr) << name << " not zero at load";
            }
        }
        dlclose(handle);
        EXPECT_FALSE(stillLoaded(file)) << "still mapped after dlclose";

        HostFixture f(5);
        ReferenceSim::random(5, 50).loadInto(f.live);
        const bool singleQubit = gatePath == "basic\\hadamard" || gatePath == "basic\\pieighth";
        // A second run loads the library afresh; the first leaves nothing behind in it.
        for (int run = 0; run < 2; ++run) {
            f.host.runGate(gatePath.c_str(),
                           singleQubit ? std::intptr_t{1} : amplex::argumentWord(block));
            EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-9);
            EXPECT_EQ(f.host.nestingDepth(), 0);
            EXPECT_FALSE(stillLoaded(file));
        }
        ASSERT_TRUE(f.host.showGateDialog(gatePath, 1920, 1080));
        EXPECT_TRUE(stillLoaded(file));
        f.host.hideGateDialog();
        EXPECT_FALSE(stillLoaded(file));
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(widget->isVisible()) << widget->windowTitle().toStdString();
        }
    }
}

// The threads a gate starts run the plug-in's code, which is unmapped after the run: none may
// be left over, however often the gate is loaded, run and unloaded.
TEST(GateContract, ThreadsEndWithTheRunOfTheirLibrary) {
    const auto threads = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("Threads:", 0) == 0) {
                return std::stoi(line.substr(8));
            }
        }
        return -1;
    };
    setenv("AMPLEX_THREADS", "2", 1);
    HostFixture f(18); // the size from which passes run on several threads
    ReferenceSim::random(18, 3).loadInto(f.live);
    const int atStart = threads();
    for (int run = 0; run < 1000; ++run) {
        f.run("basic\\hadamard", std::intptr_t{17});
    }
    unsetenv("AMPLEX_THREADS");
    EXPECT_EQ(f.steps.size(), 1000u);
    EXPECT_FALSE(stillLoaded(builtGates().at("basic\\hadamard")));
    // A joined thread may take a moment to leave the kernel's count.
    for (int wait = 0; wait < 100 && threads() > atStart; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(threads(), atStart);
}

} // namespace

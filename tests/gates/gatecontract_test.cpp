// Every library in the built gate tree keeps the binary contract: exactly the seven exports,
// slots zero at load, a run that keeps the norm, and nothing left in memory after unloading.
// The tree is walked, so a new gate is covered by being built.

#include "tests/gates/referencesim.h"
#include "tests/support/hostfixture.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;

struct GateFile {
    fs::path file;
    std::string gatePath; // levels joined by "\", the file name cut at its last "."
};

std::vector<GateFile> builtGates() {
    std::vector<GateFile> gates;
    const fs::path tree = fs::path(buildDir()) / "gates";
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::string gatePath;
        for (const auto& level : fs::relative(entry.path().parent_path(), tree)) {
            if (level != ".") {
                gatePath += level.string() + "\\";
            }
        }
        gates.push_back({entry.path(), gatePath + entry.path().stem().string()});
    }
    std::sort(gates.begin(), gates.end(),
              [](const auto& a, const auto& b) { return a.gatePath < b.gatePath; });
    return gates;
}

// The functions and variables that an ELF shared object defines in its dynamic symbol table,
// with their symbol type. Linker markers without a type (_end, __bss_start) are left out.
std::map<std::string, int> exportedSymbols(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::map<std::string, int> symbols;
    Elf64_Ehdr header;
    if (image.size() < sizeof header) {
        return symbols;
    }
    std::memcpy(&header, image.data(), sizeof header);
    auto sectionAt = [&](std::size_t index) {
        Elf64_Shdr section;
        std::memcpy(&section, image.data() + header.e_shoff + index * sizeof section,
                    sizeof section);
        return section;
    };
    for (std::size_t s = 0; s < header.e_shnum; ++s) {
        const Elf64_Shdr table = sectionAt(s);
        if (table.sh_type != SHT_DYNSYM) {
            continue;
        }
        const Elf64_Shdr names = sectionAt(table.sh_link);
        for (std::size_t k = 0; k < table.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, image.data() + table.sh_offset + k * sizeof symbol, sizeof symbol);
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

// Accepts whatever modal box a gate shows (the Shor gates report their results in one).
class ModalCloser {
public:
    ModalCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                box->close();
            }
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

TEST(GateContract, EveryLibraryExportsExactlyTheSevenSymbols) {
    const auto gates = builtGates();
    ASSERT_GE(gates.size(), 9u);
    const std::map<std::string, int> expected = {
        {"execute", STT_FUNC},       {"dlgshow", STT_FUNC},    {"dlghide", STT_FUNC},
        {"procexecute", STT_OBJECT}, {"procstep", STT_OBJECT}, {"r", STT_OBJECT},
        {"hdll", STT_OBJECT}};
    for (const auto& gate : gates) {
        SCOPED_TRACE(gate.gatePath);
        EXPECT_EQ(exportedSymbols(gate.file), expected);

        void* handle = dlopen(gate.file.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        for (const auto& [name, type] : expected) {
            void* address = dlsym(handle, name.c_str());
            ASSERT_NE(address, nullptr) << name;
            if (type == STT_OBJECT) {
                EXPECT_EQ(*static_cast<void**>(address), nullptr) << name << " not zero at load";
            }
        }
        dlclose(handle);
        EXPECT_FALSE(stillLoaded(gate.file)) << "still mapped after dlclose";
    }
}

// Run with a block that makes sense to every gate layout in use: range 0 - 2, count 2 with
// the values 3 and 4 and a flag target 4 behind them, x = 2 and N = 3 for the Shor gates.
TEST(GateContract, EveryGateRunsByPathKeepsTheNormAndIsUnloaded) {
    const ModalCloser closer;
    std::int32_t block[64] = {0, 2, 2, 3, 4, 4};
    for (const auto& gate : builtGates()) {
        SCOPED_TRACE(gate.gatePath);
        HostFixture f(5);
        ReferenceSim::random(5, 50).loadInto(f.live);
        const bool singleQubit =
            gate.gatePath == "basic\\hadamard" || gate.gatePath == "basic\\pieighth";
        f.host.runGate(gate.gatePath.c_str(),
                       singleQubit ? std::intptr_t{1} : amplex::argumentWord(block));
        EXPECT_NEAR(f.live.probabilitySum(), 1.0, 1e-9);
        EXPECT_EQ(f.host.nestingDepth(), 0);
        EXPECT_FALSE(stillLoaded(gate.file));
        // A second run loads the library afresh; the first leaves nothing behind in it.
        f.host.runGate(gate.gatePath.c_str(),
                       singleQubit ? std::intptr_t{1} : amplex::argumentWord(block));
        EXPECT_FALSE(stillLoaded(gate.file));
    }
}

TEST(GateContract, EveryDialogIsGoneWithItsLibrary) {
    for (const auto& gate : builtGates()) {
        SCOPED_TRACE(gate.gatePath);
        HostFixture f(3);
        ASSERT_TRUE(f.host.showGateDialog(gate.gatePath, 1920, 1080));
        EXPECT_TRUE(stillLoaded(gate.file));
        f.host.hideGateDialog();
        EXPECT_FALSE(stillLoaded(gate.file));
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(widget->isVisible()) << widget->windowTitle().toStdString();
        }
    }
}

} // namespace

#pragma once

#include "core/qregister.h"
#include "core/segmentation.h"
#include "host/gatecontract.h"
#include "host/gatehost.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// A headless host over a live register, recording every step text with its depth. Loads the
// real plug-ins of the build tree.
class HostFixture {
public:
    struct Step {
        std::string text;
        int depth = 0;
    };

    explicit HostFixture(int qubits = 3);

    // The live register set to the basis state `index`.
    void setBasisState(std::uint32_t index);
    void run(const char* gatePath, std::intptr_t word) { host.runGate(gatePath, word); }
    void run(const char* gatePath, const std::vector<std::int32_t>& block) {
        host.runGate(gatePath, amplex::argumentWord(block.data()));
    }
    // A braced block, even of one int, is a GateArgs block, never a qubit number.
    void run(const char* gatePath, std::initializer_list<std::int32_t> block) {
        run(gatePath, std::vector<std::int32_t>(block));
    }
    // The step texts in the order they were recorded.
    std::vector<std::string> texts() const;

    Segmentation segmentation;
    QRegister live;
    GateHost host;
    std::vector<Step> steps;
};

// The build tree that holds gates/, where the plug-ins are loaded from.
std::string buildDir();

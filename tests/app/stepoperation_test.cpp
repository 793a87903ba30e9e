#include "app/stepoperation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

struct Case {
    const char* text;
    const char* name;
    std::vector<int> qubits;
    std::vector<double> params;
};

} // namespace

TEST(StepOperation, ReadsEveryGatesStepText) {
    const Case cases[] = {
        {"Hadamard ( 3 )", "h", {3}, {}},
        {"Pi-eighth ( 0 )", "t", {0}, {}},
        {"X ( 1 )", "x", {1}, {}},
        {"Y ( 2 )", "y", {2}, {}},
        {"Z ( 25 )", "z", {25}, {}},
        {"S ( 4 )", "s", {4}, {}},
        {"S-dagger ( 4 )", "sdg", {4}, {}},
        {"T-dagger ( 5 )", "tdg", {5}, {}},
        // Degrees in the text, radians rebuilt as degrees * pi / 180.
        {"Phase ( 0, 90 )", "p", {0}, {90 * Pi / 180}},
        {"Rx ( 1, -22.5 )", "rx", {1}, {-22.5 * Pi / 180}},
        {"Ry ( 2, 57.2957795130823 )", "ry", {2}, {57.2957795130823 * Pi / 180}},
        {"Rz ( 3, 1e-05 )", "rz", {3}, {1e-05 * Pi / 180}},
        {"cnot ( 2, 0 )", "cx", {2, 0}, {}},
        {"Hadamard controlled ( 0, 1 )", "ch", {0, 1}, {}},
        {"Swap ( 1, 3 )", "swap", {1, 3}, {}},
        {"Controlled Z ( 3, 1 )", "cz", {3, 1}, {}},
        {"Toffoli ( 0, 1, 2 )", "ccx", {0, 1, 2}, {}},
        // The inverse Fourier transform's angles come back exact from their 5 digits.
        {"Rotate 2 bits controlled ( bits: 3, 1, angle: -0.7854)", "cp", {3, 1}, {-Pi / 4}},
        {"Rotate 2 bits controlled ( bits: 9, 0, angle: -0.0061359)", "cp", {9, 0}, {-Pi / 512}},
        {"Rotate 2 bits controlled ( bits: 0, 1, angle: 3.1416)", "cp", {0, 1}, {Pi}},
        {"Rotate 2 bits controlled ( bits: 0, 1, angle: 0.5236)", "cp", {0, 1}, {0.5236}},
        {"Measure ( 1 - 3 ) = 5", "measure", {1, 2, 3}, {5}},
        {"Hadamardrange ( 0 - 2 )", "hadamardrange", {0, 1, 2}, {}},
        {"Bitmirror ( 1 - 2 )", "bitmirror", {1, 2}, {}},
        {"FFT^-1 ( 0 - 3 )", "invfourier", {0, 1, 2, 3}, {}},
        {"Seekerstep ( 0 - 1 )", "seekerstep", {0, 1}, {}},
        {"Power ( a: 4 - 5, y: 0 - 3, x = 7, N = 15 )", "power", {4, 5, 0, 1, 2, 3}, {}},
        {"Seeker ( 3 )", "seeker", {}, {}},
        {"Amplify ( 2 )", "amplify", {}, {}},
        {"Shor ( 0 - 3, x = 7, n = 15 )", "shor", {}, {}},
        {"Flagoracle", "flagoracle", {}, {}},
        {"Signoracle", "signoracle", {}, {}},
        {"FFT^-1 ( 0 - 3 ) [incomplete]", "invfourier", {0, 1, 2, 3}, {}},
        // A user's own gate, and known texts that no gate of ours can have written.
        {"My gate ( 1 )", "opaque", {}, {}},
        {"", "opaque", {}, {}},
        {"Hadamard ( 1 ) ", "opaque", {}, {}},
        {"Hadamard ( -1 )", "opaque", {}, {}},
        {"Hadamard ( 26 )", "opaque", {}, {}},
        {"Hadamardrange ( 0 - 2000000000 )", "opaque", {}, {}},
        {"Bitmirror ( 3 - 1 )", "opaque", {}, {}},
        {"Rx ( 1, nan )", "opaque", {}, {}},
        {"Rx ( 1, 9x )", "opaque", {}, {}},
        {"cnot ( 99999999999999999999, 1 )", "opaque", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const amplex::Operation op = StepOperation::read(c.text);
        EXPECT_EQ(op.name, c.name);
        EXPECT_EQ(op.qubits, c.qubits);
        EXPECT_EQ(op.params, c.params); // bit for bit
        EXPECT_EQ(op.text, c.text);
    }
}

TEST(StepOperation, OnlyRotationsNotRebuiltAreApproximate) {
    const std::pair<const char*, bool> cases[] = {
        {"Rotate 2 bits controlled ( bits: 0, 1, angle: -1.5708)", false},
        {"Rotate 2 bits controlled ( bits: 0, 1, angle: 0)", false},
        {"Rotate 2 bits controlled ( bits: 0, 1, angle: 0.5236)", true},
        {"Rotate 2 bits controlled ( bits: 0, 1, angle: -0.78541)", true},
        {"Phase ( 0, 30 )", false},
    };
    for (const auto& [text, approximate] : cases) {
        EXPECT_EQ(StepOperation::angleIsApproximate(StepOperation::read(text)), approximate)
            << text;
    }
}

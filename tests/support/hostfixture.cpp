#include "tests/support/hostfixture.h"

#include <gtest/gtest.h>

std::string buildDir() {
    return AMPLEX_BUILD_DIR;
}

HostFixture::HostFixture(int qubits) : host(live, {buildDir() + "/gates"}) {
    live.segmentation = &segmentation;
    EXPECT_TRUE(live.setQubitCount(qubits));
    live.amplitudes[0] = 1.0;
    host.setStepSink([this](const char* text, int depth) { steps.push_back({text, depth}); });
}

void HostFixture::setBasisState(std::uint32_t index) {
    live.setQubitCount(live.qubitCount);
    live.amplitudes[index] = 1.0;
}

std::vector<std::string> HostFixture::texts() const {
    std::vector<std::string> result;
    for (const auto& step : steps) {
        result.push_back(step.text);
    }
    return result;
}

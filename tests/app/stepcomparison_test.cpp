#include "app/snapshot.h"
#include "app/stepcomparison.h"
#include "app/stephistory.h"
#include "core/qregister.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// A snapshot of n qubits with the given amplitudes at the given indexes, 0 elsewhere.
struct State {
    State(int n, std::vector<std::pair<std::uint32_t, Complex>> set) {
        reg.setQubitCount(n);
        for (const auto& [i, c] : set) {
            reg.amplitudes[i] = c;
        }
        snapshot.capture(reg, [](std::uint64_t) { return true; }, {});
    }
    QRegister reg;
    Snapshot snapshot;
};

TEST(StepComparison, KnownStatesGiveTheirChangesMovedProbabilityAndOverlap) {
    const double h = 1 / std::sqrt(2.0);
    const State plus(2, {{0, h}, {1, h}}), minus(2, {{0, h}, {1, -h}}), bell(2, {{0, h}, {3, h}});
    struct Case {
        const Snapshot* before; // null: the reset state
        const Snapshot* after;
        std::vector<std::uint32_t> order; // changed states, largest change first
        double moved, overlap;
    };
    const Case cases[] = {
        {nullptr, &bell.snapshot, {3, 0}, 0.5, 0.5},
        {&plus.snapshot, &minus.snapshot, {1}, 0.0, 0.0}, // a phase: nothing moves
        {&plus.snapshot, &bell.snapshot, {1, 3}, 0.5, 0.25},
        {&bell.snapshot, &bell.snapshot, {}, 0.0, 1.0},
    };
    for (const Case& c : cases) {
        const auto result = StepComparison::compare(c.before, c.after, 2);
        ASSERT_TRUE(result);
        std::vector<std::uint32_t> order;
        for (const auto& change : result->changes) {
            order.push_back(change.index);
        }
        EXPECT_EQ(order, c.order);
        EXPECT_NEAR(result->probabilityMoved, c.moved, 1e-15);
        EXPECT_NEAR(result->overlap, c.overlap, 1e-15);
    }
    const auto first = StepComparison::compare(nullptr, &bell.snapshot, 2)->changes.front();
    EXPECT_EQ(first.before.real, 0.0);
    EXPECT_EQ(first.after.real, h);
    EXPECT_DOUBLE_EQ(first.probabilityChange, 0.5);
    EXPECT_FALSE(StepComparison::compare(&bell.snapshot, nullptr, 3)); // sizes differ
}

TEST(StepComparison, TopChangesOverSeveralChunksMatchAFullSort) {
    const int n = 15; // two chunks
    QRegister a, b;
    a.setQubitCount(n);
    b.setQubitCount(n);
    std::mt19937_64 gen(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (std::uint32_t i = 0; i < a.amplitudeCount(); ++i) {
        a.amplitudes[i].set(u(gen), u(gen));
        // Most states keep their amplitude; ties of change sizes fall to the smaller index.
        b.amplitudes[i] = a.amplitudes[i];
        if (i % 97 == 0) {
            b.amplitudes[i].real += i % 3 == 0 ? 0.5 : u(gen);
        }
    }
    Snapshot sa, sb;
    const auto always = [](std::uint64_t) { return true; };
    ASSERT_TRUE(sa.capture(a, always, {}));
    ASSERT_TRUE(sb.capture(b, always, {}));
    const auto result = StepComparison::compare(&sa, &sb, n, 40);
    ASSERT_TRUE(result);

    std::vector<std::pair<double, std::uint32_t>> all; // -change, index: a full sort
    double moved = 0, re = 0, im = 0;
    for (std::uint32_t i = 0; i < a.amplitudeCount(); ++i) {
        const Complex& x = a.amplitudes[i];
        const Complex& y = b.amplitudes[i];
        const double dr = y.real - x.real;
        if (dr != 0) {
            all.emplace_back(-dr * dr, i);
        }
        moved += std::fabs(y.norm() - x.norm());
        re += x.real * y.real + x.imag * y.imag;
        im += x.real * y.imag - x.imag * y.real;
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(result->changes.size(), 40u);
    for (std::size_t k = 0; k < 40; ++k) {
        EXPECT_EQ(result->changes[k].index, all[k].second) << k;
    }
    EXPECT_NEAR(result->probabilityMoved, moved / 2, 1e-9);
    EXPECT_NEAR(result->overlap, re * re + im * im, 1e-6);
}

TEST(StepComparison, ReportNamesTheStepsOrWhyNot) {
    QRegister live;
    live.setQubitCount(1);
    StepHistory history(live);
    auto gate = [&](double re, double im, int depth) {
        live.amplitudes[0].set(re, 0);
        live.amplitudes[1].set(0, im);
        history.recordStep("g", depth);
    };
    const double h = 1 / std::sqrt(2.0);
    gate(h, h, 0);
    gate(0, 1, 1);
    gate(0, -1, 0);
    const std::string report = StepComparison::report(history, 0, 1, true);
    EXPECT_EQ(report.substr(0, report.find("Basis")),
              "Step 0 => step 1\r\nProbability moved: 0.5\r\nOverlap |<a|b>|^2: 0.5\r\n\r\n");
    EXPECT_NE(report.find("|0>                  1                        1/sqrt2"),
              std::string::npos);
    EXPECT_NE(report.find("|1>                  0                        i/sqrt2"),
              std::string::npos);
    for (const auto& [before, after, text] :
         {std::tuple{0, 4, "Steps are numbered 0 (the reset state) to 3."},
          {-1, 2, "Steps are numbered 0 (the reset state) to 3."},
          {0, 0, "Both are the reset state: nothing changed."},
          {2, 2,
           "Step 2 => step 2\r\nProbability moved: 0\r\nOverlap |<a|b>|^2: 1\r\n\r\n"
           "No amplitude changed.\r\n"}}) {
        EXPECT_EQ(StepComparison::report(history, before, after, false), text);
    }
}

} // namespace

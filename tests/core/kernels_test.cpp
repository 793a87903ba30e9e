// The gate kernels against the loops they replace, kept here as they ran before (each into a
// cleared scratch array), bit for bit; against the reference simulator; and across thread
// counts. Sizes of 2^17 amplitudes lie above the threading threshold.

#include "core/kernels.h"
#include "core/modularpower.h"
#include "core/parallelfor.h"
#include "core/qregister.h"
#include "tests/support/referencesim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace k = amplex::kernels;
using Kernel = std::function<void(Complex*, std::uint64_t)>;

// The earlier loops, each on an array a of count amplitudes.
namespace before {

using Array = std::vector<Complex>;

void copyBack(const Array& s, Complex* a) {
    std::copy(s.begin(), s.end(), a);
}

void hadamard(Complex* a, std::uint64_t count, int k) {
    const double h = 1.0 / std::sqrt(2.0);
    const std::uint64_t step = std::uint64_t{1} << k;
    for (std::uint64_t block = 0; block < count; block += 2 * step) {
        for (std::uint64_t i = block; i < block + step; ++i) {
            const double ir = a[i].real * h, ii = a[i].imag * h;
            const double jr = a[i + step].real * h, ji = a[i + step].imag * h;
            a[i].real = ir + jr;
            a[i].imag = ii + ji;
            a[i + step].real = ir - jr;
            a[i + step].imag = ii - ji;
        }
    }
}

void cnot(Complex* a, std::uint64_t count, int control, int target) {
    Array s(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        s[(i & (1u << control)) ? i ^ (1u << target) : i] = a[i];
    }
    copyBack(s, a);
}

void controlledHadamard(Complex* a, std::uint64_t count, int control, int target) {
    const double h = 1.0 / std::sqrt(2.0);
    const std::uint32_t c = 1u << control, t = 1u << target;
    Array s(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!(i & c)) {
            s[i] += a[i];
        } else if (!(i & t)) {
            s[i] += a[i] * h;
            s[i + t] += a[i] * h;
        } else {
            s[i - t] += a[i] * h;
            s[i] -= a[i] * h;
        }
    }
    copyBack(s, a);
}

void phase(Complex* a, std::uint64_t count, std::uint32_t mask, double c, double s) {
    for (std::uint32_t i = 0; i < count; ++i) {
        if ((i & mask) == mask) {
            const double re = a[i].real, im = a[i].imag;
            a[i].real = c * re - s * im;
            a[i].imag = c * im + s * re;
        }
    }
}

std::uint32_t reverseBits(std::uint32_t v) {
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
    return (v >> 16) | (v << 16);
}

void bitMirror(Complex* a, std::uint64_t count, int first, int last) {
    const std::uint32_t width = last - first + 1;
    const std::uint32_t mask = ((~0u) >> (32 - width)) << first;
    Array s(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t m = (reverseBits((i & mask) >> first) >> (32 - width)) << first;
        s[m | (i & ~mask)] = a[i];
    }
    copyBack(s, a);
}

void modularPowerXor(Complex* a, std::uint64_t count, int from, int to, int low, std::uint32_t base,
                     std::uint32_t modulus) {
    const std::uint32_t mask = ((~0u) >> (32 - (to - from + 1))) << from;
    Array s(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        s[i ^ (k::modularPower(base, (i & mask) >> from, modulus) << low)] = a[i];
    }
    copyBack(s, a);
}

void flagOracle(Complex* a, std::uint64_t count, int from, int to, int target,
                const std::vector<std::int32_t>& values) {
    std::vector<std::uint32_t> marked;
    for (const std::int32_t v : values) {
        if (v >= 0 && v < (std::int64_t{1} << (to - from + 1))) {
            marked.push_back(static_cast<std::uint32_t>(v));
        }
    }
    const int high = 31 - to;
    Array s(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t x = ((i << high) >> high) >> from;
        const bool flip = std::find(marked.begin(), marked.end(), x) != marked.end();
        s[flip ? i ^ (1u << target) : i] += a[i];
    }
    copyBack(s, a);
}

void signOracle(Complex* a, std::uint64_t count, int from, int to,
                const std::vector<std::int32_t>& values) {
    for (const std::int32_t v : values) {
        for (std::uint32_t i = 0; i < count; ++i) {
            if (v >= 0 && ((i >> from) & ((2u << (to - from)) - 1)) == std::uint32_t(v)) {
                a[i].real = -a[i].real;
                a[i].imag = -a[i].imag;
            }
        }
    }
}

} // namespace before

// A random state with some amplitudes exactly +-0.0, which a sum into a cleared array turns
// into +0.0.
void randomState(QRegister& reg, int n, unsigned seed) {
    ReferenceSim::random(n, seed).loadInto(reg);
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); i += 5) {
        reg.amplitudes[i].set(i % 3 ? -0.0 : 0.0, i % 2 ? -0.0 : 0.25);
    }
}

::testing::AssertionResult sameBits(const QRegister& x, const QRegister& y) {
    for (std::uint64_t i = 0; i < x.amplitudeCount(); ++i) {
        const Complex& a = x.amplitudes[i];
        const Complex& b = y.amplitudes[i];
        if (std::bit_cast<std::uint64_t>(a.real) != std::bit_cast<std::uint64_t>(b.real) ||
            std::bit_cast<std::uint64_t>(a.imag) != std::bit_cast<std::uint64_t>(b.imag)) {
            return ::testing::AssertionFailure() << "amplitude " << i << ": " << a.real << " "
                                                 << a.imag << " vs " << b.real << " " << b.imag;
        }
    }
    return ::testing::AssertionSuccess();
}

struct Case {
    std::string name;
    Kernel kernel;
    Kernel earlier;
};

// Every kernel on n qubits, each qubit position as target.
std::vector<Case> cases(int n) {
    std::vector<Case> all;
    const auto add = [&](std::string name, Kernel kernel, Kernel earlier) {
        all.push_back({std::move(name), std::move(kernel), std::move(earlier)});
    };
    const double c = std::cos(0.7), s = std::sin(0.7), r = std::sqrt(0.5);
    for (int t = 0; t < n; ++t) {
        add(
            "hadamard " + std::to_string(t), [=](Complex* a, auto m) { k::hadamard(a, m, t); },
            [=](Complex* a, auto m) { before::hadamard(a, m, t); });
        add(
            "phase " + std::to_string(t),
            [=](Complex* a, auto m) { k::phase(a, m, std::uint64_t{1} << t, r, r); },
            [=](Complex* a, auto m) { before::phase(a, m, 1u << t, r, r); });
        // Every pair at 6 qubits; above the threading threshold each qubit once as control.
        for (const int d : n < 10 ? std::vector<int>{1, 2, 3, 4, 5} : std::vector<int>{1}) {
            const int q = (t + d) % n;
            const std::string pair = " " + std::to_string(q) + " " + std::to_string(t);
            add(
                "cnot" + pair, [=](Complex* a, auto m) { k::cnot(a, m, q, t); },
                [=](Complex* a, auto m) { before::cnot(a, m, q, t); });
            add(
                "ctrlhadamard" + pair,
                [=](Complex* a, auto m) { k::controlledHadamard(a, m, q, t); },
                [=](Complex* a, auto m) { before::controlledHadamard(a, m, q, t); });
            const std::uint64_t mask = (std::uint64_t{1} << q) | (std::uint64_t{1} << t);
            add(
                "rotate" + pair, [=](Complex* a, auto m) { k::phase(a, m, mask, c, s); },
                [=](Complex* a, auto m) { before::phase(a, m, std::uint32_t(mask), c, s); });
        }
    }
    // Narrow, wide and whole ranges; 2 * 5 + 1 qubits and more take the tiled way.
    for (const auto& [first, last] : std::vector<std::pair<int, int>>{{0, n - 1},
                                                                      {1, n - 1},
                                                                      {0, n - 2},
                                                                      {2, n - 3},
                                                                      {0, 1},
                                                                      {n - 4, n - 1},
                                                                      {1, 3},
                                                                      {0, std::min(11, n - 1)}}) {
        add(
            "bitmirror " + std::to_string(first) + " " + std::to_string(last),
            [=](Complex* a, auto m) { k::bitMirror(a, m, first, last); },
            [=](Complex* a, auto m) { before::bitMirror(a, m, first, last); });
    }
    // from, to, low, base, modulus: the value above and below the exponent, base 0, and at 17
    // qubits an exponent wider than the kernel's table of powers and a value field too wide
    // for its chunks.
    std::vector<std::array<int, 5>> powers = {{0, 1, 2, 13, 15},
                                              {n - 2, n - 1, 0, 7, 15},
                                              {1, 2, 3, 3, 5},
                                              {0, n - 3, n - 2, 2, 3},
                                              {0, 1, 2, 0, 4}};
    if (n >= 17) {
        powers.push_back({0, 2, 3, 5, 10007});
    }
    for (const auto& [from, to, low, base, modulus] : powers) {
        const auto b = static_cast<std::uint32_t>(base), N = static_cast<std::uint32_t>(modulus);
        add(
            "power " + std::to_string(from) + " " + std::to_string(to),
            [=](Complex* a, auto m) { k::modularPowerXor(a, m, from, to, low, b, N); },
            [=](Complex* a, auto m) { before::modularPowerXor(a, m, from, to, low, b, N); });
    }
    // Target outside and inside the range; repeated, negative and too large values.
    const std::vector<std::int32_t> values = {3, -1, 5, 3, 1 << 30, 0, 6};
    for (const auto& [from, to, target] : std::vector<std::array<int, 3>>{{0, 2, 4},
                                                                          {2, 4, 0},
                                                                          {0, 2, 1},
                                                                          {1, 3, 3},
                                                                          {n - 3, n - 1, n - 2},
                                                                          {0, n - 2, n - 1}}) {
        const std::string name = std::to_string(from) + " " + std::to_string(to) + " ";
        add(
            "flag " + name + std::to_string(target),
            [=](Complex* a, auto m) { k::flagOracle(a, m, from, to, target, values); },
            [=](Complex* a, auto m) { before::flagOracle(a, m, from, to, target, values); });
        add(
            "sign " + name, [=](Complex* a, auto m) { k::signOracle(a, m, from, to, values); },
            [=](Complex* a, auto m) { before::signOracle(a, m, from, to, values); });
    }
    return all;
}

// Above the threading threshold every thread count must give those same bits.
TEST(Kernels, GiveTheBitsOfTheLoopsTheyReplaceOnAnyNumberOfThreads) {
    for (const int n : {6, 17}) {
        QRegister start, expected, actual;
        start.setQubitCount(n);
        expected.setQubitCount(n);
        actual.setQubitCount(n);
        unsigned seed = 0;
        for (const Case& c : cases(n)) {
            SCOPED_TRACE(c.name + " on " + std::to_string(n));
            randomState(start, n, ++seed);
            expected.copyFrom(start);
            c.earlier(expected.amplitudes, expected.amplitudeCount());
            for (const char* threads : {"1", "2", "3", "4"}) {
                if (n < 10 && threads[0] != '1') {
                    break; // one thread below the threshold whatever the setting
                }
                setenv("AMPLEX_THREADS", threads, 1);
                actual.copyFrom(start);
                c.kernel(actual.amplitudes, actual.amplitudeCount());
                EXPECT_TRUE(sameBits(actual, expected)) << threads << " threads";
            }
        }
    }
    EXPECT_EQ(k::threadCount(), 4);
    // Anything but a count from 1 to 256 leaves the machine's own.
    for (const char* text : {"0", "-2", "2x", "", "257"}) {
        setenv("AMPLEX_THREADS", text, 1);
        EXPECT_GE(k::threadCount(), 1) << text;
        EXPECT_NE(k::threadCount(), 257);
    }
    unsetenv("AMPLEX_THREADS");
}

TEST(Kernels, MatchTheReferenceSimulatorAtEveryQubit) {
    const int n = 17;
    QRegister reg;
    reg.setQubitCount(n);
    const auto check = [&](const std::string& name, const std::function<void(Complex*)>& kernel,
                           const std::function<void(ReferenceSim&)>& reference) {
        SCOPED_TRACE(name);
        ReferenceSim expected = ReferenceSim::random(n, 5);
        expected.loadInto(reg);
        kernel(reg.amplitudes);
        reference(expected);
        EXPECT_LT(expected.distanceTo(reg), 1e-12);
    };
    const std::uint64_t count = std::uint64_t{1} << n;
    const double r = std::sqrt(0.5);
    for (int t = 0; t < n; ++t) {
        const int q = (t + 5) % n;
        const std::uint64_t mask = (std::uint64_t{1} << q) | (std::uint64_t{1} << t);
        check(
            "H " + std::to_string(t), [&](Complex* a) { k::hadamard(a, count, t); },
            [&](ReferenceSim& s) { s.hadamard(t); });
        check(
            "T " + std::to_string(t),
            [&](Complex* a) { k::phase(a, count, std::uint64_t{1} << t, r, r); },
            [&](ReferenceSim& s) { s.t(t); });
        check(
            "CNOT " + std::to_string(t), [&](Complex* a) { k::cnot(a, count, q, t); },
            [&](ReferenceSim& s) { s.cnot(q, t); });
        check(
            "CH " + std::to_string(t), [&](Complex* a) { k::controlledHadamard(a, count, q, t); },
            [&](ReferenceSim& s) { s.controlledHadamard(q, t); });
        check(
            "CP " + std::to_string(t),
            [&](Complex* a) { k::phase(a, count, mask, std::cos(1.1), std::sin(1.1)); },
            [&](ReferenceSim& s) { s.controlledPhase(q, t, 1.1); });
        check(
            "mirror " + std::to_string(t), [&](Complex* a) { k::bitMirror(a, count, 0, t); },
            [&](ReferenceSim& s) { s.mirror(0, t); });
    }
}

TEST(Kernels, HadamardFactorIsOneOverRootTwoNotRootOneHalf) {
    // sqrt(0.5) would be 0x3FE6A09E667F3BCD, one unit in the last place above.
    EXPECT_EQ(std::bit_cast<std::uint64_t>(k::hadamardFactor()), 0x3FE6A09E667F3BCCu);
    Complex a[2] = {Complex(0.0), Complex(1.0)};
    k::hadamard(a, 2, 0);
    EXPECT_EQ(a[0].real, 0.7071067811865475);
    EXPECT_EQ(a[1].real, -0.7071067811865475);
}

} // namespace

// The gate kernels against the loops they replace, kept here as they ran before (most into a
// cleared scratch array), bit for bit, across thread counts. Sizes of 2^18 amplitudes lie at
// the threading threshold. That the loops themselves are right is held against the reference
// simulator through the real gates (gatesbypath_test).

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
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace {

namespace k = amplex::kernels;
using Kernel = std::function<void(Complex*, std::uint64_t)>;
using Values = std::span<const std::int32_t>;

// The earlier loops, each on an array a of count amplitudes.
namespace before {

// Each amplitude into s[to(i)] of a cleared scratch array, copied or (sum) added, which turns
// -0.0 into +0.0 and lets amplitudes meet; then back into a.
template <typename To> void scatter(Complex* a, std::uint64_t count, To to, bool sum = false) {
    std::vector<Complex> s(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (sum) {
            s[to(i)] += a[i];
        } else {
            s[to(i)] = a[i];
        }
    }
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
    scatter(a, count,
            [&](std::uint32_t i) { return (i & (1u << control)) ? i ^ (1u << target) : i; });
}

void controlledHadamard(Complex* a, std::uint64_t count, int control, int target) {
    const double h = 1.0 / std::sqrt(2.0);
    const std::uint32_t c = 1u << control, t = 1u << target;
    std::vector<Complex> s(count);
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
    std::copy(s.begin(), s.end(), a);
}

void phase(Complex* a, std::uint64_t count, std::uint64_t mask, double c, double s) {
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
    scatter(a, count, [&](std::uint32_t i) {
        return ((reverseBits((i & mask) >> first) >> (32 - width)) << first) | (i & ~mask);
    });
}

void modularPowerXor(Complex* a, std::uint64_t count, int from, int to, int low, std::uint32_t base,
                     std::uint32_t modulus) {
    const std::uint32_t mask = ((~0u) >> (32 - (to - from + 1))) << from;
    scatter(a, count, [&](std::uint32_t i) {
        return i ^ (k::modularPower(base, (i & mask) >> from, modulus) << low);
    });
}

void flagOracle(Complex* a, std::uint64_t count, int from, int to, int target, Values values) {
    std::vector<std::uint32_t> marked;
    for (const std::int32_t v : values) {
        if (v >= 0 && v < (std::int64_t{1} << (to - from + 1))) {
            marked.push_back(static_cast<std::uint32_t>(v));
        }
    }
    const int high = 31 - to;
    scatter(
        a, count,
        [&](std::uint32_t i) {
            const std::uint32_t x = ((i << high) >> high) >> from;
            const bool flip = std::find(marked.begin(), marked.end(), x) != marked.end();
            return flip ? i ^ (1u << target) : i;
        },
        true);
}

void signOracle(Complex* a, std::uint64_t count, int from, int to, Values values) {
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
    Kernel kernel, earlier;
};

// Every kernel on n qubits, each qubit position as target.
std::vector<Case> cases(int n) {
    std::vector<Case> all;
    // The kernel and its earlier loop on the same arguments, named by their numbers.
    const auto add = [&](std::string name, auto kernel, auto earlier, auto... args) {
        const auto number = [](const auto& arg) {
            if constexpr (std::is_arithmetic_v<std::decay_t<decltype(arg)>>) {
                return " " + std::to_string(arg);
            }
            return std::string();
        };
        ((name += number(args)), ...);
        all.push_back({std::move(name), [=](Complex* a, std::uint64_t m) { kernel(a, m, args...); },
                       [=](Complex* a, std::uint64_t m) { earlier(a, m, args...); }});
    };
    const double c = std::cos(0.7), s = std::sin(0.7), r = std::sqrt(0.5);
    const auto hadamard = [](Complex* a, std::uint64_t m, int t, std::uint64_t aliasBytes) {
        k::hadamard(a, m, t, aliasBytes);
    };
    const auto earlierHadamard = [](Complex* a, std::uint64_t m, int t, std::uint64_t) {
        before::hadamard(a, m, t);
    };
    // Partners at the slow distance or a multiple of it go through the buffer: the top qubit
    // (at 18 qubits in two blocks on one thread, in part blocks on three), a lower qubit, and
    // the nearest that are not visited block by block.
    for (const auto& [t, aliasBytes] :
         {std::pair{n - 1, sizeof(Complex) << (n - 1)},
          std::pair{n - 2, sizeof(Complex) << (n - 4)},
          std::pair{std::min(9, n - 1), sizeof(Complex) << std::min(9, n - 1)}}) {
        add("buffered hadamard", hadamard, earlierHadamard, t, std::uint64_t{aliasBytes});
    }
    for (int t = 0; t < n; ++t) {
        add("hadamard", hadamard, earlierHadamard, t, k::AliasBytes);
        add("phase", k::phase, before::phase, std::uint64_t{1} << t, r, r);
        // Every pair at 6 qubits; above the threading threshold each qubit once as control.
        for (const int d : n < 10 ? std::vector<int>{1, 2, 3, 4, 5} : std::vector<int>{1}) {
            const int q = (t + d) % n;
            add("cnot", k::cnot, before::cnot, q, t);
            add("ctrlhadamard", k::controlledHadamard, before::controlledHadamard, q, t);
            const std::uint64_t mask = (std::uint64_t{1} << q) | (std::uint64_t{1} << t);
            add("rotate", k::phase, before::phase, mask, c, s);
        }
    }
    // Narrow, wide and whole ranges; 2 * 5 + 1 qubits and more take the tiled way.
    const std::pair<int, int> mirrors[] = {
        {0, n - 1}, {1, n - 1},     {0, n - 2}, {2, n - 3},
        {0, 1},     {n - 4, n - 1}, {1, 3},     {0, std::min(11, n - 1)}};
    for (const auto& [first, last] : mirrors) {
        add("bitmirror", k::bitMirror, before::bitMirror, first, last);
    }
    // from, to, low, base, modulus: the value above and below the exponent, base 0, and (last,
    // from 17 qubits) an exponent wider than the kernel's table of powers and a value field too
    // wide for its chunks.
    const std::array<int, 5> powers[] = {{0, 1, 2, 13, 15}, {n - 2, n - 1, 0, 7, 15},
                                         {1, 2, 3, 3, 5},   {0, n - 3, n - 2, 2, 3},
                                         {0, 1, 2, 0, 4},   {0, 2, 3, 5, 10007}};
    for (const auto& [from, to, low, base, modulus] : std::span(powers).first(n < 17 ? 5 : 6)) {
        add("power", k::modularPowerXor, before::modularPowerXor, from, to, low,
            static_cast<std::uint32_t>(base), static_cast<std::uint32_t>(modulus));
    }
    // Target outside and inside the range; repeated, negative and too large values.
    const std::vector<std::int32_t> values = {3, -1, 5, 3, 1 << 30, 0, 6};
    const std::array<int, 3> oracles[] = {
        {0, 2, 4}, {2, 4, 0}, {0, 2, 1}, {1, 3, 3}, {n - 3, n - 1, n - 2}, {0, n - 2, n - 1}};
    for (const auto& [from, to, target] : oracles) {
        add("flag", k::flagOracle, before::flagOracle, from, to, target, values);
        add("sign", k::signOracle, before::signOracle, from, to, values);
    }
    return all;
}

// Above the threading threshold every thread count must give those same bits.
TEST(Kernels, GiveTheBitsOfTheLoopsTheyReplaceOnAnyNumberOfThreads) {
    for (const int n : {6, 18}) {
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

TEST(Kernels, HadamardFactorIsOneOverRootTwoNotRootOneHalf) {
    // sqrt(0.5) would be 0x3FE6A09E667F3BCD, one unit in the last place above.
    EXPECT_EQ(std::bit_cast<std::uint64_t>(k::hadamardFactor()), 0x3FE6A09E667F3BCCu);
    Complex a[2] = {Complex(0.0), Complex(1.0)};
    k::hadamard(a, 2, 0);
    EXPECT_EQ(a[0].real, 0.7071067811865475);
    EXPECT_EQ(a[1].real, -0.7071067811865475);
}

// The kernels of the standard gates and the measurement at 2^18 amplitudes, where runs of
// indexes are long and several threads share a pass: the textbook result, and the same bits on
// every thread count. (The gate tests hold them against the reference on small registers.)
TEST(Kernels, StandardGateKernelsMatchTheReferenceOnLongRunsOnAnyNumberOfThreads) {
    constexpr int N = 18;
    const double c = std::cos(0.2), s = std::sin(0.2);
    const std::uint64_t field = std::uint64_t{31} << 5; // qubits 5 .. 9 measured, value 3
    const std::pair<Kernel, std::function<void(ReferenceSim&)>> table[] = {
        {[&](Complex* a, std::uint64_t n) {
             k::singleQubit(a, n, 0, N - 1, {c, -s, s, c});
         },
         [&](ReferenceSim& r) {
             r.matrix(N - 1, {c, -s, s, c});
         }},
        {[&](Complex* a, std::uint64_t n) {
             k::singleQubit(a, n, (1 << 9) | (1 << 12), 5, {c, Complex(0, -s), Complex(0, -s), c});
         },
         [&](ReferenceSim& r) {
             r.matrix(5, {c, {0, -s}, {0, -s}, c}, (1 << 9) | (1 << 12));
         }},
        {[](Complex* a, std::uint64_t n) { k::flip(a, n, (1 << 16) | (1 << 8), 12); },
         [](ReferenceSim& r) {
             r.matrix(12, {0.0, 1.0, 1.0, 0.0}, (1 << 16) | (1 << 8));
         }},
        {[](Complex* a, std::uint64_t n) { k::swapQubits(a, n, N - 1, 5); },
         [](ReferenceSim& r) { r.swap(N - 1, 5); }},
        {[&](Complex* a, std::uint64_t n) {
             k::collapse(a, n, field, 3 << 5,
                         1.0 / std::sqrt(k::probabilityOf(a, n, field, 3 << 5)));
         },
         [](ReferenceSim& r) { r.project(5, 9, 3); }},
    };
    const ReferenceSim start = ReferenceSim::random(N, 5);
    QRegister one, reg;
    one.setQubitCount(N);
    reg.setQubitCount(N);
    for (const auto& [kernel, reference] : table) {
        ReferenceSim expected = start;
        reference(expected);
        for (const char* threads : {"1", "2", "3"}) {
            setenv("AMPLEX_THREADS", threads, 1);
            start.loadInto(reg);
            kernel(reg.amplitudes, reg.amplitudeCount());
            if (threads[0] == '1') {
                one.copyFrom(reg);
                EXPECT_LT(expected.distanceTo(reg), 1e-15);
            }
            EXPECT_TRUE(sameBits(reg, one)) << threads << " threads";
        }
    }
    unsetenv("AMPLEX_THREADS");
}

} // namespace

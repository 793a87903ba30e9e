#include "core/exactvalue.h"
#include "core/qregister.h"
#include "core/random.h"
#include "core/segmentation.h"
#include "core/sortedwindow.h"
#include "tests/core/addresslimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(Complex, TextFollowsTheSignOfTheImaginaryPart) {
    const std::tuple<double, double, const char*> cases[] = {
        {0.70710678, 0, "0.70711"}, {0.000012345, 0, "1.2345e-05"},
        {0.5, 0.5, "0.5 + 0.5i"},   {0.5, -0.5, "0.5 - 0.5i"},
        {0, 1, "0 + 1i"},           {-0.25, -1, "-0.25 - 1i"},
        {0.5, -0.0, "0.5"},         {0.5, NAN, "0.5"}};
    for (const auto& [re, im, text] : cases) {
        char buffer[ComplexTextSize];
        Complex(re, im).text(buffer);
        EXPECT_STREQ(buffer, text);
    }
    const char* first = Complex(1, 0).text();
    EXPECT_STREQ(first, "1");
    EXPECT_EQ(Complex(0, 0).text(), first); // one shared buffer, overwritten
    EXPECT_STREQ(first, "0");
}

TEST(ExactValue, ClosedFormsWithinRoundingElseTheNormalText) {
    const double r2 = std::sqrt(2.0); // computed at run time, as the gates do
    const std::tuple<double, double, const char*> cases[] = {
        {1 / r2, 0, "1/sqrt2"},
        {-0.5, 0, "-1/2"},
        {0.953125, 0, "61/64"},
        {0, 0.5 / r2, "i/sqrt8"},
        {0, -0.75, "-3i/4"},
        {0, 1, "i"},
        {-1, 0, "-1"},
        {-1.5308e-17, 0.25, "i/4"},               // rounding noise reads 0 and is left out
        {0.5 + 4e-13, -0.5 + 9e-13, "1/2 - i/2"}, // within 1e-12
        {0.5 + 2e-12, 0, "0.5"},                  // not within: the normal text
        {3 / (4 * r2), 0.1, "3/sqrt32 + 0.1i"},   // each part on its own
        {0.1, -1 / r2, "0.1 - i/sqrt2"},
        {-0.0, 1e-13, "0"},
        {std::ldexp(1.0, -13), 0, "1/8192"},     // a uniform amplitude of 26 qubits
        {std::ldexp(1.0, -17), 0, "7.6294e-06"}, // finer than the powers shown
        {1025.0 / 1024, 0, "1.001"},             // numerator too large
        {r2, 0, "1.4142"},                       // 2/sqrt2: a multiple of the root
        {NAN, 0.5, "nan + 0.5i"},
    };
    for (const auto& [re, im, text] : cases) {
        char buffer[ComplexTextSize];
        ExactValue::text(Complex(re, im), buffer);
        EXPECT_STREQ(buffer, text) << re << " " << im;
    }
    // The listings take the form as an option; the register stays as it is.
    QRegister reg;
    reg.setQubitCount(1);
    reg.amplitudes[0] = 1 / r2;
    reg.amplitudes[1].set(0, -1 / r2);
    EXPECT_STREQ(reg.sortedListing(0, 2, 2, true), "+1/sqrt2 |0>     -i/sqrt2 |1>     ");
    EXPECT_STREQ(reg.listing(0, 1), "+0.70711 |0>     ");
}

TEST(Complex, MagnitudesAndProductsRoundEachTerm) {
    EXPECT_NEAR(Complex(0.6, 0.8).norm(), 1.0, 1e-15);
    EXPECT_NEAR(Complex(0.6, 0.8).magnitude(), 1.0, 1e-15);
    // x * x - x * x is 0 only when each product is rounded on its own (no fused multiply-add).
    const double x = 1.0 + std::ldexp(1.0, -30);
    EXPECT_EQ((Complex(x, x) * Complex(x, x)).real, 0.0);
    Complex a(0, 1);
    a *= Complex(x, x); // both parts formed from the old values
    EXPECT_EQ(a.real, -x);
    EXPECT_EQ(a.imag, x);
}

// A register of n qubits labelled through its own segmentation, every amplitude 0.
struct Reg {
    explicit Reg(int n) {
        reg.segmentation = &seg;
        EXPECT_TRUE(reg.setQubitCount(n));
    }
    std::string label(std::uint32_t index) const { return reg.basisLabel(index); }
    Segmentation seg;
    QRegister reg;
};

TEST(QRegister, ListingWritesSignedEntriesCutAtTheEndOfTheRegister) {
    Reg r(3);
    EXPECT_STREQ(r.reg.listing(0, 8), "+0 |0>     +0 |1>     +0 |2>     +0 |3>     "
                                      "+0 |4>     +0 |5>     +0 |6>     +0 |7>     ");
    EXPECT_STREQ(r.reg.listing(6, 5), "+0 |6>     +0 |7>     ");
    EXPECT_STREQ(r.reg.listing(7, 0xFFFFFFFFu), "+0 |7>     ");
    EXPECT_STREQ(r.reg.listing(8, 1), "");
    EXPECT_STREQ(r.reg.listing(0xFFFFFFFFu, 0xFFFFFFFFu), "");
    EXPECT_STREQ(QRegister().listing(0, 30), "");

    Reg two(2);
    two.reg.amplitudes[0] = two.reg.amplitudes[3] = std::sqrt(0.5);
    EXPECT_STREQ(two.reg.listing(0, 4), "+0.70711 |0>     +0 |1>     +0 |2>     +0.70711 |3>     ");
    two.reg.amplitudes[1] = Complex(0.5, -0.5);
    two.reg.amplitudes[2] = -0.5;
    EXPECT_STREQ(two.reg.listing(1, 2), "+0.5 - 0.5i |1>     -0.5 |2>     ");
}

// 2^13 amplitudes of few distinct magnitudes, with a NaN and an infinity, against a full sort:
// by magnitude with NaN smallest, equal magnitudes by basis index.
TEST(QRegister, SortedListingMatchesAFullSortInEveryWindow) {
    Reg r(13);
    const auto total = static_cast<std::uint32_t>(r.reg.amplitudeCount());
    std::mt19937 gen(12345);
    for (std::uint32_t i = 0; i < total; ++i) {
        const double m = static_cast<double>(gen() % 41) / 40.0;
        const Complex forms[] = {Complex(m, 0), Complex(0, -m), Complex(-m, 0)};
        r.reg.amplitudes[i] = forms[gen() % 3];
    }
    r.reg.amplitudes[17] = Complex(NAN, 0);
    r.reg.amplitudes[4000] = Complex(0.5, NAN);
    r.reg.amplitudes[99] = Complex(INFINITY, 0);

    auto key = [&](std::uint32_t i) {
        const double n = r.reg.amplitudes[i].norm();
        return std::isnan(n) ? -1.0 : n;
    };
    std::vector<std::uint32_t> up(total);
    std::iota(up.begin(), up.end(), 0u);
    std::stable_sort(up.begin(), up.end(), [&](auto a, auto b) { return key(a) < key(b); });
    std::vector<std::uint32_t> down = up;
    std::stable_sort(down.begin(), down.end(), [&](auto a, auto b) { return key(a) > key(b); });
    auto expected = [&](const std::vector<std::uint32_t>& order, std::uint32_t first,
                        std::uint32_t count) {
        std::string text;
        for (std::uint32_t p = first; p < first + count && p < total; ++p) {
            text += r.reg.listing(order[p], 1);
        }
        return text;
    };
    // Windows near either end of the order, on both sides of the largest one selected without
    // a permutation (4096 entries), and in the middle; the last is cut at the end.
    for (std::uint32_t first : {0u, 1u, 4066u, 4067u, total / 2 - 15, total - 4096, total - 4097,
                                total - 30, total - 5}) {
        SCOPED_TRACE(first);
        EXPECT_EQ(r.reg.sortedListing(first, 30, 1), expected(up, first, 30));
        EXPECT_EQ(r.reg.sortedListing(first, 30, 2), expected(down, first, 30));
    }
    const char* largest = r.reg.sortedListing(0, 1, -7);
    r.reg.listing(0, 1); // the sorted listing has a buffer of its own
    EXPECT_STREQ(largest, "+inf |99>     ");
    EXPECT_STREQ(r.reg.sortedListing(0, 2, 1), "+nan |17>     +0.5 |4000>     ");
    // A count beyond what the buffer holds fills it in the same order.
    EXPECT_EQ(r.reg.sortedListing(total / 2, 0xFFFFFFFFu, 2),
              expected(down, total / 2, total).substr(0, QRegister::ListingSize - 1));
    EXPECT_STREQ(r.reg.sortedListing(total, 30, 1), "");
    EXPECT_STREQ(r.reg.sortedListing(0, 0, 2), "");
    EXPECT_EQ(std::string(r.reg.listing(40, 3)), r.reg.sortedListing(40, 3, 0));
}

// A window in the middle, whatever the buckets it comes from: of one magnitude, mixed and
// collected whole, or mixed and counted again (a collect limit of 0 and 40), and across them;
// and near the ends, however the heaps are split.
TEST(SortedWindow, WindowsMatchAFullSortThroughEveryBucketKindAndSplit) {
    constexpr std::uint32_t total = 1 << 14;
    std::vector<Complex> amplitudes(total);
    std::mt19937 gen(7);
    for (std::uint32_t i = 0; i < total; ++i) {
        // Few magnitudes, most in ties, and a run of distinct ones that share leading bits.
        const double m = i % 3 == 0 ? 0.25 + 1e-9 * (gen() % 3000) : (gen() % 5) / 8.0;
        amplitudes[i] = Complex(i % 2 ? m : 0.0, i % 2 ? 0.0 : -m);
    }
    amplitudes[5000] = Complex(NAN, 0);
    amplitudes[6000] = Complex(INFINITY, 0);
    auto key = [&](std::uint32_t i) {
        const double n = amplitudes[i].norm();
        return std::isnan(n) ? -1.0 : n;
    };
    for (const bool descending : {false, true}) {
        std::vector<std::uint32_t> order(total);
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) {
            return descending ? key(a) > key(b) : key(a) < key(b);
        });
        for (const std::uint64_t limit :
             {std::uint64_t{0}, std::uint64_t{40}, SortedWindow::DefaultCollectLimit}) {
            for (const std::uint32_t first : {4097u, 5400u, 8000u, 10900u, 12287u - 30}) {
                const std::vector<std::uint32_t> expected(order.begin() + first,
                                                          order.begin() + first + 30);
                EXPECT_EQ(
                    SortedWindow::select(amplitudes.data(), total, first, 30, descending, limit),
                    expected)
                    << descending << " " << limit << " " << first;
            }
        }
        // Windows near either end, their heaps kept in ranges of indexes that are merged
        // afterwards: one range, a few, and more ranges than entries in the window.
        for (const int parts : {1, 3, 5000}) {
            for (const std::uint32_t first : {0u, 7u, 4066u, total - 4096, total - 30}) {
                const std::vector<std::uint32_t> expected(order.begin() + first,
                                                          order.begin() + first + 30);
                EXPECT_EQ(SortedWindow::select(amplitudes.data(), total, first, 30, descending,
                                               SortedWindow::DefaultCollectLimit, parts),
                          expected)
                    << descending << " " << parts << " " << first;
            }
        }
    }
}

TEST(QRegister, SampleWalksToWhereTheRunningSumReachesTheDraw) {
    Reg empty(3), five(3), half(1), gaps(2);
    five.reg.amplitudes[5] = 1.0;
    half.reg.amplitudes[0] = half.reg.amplitudes[1] = std::sqrt(0.5);
    gaps.reg.amplitudes[0] = gaps.reg.amplitudes[3] = 0.5;
    for (int draw : {1, 16384, 32767}) {
        EXPECT_EQ(empty.reg.sampleFromDraw(draw), 7u); // no weight anywhere: the last index
        EXPECT_EQ(five.reg.sampleFromDraw(draw), 5u);
    }
    EXPECT_EQ(half.reg.sampleFromDraw(16383), 0u); // x = 0.49998
    EXPECT_EQ(half.reg.sampleFromDraw(16384), 1u); // x = 0.50002
    EXPECT_EQ(gaps.reg.sampleFromDraw(8000), 0u);
    EXPECT_EQ(gaps.reg.sampleFromDraw(8200), 3u);  // zero probabilities are passed over
    EXPECT_EQ(gaps.reg.sampleFromDraw(32767), 3u); // a sum short of x runs to the end

    // sample() walks the shared generator's first nonzero draw after each seed.
    unsigned zeroSeed = 0; // one whose first draw is 0
    do {
        std::srand(++zeroSeed);
    } while (drawRandom15() != 0);
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, zeroSeed}) {
        std::srand(seed);
        const int first = drawRandom15();
        const int draw = first != 0 ? first : drawRandom15();
        std::srand(seed);
        EXPECT_EQ(half.reg.sample(), half.reg.sampleFromDraw(draw)) << seed;
    }
    std::srand(zeroSeed);
    EXPECT_EQ(five.reg.sample(), 5u);
}

TEST(QRegister, ResizingClearsAndCopyingNeedsEqualSizes) {
    Reg three(3), four(4);
    three.reg.amplitudes[2] = Complex(0.6, 0.8);
    const Complex* array = three.reg.amplitudes;
    four.reg.amplitudes[2] = 0.5;
    four.reg.amplitudes[15] = Complex(0.0, -1.0);
    EXPECT_NEAR(four.reg.probabilitySum(), 1.25, 1e-15); // never renormalised
    three.reg.copyFrom(four.reg);
    EXPECT_EQ(three.reg.amplitudes[2].real, 0.6);
    ASSERT_TRUE(three.reg.setQubitCount(3));
    EXPECT_EQ(three.reg.amplitudes, array); // cleared in place, without a second array
    EXPECT_EQ(three.reg.probabilitySum(), 0.0);
    // Counts that no basis index can address are refused and change nothing.
    EXPECT_FALSE(four.reg.setQubitCount(-1));
    EXPECT_FALSE(four.reg.setQubitCount(QRegister::MaxQubitCount + 1));
    EXPECT_EQ(four.reg.qubitCount, 4);
    EXPECT_EQ(four.reg.amplitudes[15].imag, -1.0);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST(QRegister, AllocationFailureLeavesTheRegisterAsItWas) {
    // No room for 26 qubits (1.5 GiB) nor for a copy of a 20-qubit register (24 MiB).
    auto child = [] {
        Reg r(4), source(20);
        r.reg.amplitudes[11] = Complex(0.25, 0.5);
        Complex* const array = r.reg.amplitudes;
        limitAddressSpace(8u << 20);
        return !r.reg.setQubitCount(26) && !r.reg.cloneFrom(source.reg) && r.reg.qubitCount == 4 &&
               r.reg.amplitudes == array && r.reg.amplitudes[11].imag == 0.5;
    };
    EXPECT_EXIT(std::_Exit(child() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}
#endif

// Options {direction, decimal, zeroFill}.
constexpr SegmentOptions Dec{0, 1, 0}, DecZ{0, 1, 1}, DecZRev{1, 1, 1}, Bin{0, 0, 0}, BinZ{0, 0, 1},
    BinZRev{1, 0, 1};

TEST(Segmentation, LabelsWriteOneKetPerSegment) {
    // qubits, segment options, segment ends, global direction, index, label
    const std::tuple<int, std::vector<SegmentOptions>, std::vector<int>, std::uint8_t,
                     std::uint32_t, const char*>
        cases[] = {
            {4, {Dec}, {}, 0, 10, "|10>"},
            {4, {BinZ}, {}, 0, 1, "|0001>"},
            {4, {BinZ}, {}, 0, 0, "|0000>"},
            {4, {BinZRev}, {}, 0, 1, "|1000>"},
            {4, {Bin}, {}, 0, 0, "|0>"},
            // Decimal zero fill reaches the digits of the widest value: 1, 1, 2, 4 and 7 digits.
            {1, {DecZ}, {}, 0, 0, "|0>"},
            {1, {DecZ}, {}, 0, 1, "|1>"},
            {3, {DecZ}, {}, 0, 5, "|5>"},
            {4, {DecZ}, {}, 0, 5, "|05>"},
            {10, {DecZ}, {}, 0, 5, "|0005>"},
            {20, {DecZ}, {}, 0, 0, "|0000000>"},
            {4, {DecZRev}, {}, 0, 12, "|21>"},
            // Bits 0-1 and 2-3: the global direction orders the kets but not their digits.
            {4, {Dec, Dec}, {1}, 0, 13, "|3>|1>"},
            {4, {Dec, Dec}, {1}, 1, 13, "|1>|3>"},
            {4, {Dec, BinZ}, {1}, 0, 9, "|10>|1>"},
            {4, {Dec, BinZ}, {1}, 1, 9, "|1>|10>"},
            // Segment 1 (bits 2 down to 0) is empty; segment 2 (bits 1-3) overlaps segment 0.
            {4, {Dec, Dec, Dec}, {1, 0}, 0, 13, "|6>|1>"},
            {4, {}, {}, 0, 13, ""},
            // Hand-edited ends outside the register: bits below 0 and above the index read as 0.
            {4, {Dec, Dec}, {-5}, 0, 1, "|16>"},
            {4, {Dec, Dec, Dec}, {40, INT_MAX}, 0, 15, "|0>|15>"},
        };
    for (const auto& [qubits, segments, ends, global, index, label] : cases) {
        Reg r(qubits);
        r.seg.globalDirection = global;
        r.seg.segmentCount = static_cast<int>(segments.size());
        std::copy(segments.begin(), segments.end(), r.seg.options);
        std::copy(ends.begin(), ends.end(), r.seg.segmentEnd);
        EXPECT_EQ(r.label(index), label) << qubits << " qubits, index " << index;
    }
    Reg r(3);
    const char* first = r.reg.basisLabel(1);
    EXPECT_EQ(r.reg.basisLabel(2), first); // one shared buffer, overwritten
    EXPECT_STREQ(first, "|2>");
    r.seg.segmentCount = -4;
    EXPECT_EQ(r.label(5), "");
    // Segment numbers outside the arrays give empty ranges instead of reading past them.
    EXPECT_TRUE(r.seg.bitRange(-1, 3).empty());
    EXPECT_TRUE(r.seg.bitRange(Segmentation::MaxSegments + 1, 3).empty());

    // reset keeps all but the count and the first options.
    r.seg.globalDirection = 1;
    r.seg.segmentCount = 2;
    r.seg.segmentEnd[0] = 0;
    r.seg.options[0] = r.seg.options[1] = BinZRev;
    r.seg.reset();
    EXPECT_EQ(r.label(5), "|5>");
    r.seg.segmentCount = 2;
    EXPECT_EQ(r.label(5), "|1>|01>");
}

TEST(Segmentation, OverlongLabelsAndListingsAreCutAndNeverOverrun) {
    // 15 of 31 segments cover all 8 bits in binary with zeros: 15 kets of 10 characters.
    Reg r(8);
    r.seg.segmentCount = Segmentation::MaxSegments;
    for (int c = 0; c <= Segmentation::MaxSegments; ++c) {
        r.seg.options[c] = BinZ;
        r.seg.segmentEnd[c] = c % 2 == 0 ? -1 : 7;
    }
    for (std::uint8_t global : {0, 1}) {
        r.seg.globalDirection = global;
        EXPECT_EQ(r.label(1).size(), 127u);
        EXPECT_EQ(r.label(1).substr(0, 10), "|00000001>");
    }
    for (int mode : {0, 1, 2}) { // 256 such entries overflow the listings' buffers
        EXPECT_EQ(std::strlen(r.reg.sortedListing(mode, 256, mode)), QRegister::ListingSize - 1u);
    }
    r.seg.segmentCount = 1000; // only the segments the record holds are read
    EXPECT_EQ(r.label(1).size(), 127u);
}

} // namespace

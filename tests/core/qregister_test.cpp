#include "core/qregister.h"
#include "core/random.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// A register of n qubits with the default segmentation, every amplitude 0.
struct Reg {
    explicit Reg(int n) {
        reg.segmentation = &seg;
        EXPECT_TRUE(reg.setQubitCount(n));
    }
    Segmentation seg;
    QRegister reg;
};

TEST(QRegister, FreshRegisterListsZerosWithLabels) {
    Reg r(3);
    EXPECT_EQ(r.reg.amplitudeCount(), 8u);
    EXPECT_EQ(r.reg.probabilitySum(), 0.0);
    EXPECT_STREQ(r.reg.listing(0, 8), "+0 |0>     +0 |1>     +0 |2>     +0 |3>     "
                                      "+0 |4>     +0 |5>     +0 |6>     +0 |7>     ");
}

TEST(QRegister, ListingIsCutAtTheEndOfTheRegister) {
    Reg r(3);
    EXPECT_STREQ(r.reg.listing(6, 5), "+0 |6>     +0 |7>     ");
    EXPECT_STREQ(r.reg.listing(7, 0xFFFFFFFFu), "+0 |7>     ");
    EXPECT_STREQ(r.reg.listing(8, 1), "");
    EXPECT_STREQ(r.reg.listing(0xFFFFFFFFu, 0xFFFFFFFFu), "");
    EXPECT_STREQ(r.reg.listing(2, 0), "");
    const QRegister empty;
    EXPECT_STREQ(empty.listing(0, 30), "");
}

TEST(QRegister, EntriesCarryTheSignOfTheAmplitudeText) {
    Reg r(2);
    const double h = std::sqrt(0.5);
    r.reg.amplitudes[0] = h;
    r.reg.amplitudes[3] = h;
    EXPECT_STREQ(r.reg.listing(0, 4), "+0.70711 |0>     +0 |1>     +0 |2>     +0.70711 |3>     ");
    r.reg.amplitudes[2] = -0.5;
    r.reg.amplitudes[1] = Complex(0.5, -0.5);
    EXPECT_STREQ(r.reg.listing(1, 2), "+0.5 - 0.5i |1>     -0.5 |2>     ");
}

TEST(QRegister, ListingNeverOverrunsItsBuffer) {
    // Eight qubits, 31 overlapping binary segments with zeros: labels of 127 characters, so
    // 256 entries need far more than the buffer holds.
    Reg r(8);
    r.seg.segmentCount = 31;
    for (int c = 0; c < 32; ++c) {
        r.seg.options[c] = SegmentOptions{0, 0, 1};
        r.seg.segmentEnd[c] = 7;
    }
    for (int c = 0; c < 32; c += 2) {
        r.seg.segmentEnd[c] = -1;
    }
    ASSERT_EQ(std::strlen(r.reg.basisLabel(1)), 127u);
    EXPECT_EQ(std::strlen(r.reg.listing(0, 256)),
              static_cast<std::size_t>(QRegister::ListingSize - 1));
    EXPECT_EQ(std::strlen(r.reg.sortedListing(0, 256, 1)),
              static_cast<std::size_t>(QRegister::ListingSize - 1));
    EXPECT_EQ(std::strlen(r.reg.sortedListing(3, 256, 2)),
              static_cast<std::size_t>(QRegister::ListingSize - 1));
}

// The sorted listing compared with a full sort: magnitudes by key (NaN smallest), equal keys
// by basis index.
class SortedListing : public ::testing::Test {
protected:
    static constexpr int Qubits = 13; // windows far from both ends take the permutation path

    SortedListing() : r(Qubits) {
        std::mt19937 gen(12345);
        std::uniform_int_distribution<int> level(0, 40); // few levels: many equal magnitudes
        std::uniform_int_distribution<int> sign(0, 3);
        for (std::uint32_t i = 0; i < r.reg.amplitudeCount(); ++i) {
            const double m = level(gen) / 40.0;
            const int s = sign(gen);
            r.reg.amplitudes[i] = s == 0 ? Complex(m, 0) : s == 1 ? Complex(0, -m) : Complex(-m, 0);
        }
        const double nan = std::numeric_limits<double>::quiet_NaN();
        r.reg.amplitudes[17] = Complex(nan, 0);
        r.reg.amplitudes[4000] = Complex(0.5, nan);
        r.reg.amplitudes[99] = Complex(std::numeric_limits<double>::infinity(), 0);

        ascending.resize(r.reg.amplitudeCount());
        std::iota(ascending.begin(), ascending.end(), 0u);
        auto key = [&](std::uint32_t i) {
            const double n = r.reg.amplitudes[i].norm();
            return std::isnan(n) ? -1.0 : n;
        };
        std::stable_sort(ascending.begin(), ascending.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
        descending = ascending;
        std::sort(descending.begin(), descending.end(), [&](std::uint32_t a, std::uint32_t b) {
            return key(a) != key(b) ? key(a) > key(b) : a < b;
        });
    }

    std::string expected(const std::vector<std::uint32_t>& order, std::uint32_t first,
                         std::uint32_t count) {
        std::string text;
        for (std::uint32_t p = first; p < first + count && p < order.size(); ++p) {
            text += r.reg.listing(order[p], 1);
        }
        return text;
    }

    void expectWindow(std::uint32_t first, std::uint32_t count) {
        EXPECT_EQ(r.reg.sortedListing(first, count, 1), expected(ascending, first, count))
            << "ascending " << first << " " << count;
        EXPECT_EQ(r.reg.sortedListing(first, count, 2), expected(descending, first, count))
            << "descending " << first << " " << count;
        EXPECT_EQ(r.reg.sortOrder, nullptr);
    }

    Reg r;
    std::vector<std::uint32_t> ascending;
    std::vector<std::uint32_t> descending;
};

TEST_F(SortedListing, WindowsAtBothEndsAndInTheMiddleMatchAFullSort) {
    const std::uint32_t total = 1u << Qubits;
    expectWindow(0, 30);
    expectWindow(1, 1);
    expectWindow(4096 - 30, 30); // the largest window kept in a heap
    expectWindow(4096 - 29, 30); // one past it
    expectWindow(total / 2 - 15, 30);
    expectWindow(total - 4096, 30); // the back end, kept in a heap
    expectWindow(total - 4097, 30); // one before it
    expectWindow(total - 30, 30);
}

TEST_F(SortedListing, EndsHoldTheExtremesAndCountsAreCut) {
    const std::uint32_t total = 1u << Qubits;
    // Descending first 0 is the infinite amplitude; ascending first 0 the NaNs.
    EXPECT_EQ(std::string(r.reg.sortedListing(0, 1, 2)), "+inf |99>     ");
    EXPECT_EQ(std::string(r.reg.sortedListing(0, 2, 1)), "+nan |17>     +0.5 |4000>     ");
    EXPECT_EQ(r.reg.sortedListing(total - 5, 30, 1), expected(ascending, total - 5, 5));
    EXPECT_EQ(r.reg.sortedListing(total - 5, 30, -7), expected(descending, total - 5, 5));
    // A count beyond what the buffer holds gives a full buffer of the same order.
    EXPECT_EQ(r.reg.sortedListing(total / 2, 0xFFFFFFFFu, 2),
              expected(descending, total / 2, total).substr(0, QRegister::ListingSize - 1));
    EXPECT_STREQ(r.reg.sortedListing(total, 30, 1), "");
    EXPECT_STREQ(r.reg.sortedListing(0, 0, 2), "");
    // Mode 0 is the unsorted listing.
    EXPECT_EQ(std::string(r.reg.sortedListing(40, 3, 0)), std::string(r.reg.listing(40, 3)));
}

TEST(QRegister, SortedListingKeepsItsOwnBuffer) {
    Reg r(2);
    r.reg.amplitudes[2] = 1.0;
    const char* sorted = r.reg.sortedListing(0, 1, 2);
    const char* plain = r.reg.listing(0, 1);
    EXPECT_NE(sorted, plain);
    EXPECT_STREQ(sorted, "+1 |2>     ");
    EXPECT_STREQ(r.reg.sortedListing(0, 1, 1), "+0 |0>     ");
}

TEST(QRegister, SampleWalksToWhereTheRunningSumReachesTheDraw) {
    Reg r(3);
    // Every nonzero draw gives the last index when nothing carries weight.
    EXPECT_EQ(r.reg.sampleFromDraw(1), 7u);
    EXPECT_EQ(r.reg.sampleFromDraw(32767), 7u);

    r.reg.amplitudes[5] = 1.0;
    for (int draw : {1, 2, 16383, 16384, 32766, 32767}) {
        EXPECT_EQ(r.reg.sampleFromDraw(draw), 5u) << draw;
    }

    Reg half(1);
    half.reg.amplitudes[0] = std::sqrt(0.5);
    half.reg.amplitudes[1] = std::sqrt(0.5);
    EXPECT_EQ(half.reg.sampleFromDraw(1), 0u);
    EXPECT_EQ(half.reg.sampleFromDraw(16383), 0u); // x = 0.49998
    EXPECT_EQ(half.reg.sampleFromDraw(16384), 1u); // x = 0.50002
    EXPECT_EQ(half.reg.sampleFromDraw(32767), 1u);

    // Zero probabilities in between are passed over; a sum short of x runs to the end.
    Reg gaps(2);
    gaps.reg.amplitudes[0] = 0.5;
    gaps.reg.amplitudes[3] = 0.5;
    EXPECT_EQ(gaps.reg.sampleFromDraw(8000), 0u);
    EXPECT_EQ(gaps.reg.sampleFromDraw(8200), 3u);
    EXPECT_EQ(gaps.reg.sampleFromDraw(32767), 3u);
}

TEST(QRegister, SampleDrawsFromTheSharedGeneratorAndNeverGivesMinusOne) {
    Reg r(4);
    for (std::uint32_t i = 0; i < 16; ++i) {
        r.reg.amplitudes[i] = 0.25;
    }
    std::srand(2024);
    std::vector<std::uint32_t> expected;
    for (int k = 0; k < 50; ++k) {
        int draw = 0;
        while (draw == 0) {
            draw = drawRandom15();
        }
        expected.push_back(r.reg.sampleFromDraw(draw));
    }
    std::srand(2024);
    for (int k = 0; k < 50; ++k) {
        EXPECT_EQ(r.reg.sample(), expected[static_cast<std::size_t>(k)]) << k;
    }

    // A seed whose first draw is 0: that draw is drawn again, so the weight on 5 still wins.
    unsigned seed = 0;
    for (;; ++seed) {
        std::srand(seed);
        if (drawRandom15() == 0) {
            break;
        }
    }
    Reg five(3);
    five.reg.amplitudes[5] = 1.0;
    std::srand(seed);
    EXPECT_EQ(five.reg.sample(), 5u);
}

TEST(QRegister, ProbabilitySumAddsEveryAmplitude) {
    Reg r(2);
    r.reg.amplitudes[0] = Complex(0.6, 0.0);
    r.reg.amplitudes[3] = Complex(0.0, 0.8);
    EXPECT_NEAR(r.reg.probabilitySum(), 1.0, 1e-15);
    r.reg.amplitudes[1] = 1.0; // the program never renormalises
    EXPECT_NEAR(r.reg.probabilitySum(), 2.0, 1e-15);
}

TEST(QRegister, SetQubitCountClearsOrReplacesTheArray) {
    Reg r(3);
    r.reg.amplitudes[4] = Complex(0.5, 0.5);
    const Complex* array = r.reg.amplitudes;
    ASSERT_TRUE(r.reg.setQubitCount(3));
    EXPECT_EQ(r.reg.amplitudes, array); // the same size is cleared in place
    EXPECT_EQ(r.reg.probabilitySum(), 0.0);

    ASSERT_TRUE(r.reg.setQubitCount(5));
    EXPECT_EQ(r.reg.qubitCount, 5);
    EXPECT_EQ(r.reg.amplitudeCount(), 32u);
    EXPECT_EQ(r.reg.probabilitySum(), 0.0);

    // Counts no basis index can address are refused before anything changes.
    r.reg.amplitudes[31] = 1.0;
    EXPECT_FALSE(r.reg.setQubitCount(-1));
    EXPECT_FALSE(r.reg.setQubitCount(QRegister::MaxQubitCount + 1));
    EXPECT_EQ(r.reg.qubitCount, 5);
    EXPECT_EQ(r.reg.amplitudes[31].real, 1.0);
}

TEST(QRegister, CopyFromNeedsEqualSizes) {
    Reg three(3);
    Reg four(4);
    three.reg.amplitudes[2] = 0.5;
    four.reg.amplitudes[2] = Complex(1.0, -1.0);
    three.reg.copyFrom(four.reg);
    EXPECT_EQ(three.reg.amplitudes[2].real, 0.5);
    EXPECT_EQ(three.reg.probabilitySum(), 0.25);

    Reg other(3);
    other.reg.amplitudes[6] = Complex(0.0, -0.25);
    three.reg.copyFrom(other.reg);
    EXPECT_EQ(three.reg.amplitudes[2].real, 0.0);
    EXPECT_EQ(three.reg.amplitudes[6].imag, -0.25);
    three.reg.copyFrom(three.reg);
    EXPECT_EQ(three.reg.amplitudes[6].imag, -0.25);

    QRegister never; // no array: nothing to copy into or from
    never.copyFrom(other.reg);
    other.reg.copyFrom(never);
    EXPECT_EQ(never.amplitudes, nullptr);
    EXPECT_EQ(other.reg.amplitudes[6].imag, -0.25);
}

TEST(QRegister, CloneFromTakesSizeAndValuesButKeepsTheSegmentation) {
    Reg source(4);
    source.reg.amplitudes[9] = Complex(0.5, -0.5);
    Segmentation own;
    QRegister copy;
    copy.segmentation = &own;
    ASSERT_TRUE(copy.cloneFrom(source.reg));
    EXPECT_EQ(copy.qubitCount, 4);
    EXPECT_NE(copy.amplitudes, source.reg.amplitudes);
    EXPECT_EQ(copy.amplitudes[9].real, 0.5);
    EXPECT_EQ(copy.amplitudes[9].imag, -0.5);
    EXPECT_EQ(copy.segmentation, &own);

    Reg smaller(2);
    ASSERT_TRUE(copy.cloneFrom(smaller.reg));
    EXPECT_EQ(copy.amplitudeCount(), 4u);
    EXPECT_EQ(copy.probabilitySum(), 0.0);
    EXPECT_TRUE(copy.cloneFrom(copy));

    const QRegister never;
    ASSERT_TRUE(copy.cloneFrom(never));
    EXPECT_EQ(copy.amplitudes, nullptr);
    EXPECT_EQ(copy.amplitudeCount(), 0u);
}

#if !defined(__SANITIZE_ADDRESS__)
rlim_t addressSpaceInUse() {
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

TEST(QRegister, AllocationFailureLeavesTheRegisterAsItWas) {
    // In a child process, under an address-space limit that leaves room neither for 26 qubits
    // (1.5 GiB) nor for a copy of a 20-qubit register (24 MiB).
    auto child = [] {
        Reg r(4);
        r.reg.amplitudes[11] = Complex(0.25, 0.5);
        Complex* const array = r.reg.amplitudes;
        Reg source(20);
        const rlimit limit{addressSpaceInUse() + (8u << 20), RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        const bool refused = !r.reg.setQubitCount(26) && !r.reg.cloneFrom(source.reg);
        QRegister fresh;
        const bool freshRefused =
            !fresh.setQubitCount(26) && fresh.amplitudes == nullptr && fresh.qubitCount == 0;
        const bool intact = r.reg.qubitCount == 4 && r.reg.amplitudes == array &&
                            r.reg.amplitudes[11].real == 0.25 && r.reg.amplitudes[11].imag == 0.5;
        return refused && freshRefused && intact ? 0 : 1;
    };
    EXPECT_EXIT(std::_Exit(child()), ::testing::ExitedWithCode(0), "");
}
#endif

} // namespace

#include "app/snapshot.h"
#include "core/qregister.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

bool sameBits(const QRegister& a, const QRegister& b) {
    return a.qubitCount == b.qubitCount && std::memcmp(static_cast<const void*>(a.amplitudes),
                                                       static_cast<const void*>(b.amplitudes),
                                                       a.amplitudeCount() * sizeof(Complex)) == 0;
}

// Fills the register with values drawn from `distinct` different ones (0: all different), with
// the values a bit-exact copy must keep apart: signed zeros, a NaN with a payload, denormals.
// With `signs` each real part takes a random sign, so that one magnitude comes with both.
void fill(QRegister& reg, int distinct, std::uint64_t seed, bool signs = false) {
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::uint64_t payloadNaN = 0x7FF8000000001234ull;
    double special[] = {0.0, -0.0, std::numeric_limits<double>::denorm_min(), 0.0};
    std::memcpy(&special[3], &payloadNaN, sizeof payloadNaN);
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
        const std::uint64_t k = distinct ? gen() % static_cast<std::uint64_t>(distinct) : i;
        const double real = k < 4 ? special[k] : std::ldexp(static_cast<double>(k), -20);
        reg.amplitudes[i].set(signs && gen() % 2 ? -real : real,
                              distinct ? special[k % 2] : uniform(gen));
    }
}

TEST(Snapshot, RestoresEveryKindOfStateBitForBit) {
    struct Case {
        int qubits;
        int distinct; // values in the register; 0 for all different (kept as they are)
        bool signs = false;
    };
    // One and several chunks; palettes of 1, 2, 4, 16 and 256 values, and beyond them repeats
    // of magnitudes (also with both signs, which share a slot). From 18 qubits on the chunks
    // are packed on the helper threads as well.
    const Case cases[] = {{0, 1},           {2, 2},    {3, 0},          {15, 1},   {15, 2},
                          {15, 4},          {15, 16},  {15, 256},       {15, 257}, {15, 0},
                          {15, 5000, true}, {18, 300}, {18, 5000, true}};
    for (const Case& c : cases) {
        QRegister source;
        ASSERT_TRUE(source.setQubitCount(c.qubits));
        fill(source, c.distinct, static_cast<std::uint64_t>(c.qubits * 1000 + c.distinct), c.signs);
        std::uint64_t granted = 0;
        std::uint64_t handedBack = 0;
        Snapshot snapshot;
        ASSERT_TRUE(snapshot.capture(
            source, [&](std::uint64_t b) { return (granted += b, true); },
            [&](std::uint64_t b) { handedBack += b; }));
        EXPECT_EQ(snapshot.bytes(), granted);
        QRegister restored;
        ASSERT_TRUE(restored.setQubitCount(c.qubits));
        snapshot.restoreInto(restored);
        EXPECT_TRUE(sameBits(source, restored)) << c.qubits << " qubits, " << c.distinct;
        // Never more than the values themselves and a little bookkeeping.
        EXPECT_LE(granted, source.amplitudeCount() * 16 + 1024) << c.distinct;
        // Within what a capture on the history's packing thread is granted in advance.
        EXPECT_LE(granted, Snapshot::mostBytes(c.qubits)) << c.distinct;
        if (c.signs) {
            // Repeated magnitudes are kept in about a quarter of their bytes.
            EXPECT_LT(granted, source.amplitudeCount() * 8);
        }
        snapshot.clear();
        EXPECT_EQ(handedBack, granted);
    }
}

TEST(Snapshot, ARefusedBlockLeavesNothingAndAnotherSizeIsLeftAlone) {
    QRegister source;
    ASSERT_TRUE(source.setQubitCount(16));
    fill(source, 0, 1);
    std::uint64_t held = 0;
    int blocks = 0;
    Snapshot snapshot;
    // The fourth block is refused half way through the register.
    EXPECT_FALSE(snapshot.capture(
        source, [&](std::uint64_t b) { return ++blocks < 4 && (held += b, true); },
        [&](std::uint64_t b) { held -= b; }));
    EXPECT_TRUE(snapshot.empty());
    EXPECT_EQ(held, 0u);

    ASSERT_TRUE(snapshot.capture(
        source, [](std::uint64_t) { return true; }, [](std::uint64_t) {}));
    QRegister other;
    ASSERT_TRUE(other.setQubitCount(15));
    other.amplitudes[3] = 0.5;
    snapshot.restoreInto(other);
    EXPECT_EQ(other.amplitudes[3].real, 0.5);
    EXPECT_EQ(other.amplitudes[0].real, 0.0);
}

TEST(Snapshot, ARangeIsCopiedFromTheChunksThatHoldIt) {
    QRegister source;
    ASSERT_TRUE(source.setQubitCount(16));
    fill(source, 5000, 3, true);
    Snapshot snapshot;
    ASSERT_TRUE(snapshot.capture(
        source, [](std::uint64_t) { return true; }, [](std::uint64_t) {}));
    // Across a chunk boundary, up to the end, and past it (only what exists is written).
    const std::uint64_t ranges[][2] = {
        {Snapshot::ChunkAmplitudes - 3, 10}, {65530, 100}, {70000, 5}};
    for (const auto& [first, count] : ranges) {
        const std::uint64_t existing =
            first < 65536 ? std::min<std::uint64_t>(count, 65536 - first) : 0;
        std::vector<Complex> out(count, Complex(7.0, 7.0));
        snapshot.copyRange(first, count, out.data());
        for (std::uint64_t k = 0; k < count; ++k) {
            const Complex& expected =
                k < existing ? source.amplitudes[first + k] : Complex(7.0, 7.0);
            EXPECT_EQ(std::memcmp(&out[k].real, &expected.real, 8), 0) << first + k;
            EXPECT_EQ(std::memcmp(&out[k].imag, &expected.imag, 8), 0) << first + k;
        }
    }
}

// The packed form as a session file keeps it: every kind of plane reads back bit for bit, and
// no truncation or flipped bit makes a snapshot that decodes outside its data (ASan watches).
TEST(Snapshot, SavedPlanesOfEveryKindLoadBackAndDamagedOnesAreRefused) {
    struct Case {
        int qubits;
        int distinct;
        bool signs = false;
    };
    // Single values; a palette of 16; repeats of 300 magnitudes with both signs; raw values.
    for (const Case& c : {Case{0, 1}, {10, 16}, {10, 300, true}, {10, 0}}) {
        QRegister source;
        ASSERT_TRUE(source.setQubitCount(c.qubits));
        fill(source, c.distinct, 7, c.signs);
        Snapshot saved;
        ASSERT_TRUE(saved.capture(
            source, [](std::uint64_t) { return true; }, [](std::uint64_t) {}));
        std::string bytes;
        ASSERT_TRUE(saved.save([&](const void* data, std::size_t n) {
            bytes.append(static_cast<const char*>(data), n);
            return true;
        }));
        if (c.signs) {
            EXPECT_LT(bytes.size(), source.amplitudeCount() * 8); // kept as repeats
        }
        QRegister restored;
        ASSERT_TRUE(restored.setQubitCount(c.qubits));
        Snapshot loaded;
        auto load = [&](const std::string& from) {
            std::size_t pos = 0;
            return loaded.load(
                c.qubits,
                [&](void* data, std::size_t n) {
                    if (n > from.size() - pos) {
                        return false;
                    }
                    std::memcpy(data, from.data() + pos, n);
                    pos += n;
                    return true;
                },
                [](std::uint64_t) { return true; }, [](std::uint64_t) {});
        };
        ASSERT_TRUE(load(bytes));
        EXPECT_EQ(loaded.bytes(), saved.bytes());
        loaded.restoreInto(restored);
        EXPECT_TRUE(sameBits(source, restored)) << c.qubits << " qubits, " << c.distinct;
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            EXPECT_FALSE(load(bytes.substr(0, length))) << length;
            EXPECT_TRUE(loaded.empty());
        }
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at * 3 + at / 16) % 8));
            if (load(flipped)) {
                loaded.restoreInto(restored);
            }
        }
    }
}

} // namespace

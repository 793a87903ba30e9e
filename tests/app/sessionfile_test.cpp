#include "app/sessionfile.h"
#include "app/stephistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool sameBits(const QRegister& a, const QRegister& b) {
    return a.qubitCount == b.qubitCount && std::memcmp(static_cast<const void*>(a.amplitudes),
                                                       static_cast<const void*>(b.amplitudes),
                                                       a.amplitudeCount() * sizeof(Complex)) == 0;
}

bool sameSegmentation(const Segmentation& a, const Segmentation& b) {
    return a.globalDirection == b.globalDirection && a.segmentCount == b.segmentCount &&
           std::memcmp(a.options, b.options, sizeof a.options) == 0 &&
           std::memcmp(a.segmentEnd, b.segmentEnd, sizeof a.segmentEnd) == 0;
}

// A running session: register, segmentation and history, with `steps` recorded states of n
// qubits that need every packing (one value, small palettes, LZ4, raw values).
struct Session {
    explicit Session(int n, int steps, HistoryBudget budget = HistoryBudget(0, 1ull << 30))
        : history(live, budget) {
        live.segmentation = &segmentation;
        live.setQubitCount(n);
        std::mt19937_64 gen(static_cast<std::uint64_t>(n));
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (int s = 0; s < steps; ++s) {
            for (std::uint64_t i = 0; i < live.amplitudeCount(); ++i) {
                const double palette[] = {0.5, -0.5, 1 / std::sqrt(2.0), -0.0};
                live.amplitudes[i].set(s % 3 == 0 ? u(gen) : palette[(i * s) % 4],
                                       s % 3 == 1 ? u(gen) : 0.0);
            }
            history.recordStep(("step " + std::to_string(s)).c_str(), s % 2);
        }
        segmentation.segmentCount = 2;
        segmentation.segmentEnd[0] = 1;
        segmentation.options[1].decimal = 0;
        history.depthUp();
        history.stepBack();
        live.amplitudes[0].set(std::nan("7"), -0.0); // the live state differs from every step
    }
    // Whether the other session is this one, bit for bit.
    bool same(const Session& o) const {
        if (!sameBits(live, o.live) || !sameSegmentation(segmentation, o.segmentation) ||
            history.historySize() != o.history.historySize() ||
            history.historyPosition() != o.history.historyPosition() ||
            history.depthFilter() != o.history.depthFilter() ||
            history.released() != o.history.released()) {
            return false;
        }
        for (int k = 0; k < history.historySize(); ++k) {
            const HistoryEntry &a = history.entry(k), &b = o.history.entry(k);
            QRegister ra, rb;
            ra.setQubitCount(live.qubitCount);
            rb.setQubitCount(live.qubitCount);
            a.restoreInto(ra);
            b.restoreInto(rb);
            if (a.depth != b.depth || std::strcmp(a.text, b.text) != 0 ||
                a.hasSnapshot() != b.hasSnapshot() || a.snapshot.bytes() != b.snapshot.bytes() ||
                (a.segmentation == &segmentation) != (b.segmentation == &o.segmentation) ||
                !sameBits(ra, rb)) {
                return false;
            }
        }
        return true;
    }
    SessionFile::Loaded load(const fs::path& file, std::uint64_t free = 1ull << 40) const {
        return SessionFile::load(file.string(), history, free);
    }
    // Reads the bytes from memory: the fuzzing tries thousands of files.
    SessionFile::Loaded load(std::string bytes) const {
        bytes += '\0'; // fmemopen wants a buffer of at least one byte; read only up to size - 1
        std::FILE* f = fmemopen(bytes.data(), bytes.size() - 1, "rb");
        if (!f) {
            f = std::fopen("/dev/null", "rb"); // an empty buffer
        }
        SessionFile::Loaded loaded = SessionFile::load(f, "memory", history, 1ull << 40);
        std::fclose(f);
        return loaded;
    }
    QRegister live;
    Segmentation segmentation;
    StepHistory history;
};

class SessionFileTest : public testing::Test {
protected:
    fs::path file(const std::string& name) const {
        return fs::temp_directory_path() /
               ("amplex_" + std::to_string(::getpid()) + "_" + name + ".amplex");
    }
    std::string bytesOf(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void write(const fs::path& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    void TearDown() override {
        for (const char* name : {"saved", "bad"}) {
            fs::remove(file(name));
        }
    }
};

TEST_F(SessionFileTest, ASavedSessionOpensAgainBitForBit) {
    // The second keeps within 1.4 MB by releasing its oldest snapshot.
    for (const auto& [n, steps, budget] :
         {std::tuple{15, 4, 1ull << 30}, {15, 4, 1400000ull}, {2, 0, 1ull << 30}}) {
        Session saved(n, steps, HistoryBudget(0, budget));
        EXPECT_EQ(saved.history.released(), budget < 1000000000);
        ASSERT_EQ(SessionFile::save(file("saved").string(), saved.live, saved.segmentation,
                                    saved.history),
                  "");
        Session opened(3, 2);
        SessionFile::Loaded loaded = opened.load(file("saved"));
        ASSERT_TRUE(loaded.contents) << loaded.error;
        SessionFile::apply(*loaded.contents, opened.live, opened.segmentation, opened.history);
        EXPECT_TRUE(saved.same(opened)) << n;
        EXPECT_EQ(opened.history.budget().used(), saved.history.budget().used());
        // The opened history goes on as the saved one would.
        opened.history.stepBack();
        saved.history.stepBack();
        EXPECT_TRUE(saved.same(opened)) << n;
    }
}

TEST_F(SessionFileTest, RefusesWhatItCannotOpenWithTheReason) {
    Session saved(4, 3);
    ASSERT_EQ(
        SessionFile::save(file("saved").string(), saved.live, saved.segmentation, saved.history),
        "");
    const std::string good = bytesOf(file("saved"));
    std::string newer = good;
    newer[8] = 2;
    std::string stray = good + "x";
    const Session target(2, 1, HistoryBudget(0, 512));
    struct Case {
        std::string bytes;
        std::uint64_t free;
        const char* reason;
    };
    for (const Case& c : {Case{newer, 1ull << 40, "newer Amplex (format version 2)"},
                          {"AMPLEX", 1ull << 40, "not an Amplex session"},
                          {stray, 1ull << 40, "damaged or incomplete"},
                          {good, 1000, "more than the 0 MB this machine has free"}}) {
        write(file("bad"), c.bytes);
        const auto loaded = saved.load(file("bad"), c.free);
        EXPECT_FALSE(loaded.contents);
        EXPECT_NE(loaded.error.find(c.reason), std::string::npos) << loaded.error;
    }
    EXPECT_NE(target.load(file("saved")).error.find("the history may use here"), std::string::npos);
    EXPECT_NE(saved.load(file("missing")).error.find("No such file"), std::string::npos);
}

// Random bytes, every truncation and every flipped bit of a real file: never a crash, never a
// different session; only a flip that leaves the meaning alone may open, as the same session.
TEST_F(SessionFileTest, DamagedFilesAreRefusedAndLeaveTheSessionAlone) {
    Session saved(2, 3);
    ASSERT_EQ(
        SessionFile::save(file("saved").string(), saved.live, saved.segmentation, saved.history),
        "");
    const std::string good = bytesOf(file("saved"));
    Session current(3, 2);
    const Session before(3, 2);
    std::mt19937 gen(1);
    int opened = 0;
    auto attempt = [&](const std::string& bytes) {
        SessionFile::Loaded loaded = current.load(bytes);
        if (loaded.contents) {
            ++opened;
            Session check(3, 2);
            SessionFile::apply(*loaded.contents, check.live, check.segmentation, check.history);
            EXPECT_TRUE(saved.same(check));
        } else {
            EXPECT_FALSE(loaded.error.empty());
        }
    };
    for (std::size_t length = 0; length < good.size(); ++length) {
        attempt(good.substr(0, length));
    }
    for (std::size_t bit = 0; bit < good.size() * 8; ++bit) {
        std::string flipped = good;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << bit % 8));
        attempt(flipped);
    }
    for (int k = 0; k < 200; ++k) {
        std::string noise(gen() % 600, '\0');
        for (char& c : noise) {
            c = static_cast<char>(gen());
        }
        attempt(k % 2 ? noise : good.substr(0, 16) + noise); // past the header too
    }
    EXPECT_LE(opened, 8); // only flips the frame's own checks cannot see, e.g. its block size
    EXPECT_TRUE(before.same(current));
}

} // namespace

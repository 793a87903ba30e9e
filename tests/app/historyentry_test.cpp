#include "app/historyentry.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(HistoryEntry, StartsEmpty) {
    const HistoryEntry entry;
    EXPECT_EQ(entry.snapshot, nullptr);
    EXPECT_STREQ(entry.text, "");
}

TEST(HistoryEntry, SnapshotIsAnIndependentCopySharingTheSegmentation) {
    Segmentation seg;
    QRegister live;
    live.segmentation = &seg;
    ASSERT_TRUE(live.setQubitCount(3));
    live.amplitudes[5] = Complex(0.5, -0.25);

    HistoryEntry entry;
    ASSERT_TRUE(entry.record(live, "step one", 3));
    ASSERT_NE(entry.snapshot, nullptr);
    EXPECT_EQ(entry.snapshot->qubitCount, 3);
    EXPECT_EQ(entry.snapshot->segmentation, &seg);
    EXPECT_NE(entry.snapshot->amplitudes, live.amplitudes);
    EXPECT_STREQ(entry.text, "step one");
    EXPECT_EQ(entry.depth, 3);

    live.amplitudes[5] = 1.0;
    EXPECT_EQ(entry.snapshot->amplitudes[5].real, 0.5);
    EXPECT_EQ(entry.snapshot->amplitudes[5].imag, -0.25);

    // Recording again replaces the old snapshot (the leak check sees the old one go).
    ASSERT_TRUE(entry.record(live, nullptr, 0));
    EXPECT_EQ(entry.snapshot->amplitudes[5].real, 1.0);
    EXPECT_STREQ(entry.text, "");

    entry.release();
    EXPECT_EQ(entry.snapshot, nullptr);
    entry.release();
}

TEST(HistoryEntry, LongTextIsCutTo255Characters) {
    QRegister live;
    ASSERT_TRUE(live.setQubitCount(1));
    const std::string text(400, 'x');
    HistoryEntry entry;
    ASSERT_TRUE(entry.record(live, text.c_str(), 0));
    EXPECT_EQ(std::strlen(entry.text), 255u);
    EXPECT_EQ(std::string(entry.text), text.substr(0, 255));
}

} // namespace

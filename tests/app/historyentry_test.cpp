#include "app/historyentry.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HistoryEntry, RecordTakesAnIndependentSnapshotSharingTheSegmentation) {
    Segmentation seg;
    QRegister live;
    live.segmentation = &seg;
    ASSERT_TRUE(live.setQubitCount(3));
    live.amplitudes[5] = Complex(0.5, -0.25);
    HistoryEntry entry;
    ASSERT_TRUE(entry.record(live, "step one", 3));
    live.amplitudes[5] = 1.0;
    QRegister restored;
    ASSERT_TRUE(restored.setQubitCount(3));
    entry.restoreInto(restored);
    EXPECT_EQ(entry.segmentation, &seg);
    EXPECT_EQ(restored.amplitudes[5].imag, -0.25);
    EXPECT_STREQ(entry.text, "step one");
    EXPECT_EQ(entry.depth, 3);
    // Recording again replaces the old snapshot (the leak check sees the old one go).
    const std::string longText(400, 'x');
    ASSERT_TRUE(entry.record(live, longText.c_str(), 0));
    entry.restoreInto(restored);
    EXPECT_EQ(restored.amplitudes[5].real, 1.0);
    EXPECT_EQ(entry.text, longText.substr(0, 255));
    ASSERT_TRUE(entry.record(live, nullptr, 0));
    EXPECT_STREQ(entry.text, "");
}

} // namespace

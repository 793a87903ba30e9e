#include "app/helperthreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace {

TEST(HelperThreads, EveryTaskRunsOnceBeforeForEachReturns) {
    for (const int helpers : {0, 1, 3}) {
        HelperThreads threads(helpers);
        EXPECT_EQ(threads.helpers(), helpers);
        // Jobs one after the other reuse the same helpers.
        for (const std::uint64_t count : {0u, 1u, 2u, 257u, 3u}) {
            std::vector<std::atomic<int>> runs(count);
            threads.forEach(count, [&](std::uint64_t i) { ++runs[i]; });
            for (std::uint64_t i = 0; i < count; ++i) {
                EXPECT_EQ(runs[i].load(), 1)
                    << helpers << " helpers, task " << i << " of " << count;
            }
        }
    }
}

} // namespace

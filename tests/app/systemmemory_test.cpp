#include "app/historybudget.h"
#include "app/systemmemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

using Bytes = std::optional<std::uint64_t>;

TEST(SystemMemory, ReadsMemAvailableAndLimitFiles) {
    EXPECT_EQ(SystemMemory::memAvailable("MemTotal:       24576000 kB\n"
                                         "MemFree:         1000 kB\n"
                                         "MemAvailable:   23960840 kB\n"),
              Bytes(23960840ull * 1024));
    EXPECT_EQ(SystemMemory::memAvailable("MemTotal: 5 kB\nMemFree: 4 kB\n"), std::nullopt);
    EXPECT_EQ(SystemMemory::memAvailable("MemAvailable: lots kB\n"), std::nullopt);

    const std::pair<const char*, Bytes> limits[] = {
        {"2147483648\n", 2147483648ull},
        {"max\n", std::nullopt},
        {"9223372036854771712\n", std::nullopt}, // v1 without a limit
        {"", std::nullopt},
        {"12 MB", std::nullopt},
    };
    for (const auto& [text, bytes] : limits) {
        EXPECT_EQ(SystemMemory::byteCount(text), bytes) << text;
    }

    const std::pair<const char*, Bytes> sizes[] = {
        {"64", 64ull << 20},  {" 1 ", 1ull << 20},   {"0", std::nullopt},
        {"-5", std::nullopt}, {"1.5", std::nullopt}, {"99999999", std::nullopt},
    };
    for (const auto& [text, bytes] : sizes) {
        EXPECT_EQ(SystemMemory::megabytes(text), bytes) << text;
    }
    EXPECT_EQ(SystemMemory::megabytes(nullptr), std::nullopt);
}

TEST(SystemMemory, FindsTheMemoryCgroupOfEitherHierarchy) {
    struct Case {
        const char* procSelfCgroup;
        const char* path; // nullptr: none
        bool unified;
    };
    const Case cases[] = {
        {"0::/user.slice/app.scope\n", "/user.slice/app.scope", true},
        {"9:name=systemd:/\n4:memory:/process_api/ab\n0::/\n", "/process_api/ab", false},
        {"3:cpu,memory,blkio:/docker/x\n", "/docker/x", false},
        {"4:memoryx:/a\n2:cpu:/b\n", nullptr, false},
        {"", nullptr, false},
    };
    for (const Case& c : cases) {
        const auto found = SystemMemory::memoryCgroup(c.procSelfCgroup);
        ASSERT_EQ(found.has_value(), c.path != nullptr) << c.procSelfCgroup;
        if (found) {
            EXPECT_EQ(found->path, c.path);
            EXPECT_EQ(found->unified, c.unified);
        }
    }
}

TEST(HistoryBudget, AShareOfWhatIsLeftAfterTheRegisterOrAFixedSize) {
    HistoryBudget shared(1000, std::nullopt);
    EXPECT_EQ(shared.limit(), 500u);
    shared.fitTo(100); // the register and one gate's copy of it come off first
    EXPECT_EQ(shared.limit(), 400u);
    shared.fitTo(600);
    EXPECT_EQ(shared.limit(), 0u);
    EXPECT_FALSE(shared.reserve(1));

    HistoryBudget fixed(1000, 300);
    fixed.fitTo(600);
    EXPECT_TRUE(fixed.reserve(200));
    EXPECT_FALSE(fixed.reserve(101));
    EXPECT_TRUE(fixed.reserve(100));
    fixed.giveBack(250);
    EXPECT_EQ(fixed.used(), 50u);

    ::setenv(HistoryBudget::SizeVariable, "3", 1);
    EXPECT_EQ(HistoryBudget::atStartup().limit(), 3u << 20);
    ::unsetenv(HistoryBudget::SizeVariable);
    EXPECT_GT(HistoryBudget::atStartup().limit(), 0u); // this machine has memory to spare
}

} // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "platform/Clock.h"

namespace {

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { Clock::Set(std::nullopt); }
};

// FILETIME ticks of a date taken as UTC.
constexpr uint64_t kTicksPerSecond = 10000000ULL;

}   // namespace

TEST_F(ClockTest, SetTimeIsWhatNowReads) {
    const COleDateTime fixed(2004, 3, 7, 14, 5, 0);
    Clock::Set(fixed);
    EXPECT_TRUE(Clock::IsSet());
    EXPECT_EQ(Clock::LocalNow(), fixed);
    EXPECT_EQ(Clock::LocalNow(), fixed);   // a set clock does not run
}

TEST_F(ClockTest, AdvanceMovesTheSetTime) {
    Clock::Set(COleDateTime(2004, 3, 7, 23, 59, 30));
    Clock::AdvanceSeconds(45);
    EXPECT_EQ(Clock::LocalNow(), COleDateTime(2004, 3, 8, 0, 0, 15));
    Clock::AdvanceSeconds(-86400);
    EXPECT_EQ(Clock::LocalNow(), COleDateTime(2004, 3, 7, 0, 0, 15));
}

TEST_F(ClockTest, AdvanceAcrossTheEpochKeepsOleRules) {
    Clock::Set(COleDateTime(1899, 12, 30, 3, 0, 0));
    Clock::AdvanceSeconds(-9 * 3600.0);
    EXPECT_DOUBLE_EQ(Clock::LocalNow().m_dt, -1.75);   // 29 Dec 1899 18:00
}

TEST_F(ClockTest, AdvanceOnTheRealClockFixesIt) {
    const COleDateTime before = Clock::LocalNow();
    Clock::AdvanceSeconds(3600);
    EXPECT_TRUE(Clock::IsSet());
    const double hours = (Clock::LocalNow() - before).GetTotalHours();
    EXPECT_GT(hours, 0.99);
    EXPECT_LT(hours, 1.01);
    Clock::AdvanceSeconds(std::nan(""));   // ignored
    EXPECT_EQ(Clock::LocalNow().GetStatus(), COleDateTime::valid);
}

TEST_F(ClockTest, FileTimeFollowsTheSetTime) {
    Clock::Set(COleDateTime(1601, 1, 1, 0, 0, 0));
    EXPECT_EQ(Clock::UtcFileTimeNow(), 0u);
    Clock::Set(COleDateTime(1970, 1, 1, 0, 0, 0));
    EXPECT_EQ(Clock::UtcFileTimeNow(), 11644473600ULL * kTicksPerSecond);
    Clock::Set(COleDateTime(2004, 3, 7, 14, 5, 0));
    EXPECT_EQ(Clock::UtcFileTimeNow(), (11644473600ULL + 1078668300ULL) * kTicksPerSecond);
}

TEST_F(ClockTest, NotValidDateRestoresTheRealClock) {
    Clock::Set(COleDateTime(2004, 3, 7, 14, 5, 0));
    Clock::Set(COleDateTime(1e12));
    EXPECT_FALSE(Clock::IsSet());
}

TEST_F(ClockTest, RealClockMatchesTheSystem) {
    Clock::Set(std::nullopt);
    EXPECT_FALSE(Clock::IsSet());
    const uint64_t unixNow = static_cast<uint64_t>(std::time(nullptr));
    const uint64_t fileSeconds = Clock::UtcFileTimeNow() / kTicksPerSecond - 11644473600ULL;
    EXPECT_LE(fileSeconds > unixNow ? fileSeconds - unixNow : unixNow - fileSeconds, 2u);
    const COleDateTime now = Clock::LocalNow();
    EXPECT_EQ(now.GetStatus(), COleDateTime::valid);
    EXPECT_DOUBLE_EQ(now.m_dt, std::floor(now.m_dt * 86400 + 0.5) / 86400);   // whole seconds
}

TEST_F(ClockTest, LocalTimeHonoursTheZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const COleDateTime utc = Clock::LocalNow();
    setenv("TZ", "QMT-05:30", 1);   // five and a half hours east, no daylight saving
    tzset();
    const COleDateTime east = Clock::LocalNow();
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    EXPECT_NEAR((east - utc).GetTotalMinutes(), 330.0, 0.1);
}

TEST(TickCount, IsMonotonic) {
    const uint64_t first = GetTickCount64Ms();
    const uint64_t second = GetTickCount64Ms();
    EXPECT_LE(first, second);
}

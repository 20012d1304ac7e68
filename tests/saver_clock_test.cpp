#include "saver_clock.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <ctime>
#include <windows.h>
#endif

namespace {

TEST(DayNumber, CountsEveryMonthAs31Days) {
    EXPECT_EQ(DayNumber(2000, 1, 1), 32);
    EXPECT_EQ(DayNumber(2003, 1, 1), 1148);
    EXPECT_EQ(DayNumber(2024, 2, 1) - DayNumber(2024, 1, 31), 1);
    EXPECT_EQ(DayNumber(2025, 1, 1) - DayNumber(2024, 12, 31), 1);
    // A month of 30 days leaves a gap, which only equality tests never see.
    EXPECT_EQ(DayNumber(2024, 5, 1) - DayNumber(2024, 4, 30), 2);
    EXPECT_EQ(DayNumber(1999, 12, 31), 31);
}

TEST(ClockSeed, AddsOneToEveryFieldButTheDay) {
    EXPECT_EQ(ClockSeed(1, 0, 0, 0, 0), 1u);
    EXPECT_EQ(ClockSeed(15, 12, 30, 45, 500), 501u * 46u * 31u * 13u * 15u);
    EXPECT_EQ(ClockSeed(31, 23, 59, 59, 999), 2678400000u);
}

TEST(DisplayPeriod, ZeroTakesTheDefaultIntervalAndEveryOtherValueStays) {
    const uint32_t cases[][2] = {{0, 4000},    {1, 1},         {10, 10},
                                 {4000, 4000}, {60000, 60000}, {4294967295u, 4294967295u}};
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayPeriod(c[0]), c[1]) << c[0];
    }
}

#ifdef _WIN32
// The current day from the system clock, against the C library's own reading of UTC.
int32_t CRuntimeDayNumber() {
    time_t now = time(nullptr);
    tm utc = *gmtime(&now);
    return DayNumber(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday);
}

TEST(DayNumber, TodayIsTheCurrentUtcDate) {
    int32_t before = CRuntimeDayNumber();
    int32_t today = DayNumber();
    int32_t after = CRuntimeDayNumber();
    // Right at midnight UTC the readings may fall on either side.
    EXPECT_TRUE(today == before || today == after) << today << " vs " << before;
}
#endif

} // namespace

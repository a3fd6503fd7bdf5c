#include "render/number_format.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(NumberFormat, TimesGapsAndRecords)
{
    EXPECT_EQ(formatLapTime(1234), "12.34s");
    EXPECT_EQ(formatLapTime(507), " 5.07s");
    EXPECT_EQ(formatTime(507), "5.07s");
    EXPECT_EQ(formatLapTime(12345), "23.45s");  // seconds are shown modulo 100
    EXPECT_EQ(formatGap(1), "+0.01s");
    EXPECT_EQ(formatGap(9999), "+99.99s");
    EXPECT_EQ(formatGap(10000), "+1:40.00");  // no hundreds of seconds dropped
    EXPECT_EQ(formatGap(11230), "+1:52.30");
    EXPECT_EQ(formatTrackRecord(4321), "TR: 43.21s");
    EXPECT_EQ(formatTime(-5), "0.00s");
}

TEST(NumberFormat, LapsBehindSpeedDistanceAndCounters)
{
    EXPECT_EQ(formatLapsBehind(1), "-1 lap");
    EXPECT_EQ(formatLapsBehind(2), "-2 laps");
    EXPECT_EQ(formatLapsBehind(1, "Runde", "Runden"), "-1 Runde");
    // 3 laps of 1000 m in 90.00 s: 120 km/h.
    EXPECT_EQ(formatAverageSpeed(3, 1000, 9000), "120.00 kph");
    // 1 lap of 777 m in 33.33 s: 83.9244 km/h, rounded to 83.92.
    EXPECT_EQ(formatAverageSpeed(1, 777, 3333), " 83.92 kph");
    EXPECT_EQ(formatAverageSpeed(5, 1000, 0), "  0.00 kph");  // no time yet: no division
    EXPECT_EQ(formatDistance(12345), "12.345 km");
    EXPECT_EQ(formatDistance(1005), "1.005 km");
    EXPECT_EQ(formatPoints(17), "17 p");
    EXPECT_EQ(formatRank(0), "TR");
    EXPECT_EQ(formatRank(3), "3.");
    EXPECT_EQ(formatCounter(2, 5), "2/5");
    EXPECT_EQ(formatTrackLength(1234), "1234 m");
}

TEST(NumberFormat, RaceClockGrowsAnHourField)
{
    EXPECT_EQ(formatRaceClock(6500), "  1:05");
    EXPECT_EQ(formatRaceClock(359999), " 59:59");
    EXPECT_EQ(formatRaceClock(360000), " 1:00:00");
    EXPECT_EQ(formatRaceClock(45296 * 100), "12:34:56");
}

TEST(NumberFormat, TotalTimesKeepEveryMinuteAndHour)
{
    EXPECT_EQ(formatTotalTime(18345), "3:03.45");
    EXPECT_EQ(formatTotalTime(4507), "0:45.07");
    EXPECT_EQ(formatTotalTime(359999), "59:59.99");
    EXPECT_EQ(formatTotalTime(372345), "1:02:03.45");
    EXPECT_EQ(formatTotalTime(-1), "0:00.00");
    EXPECT_EQ(formatTotalTime(INT32_MAX), "5965:13:56.47");  // no overflow in the fields
}

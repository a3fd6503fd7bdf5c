#include "composed_files.h"
#include "lap_analysis.h"

#include <gtest/gtest.h>

static std::vector<PathPoint> pathOf(const std::vector<ComposedFrame>& frames)
{
    std::vector<PathPoint> path;
    for (const ComposedFrame& f : frames) path.push_back(PathPoint{f.x, f.z});
    return path;
}

static TrackInfo trackOf(const ComposedTrack& t)
{
    std::vector<uint8_t> bytes = composeTrack(t);
    TrackInfo info;
    std::string why;
    EXPECT_TRUE(readTrack(bytes.data(), bytes.size(), info, why)) << why;
    return info;
}

// A path that stays near the finish line's middle and crosses it at the given frames.
static std::vector<PathPoint> crossingsAt(const ComposedTrack& t, const std::vector<int>& frames, int total)
{
    float cellToStored = t.sizeByte * 150.0f / 512;
    std::vector<PathPoint> path;
    size_t next = 0;
    bool beyond = false;
    for (int i = 0; i < total; ++i) {
        if (next < frames.size() && frames[next] == i) beyond = !beyond, ++next;
        float z = beyond ? 248 : 252;
        path.push_back(PathPoint{uint16_t(70 * cellToStored), uint16_t(z * cellToStored)});
    }
    return path;
}

TEST(LapAnalysis, LapsAreCutAtEachCrossingAfterTheFirst)
{
    ComposedTrack t;
    TrackInfo track = trackOf(t);
    LapAnalysis a = analyseLaps(pathOf(squareLaps(t, 3, 400, 50)), track);
    EXPECT_EQ(a.firstCrossing, 50);
    ASSERT_EQ(a.laps.size(), 3u);
    for (const Lap& lap : a.laps) EXPECT_EQ(lap.hundredths, 2000);  // 400 frames at 20 a second
    EXPECT_EQ(a.laps[1].firstFrame, 450);
    EXPECT_EQ(a.laps[1].lastFrame, 850);
    // Map pixels are cells: the first frame past the line lies 6.5 cells up the left side.
    EXPECT_NEAR(a.points[50].x, 60, 0.05);
    EXPECT_NEAR(a.points[50].y, 249.5, 0.05);
}

TEST(LapAnalysis, FastestIsBelowAMinuteAndTheFirstCrossingAloneGivesNoLaps)
{
    ComposedTrack t;
    TrackInfo track = trackOf(t);
    // Laps of 60.00, 75.00 and 20.50 s.
    LapAnalysis a = analyseLaps(crossingsAt(t, {10, 1210, 2710, 3120}, 3200), track);
    ASSERT_EQ(a.laps.size(), 3u);
    EXPECT_EQ(a.laps[0].hundredths, 6000);
    EXPECT_EQ(a.laps[1].hundredths, 7500);
    EXPECT_EQ(a.laps[2].hundredths, 2050);
    EXPECT_EQ(a.fastest, 2);
    EXPECT_EQ(a.slowest, 1);

    a = analyseLaps(crossingsAt(t, {10, 1210}, 1300), track);
    ASSERT_EQ(a.laps.size(), 1u);
    EXPECT_EQ(a.fastest, -1);  // a lap of a minute is the empty time
    EXPECT_EQ(a.slowest, 0);

    a = analyseLaps(crossingsAt(t, {10}, 500), track);
    EXPECT_EQ(a.firstCrossing, 10);
    EXPECT_TRUE(a.laps.empty());
    EXPECT_EQ(a.fastest, -1);
}

TEST(LapAnalysis, PassingBesideTheLineOrWithoutOneCutsNothing)
{
    ComposedTrack t;
    TrackInfo track = trackOf(t);
    float cellToStored = t.sizeByte * 150.0f / 512;
    std::vector<PathPoint> beside;
    for (int i = 0; i < 100; ++i)
        beside.push_back(PathPoint{uint16_t(200 * cellToStored), uint16_t((i % 2 ? 240 : 260) * cellToStored)});
    EXPECT_TRUE(analyseLaps(beside, track).laps.empty());

    track.hasFinish = false;
    LapAnalysis a = analyseLaps(pathOf(squareLaps(t, 2, 100, 5)), track);
    EXPECT_TRUE(a.laps.empty());
    EXPECT_EQ(a.points.size(), 206u);
    track.sizeByte = 0;
    EXPECT_TRUE(analyseLaps(pathOf(squareLaps(t, 2, 100, 5)), track).points.empty());
}

TEST(LapAnalysis, AverageSpeedIsRoundedToHundredthsOfKilometresAnHour)
{
    EXPECT_EQ(averageSpeedText(1, 1000, 2000), "180.00 kmh");  // 1 km in 20 s
    EXPECT_EQ(averageSpeedText(1, 1001, 3000), "120.12 kmh");
    EXPECT_EQ(averageSpeedText(1, 1234, 2777), "159.97 kmh");  // 159.971...
    EXPECT_EQ(averageSpeedText(3, 1234, 2777), "479.91 kmh");  // 479.913...
    EXPECT_EQ(averageSpeedText(2, 500, 0), "0 kmh");
    EXPECT_EQ(averageSpeedText(2, 500, -5), "0 kmh");
    EXPECT_EQ(averageSpeedText(65535, 0xFFFFFFFFu, 1).empty(), false);
    EXPECT_EQ(hundredthsText(2345), "23.45");
    EXPECT_EQ(hundredthsText(7), "0.07");
    EXPECT_EQ(hundredthsText(-150), "-1.50");
    EXPECT_EQ(hundredthsText(INT32_MIN), "-21474836.48");
}

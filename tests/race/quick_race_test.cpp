#include "race/quick_race.h"

#include <gtest/gtest.h>

TEST(QuickRace, ComputerSkillsSpreadOverNinetyToOneHundredTen)
{
    EXPECT_EQ(spreadSkills(5), (std::vector<int>{90, 95, 100, 105, 110}));
    EXPECT_EQ(spreadSkills(1), (std::vector<int>{100}));
    EXPECT_EQ(spreadSkills(2), (std::vector<int>{90, 110}));
    EXPECT_EQ(spreadSkills(3), (std::vector<int>{90, 100, 110}));
    EXPECT_TRUE(spreadSkills(0).empty());
}

TEST(QuickRace, TrackNamesBecomeLoaderEntries)
{
    EXPECT_EQ(trackEntryFor("gp"), "\\gp");
    EXPECT_EQ(trackEntryFor("rally/Forest.trk"), "\\rally\\Forest");
    EXPECT_EQ(trackEntryFor("\\rally\\forest"), "\\rally\\forest");
    EXPECT_EQ(trackEntryFor("SNOW.TRK"), "\\SNOW");
}

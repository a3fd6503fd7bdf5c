// comp_zipper.prf.
#include "compose.h"
#include "zipper_profile.h"

TEST(Profile, MissingKeysKeepTheirDefaults)
{
    ZipperProfile p = parseProfile("");
    EXPECT_TRUE(p.track && p.game && p.screen && p.jpg);
    EXPECT_EQ(p.text, "");
    EXPECT_EQ(p.textPos, 0);
    EXPECT_EQ(p.trackName, 1);
    EXPECT_EQ(p.driverName, 2);
    EXPECT_EQ(p.timeKmh, 3);

    ZipperProfile missing = loadProfile("/nonexistent/comp_zipper.prf");
    EXPECT_EQ(missing.timeKmh, 3);
    EXPECT_TRUE(missing.jpg);
}

TEST(Profile, ReadsEveryKeyAndSkipsWhatIsNotANumber)
{
    ZipperProfile p = parseProfile(
        "Track = 0\r\nGame=0\r\n  screen = 0  \r\nbmp/jpg = 0\r\ntext = Cup 3 = final\r\nTextPos = 1\n"
        "trackname = 4\ndrivername = 0\ntime/kmh = 2\n; a comment = 5\nnot a line\n");
    EXPECT_FALSE(p.track || p.game || p.screen || p.jpg);
    EXPECT_EQ(p.text, "Cup 3 = final");
    EXPECT_EQ(p.textPos, 1);
    EXPECT_EQ(p.trackName, 4);
    EXPECT_EQ(p.driverName, 0);
    EXPECT_EQ(p.timeKmh, 2);

    ZipperProfile bad = parseProfile("Track = yes\ntrackname = 3x\ndrivername = 99999999999\ntime/kmh =\n");
    EXPECT_TRUE(bad.track);
    EXPECT_EQ(bad.trackName, 1);
    EXPECT_EQ(bad.driverName, 2);
    EXPECT_EQ(bad.timeKmh, 3);
}

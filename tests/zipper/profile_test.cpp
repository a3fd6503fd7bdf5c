// comp_zipper.prf.
#include "compose.h"
#include "zipper_profile.h"

#include <cstdio>

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

TEST(Profile, TheShippedFileHoldsTheDefaults)
{
    ZipperProfile shipped = loadProfile(TM_ZIPPER_PROFILE);
    ZipperProfile defaults;
    EXPECT_EQ(shipped.track, defaults.track);
    EXPECT_EQ(shipped.game, defaults.game);
    EXPECT_EQ(shipped.screen, defaults.screen);
    EXPECT_EQ(shipped.jpg, defaults.jpg);
    EXPECT_EQ(shipped.text, defaults.text);
    EXPECT_EQ(shipped.textPos, defaults.textPos);
    EXPECT_EQ(shipped.trackName, defaults.trackName);
    EXPECT_EQ(shipped.driverName, defaults.driverName);
    EXPECT_EQ(shipped.timeKmh, defaults.timeKmh);
    // Changing one line changes that value: the file is read, not ignored.
    std::FILE* f = std::fopen(TM_ZIPPER_PROFILE, "rb");
    ASSERT_NE(f, nullptr);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fclose(f);
    size_t at = text.find("time/kmh = 3");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 12, "time/kmh = 0");
    EXPECT_EQ(parseProfile(text).timeKmh, 0);
}

// The values taken from saved games and track files, and files that try to lead the reader
// outside what it read.
#include "compose.h"
#include "zipper_game.h"

#include <algorithm>

TEST(SavedGameValues, TakesTheFirstDriverTheCurrentTrackAndTheFirstCarsTime)
{
    SaveSpec spec;
    spec.raceLength = 12;
    spec.distanceUnit = 1;
    Bytes b = composeSave(spec);
    SavedGameValues v;
    std::string problem;
    ASSERT_TRUE(readSavedGameValues(b.data(), b.size(), v, problem)) << problem;
    EXPECT_EQ(v.version, 0x0110);
    EXPECT_EQ(v.driverName, "Anna");
    EXPECT_EQ(v.trackEntry, "\\rally\\forest");
    EXPECT_EQ(v.raceTime, 8345);
    EXPECT_EQ(v.raceLength, 12);
    EXPECT_EQ(v.distanceUnit, 1);
    EXPECT_EQ(v.carCount, 2);
    EXPECT_EQ(v.raceLaps, 3);

    spec.drivers = {"Solo"};
    spec.tracks = {"\\oval"};
    spec.race = 0;
    b = composeSave(spec);
    ASSERT_TRUE(readSavedGameValues(b.data(), b.size(), v, problem)) << problem;
    EXPECT_EQ(v.trackEntry, "\\oval");
    EXPECT_EQ(v.carCount, 1);
}

TEST(SavedGameValues, OldFilesHaveLongTrackNamesWithoutChecksums)
{
    SaveSpec spec;
    spec.version = 0x0102;
    std::string longName = "\\" + std::string(50, 'x');
    spec.tracks = {"\\oval", longName};
    Bytes b = composeSave(spec);
    SavedGameValues v;
    std::string problem;
    ASSERT_TRUE(readSavedGameValues(b.data(), b.size(), v, problem)) << problem;
    EXPECT_EQ(v.trackEntry, longName);
    EXPECT_EQ(v.raceTime, 8345);

    // A new file's name field ends after 39 characters, before the checksum.
    spec.version = 0x0110;
    spec.tracks = {"\\oval", "\\" + std::string(39, 'y')};
    b = composeSave(spec);
    ASSERT_TRUE(readSavedGameValues(b.data(), b.size(), v, problem));
    EXPECT_EQ(v.trackEntry, "\\" + std::string(38, 'y'));
}

TEST(SavedGameValues, NamesWithoutTheirZeroStopAtTheField)
{
    SaveSpec spec;
    spec.drivers = {"ABCDEFGHIJKLM", "Bert"};  // 13 bytes, no zero
    Bytes b = composeSave(spec);
    SavedGameValues v;
    std::string problem;
    ASSERT_TRUE(readSavedGameValues(b.data(), b.size(), v, problem));
    EXPECT_EQ(v.driverName, "ABCDEFGHIJKL");
}

TEST(SavedGameValues, RefusesWhatTheGameCouldNotLoad)
{
    SavedGameValues v;
    std::string problem;
    SaveSpec newer;
    newer.version = 0x0111;
    Bytes b = composeSave(newer);
    EXPECT_FALSE(readSavedGameValues(b.data(), b.size(), v, problem));
    EXPECT_FALSE(problem.empty());

    for (uint32_t cars : {0u, 7u, 0xFFFFFFFFu}) {
        b = composeSave(SaveSpec());
        putU32(b, 78, cars);
        EXPECT_FALSE(readSavedGameValues(b.data(), b.size(), v, problem)) << cars;
    }
    // The current race beyond the season, and a season longer than the file.
    SaveSpec spec;
    b = composeSave(spec);
    size_t season = 82 + 2 * (13 + 92 + 1344);
    putU32(b, season + 4, 3);
    EXPECT_FALSE(readSavedGameValues(b.data(), b.size(), v, problem));
    b = composeSave(spec);
    putU32(b, season, 0x7FFFFFFF);
    putU32(b, season + 4, 0x7FFFFFF0);
    EXPECT_FALSE(readSavedGameValues(b.data(), b.size(), v, problem));
}

TEST(SavedGameValues, EveryShortenedFileIsRefusedWithoutReadingPastIt)
{
    SaveSpec spec;
    Bytes whole = composeSave(spec);
    size_t needed = carStatesAt(spec) + 20;
    SavedGameValues v;
    std::string problem;
    for (size_t size = 0; size < whole.size(); size++) {
        // A copy of exactly size bytes, so the sanitizer sees any read past it.
        Bytes cut(whole.begin(), whole.begin() + long(size));
        v = SavedGameValues();
        bool ok = readSavedGameValues(cut.data(), cut.size(), v, problem);
        EXPECT_EQ(ok, size >= needed) << size;
        EXPECT_EQ(v.raceLaps, size >= carStatesAt(spec) + 2 * (348 + 8) + 4 ? 3 : 0) << size;
    }
}

TEST(TrackValues, TheLapRecordAndLapLengthFollowTheVersion)
{
    TrackSpec spec;
    Bytes b = composeTrack(spec);
    TrackValues v;
    std::string problem;
    ASSERT_TRUE(readTrackValues(b.data(), b.size(), v, problem)) << problem;
    EXPECT_EQ(v.version, 0x0110);
    EXPECT_EQ(v.bodyEnd, 6000u);
    EXPECT_EQ(v.lapLength, 1250u);
    EXPECT_TRUE(v.hasRecord);
    EXPECT_EQ(v.recordTime, 2345);
    EXPECT_EQ(v.recordHolder, "Carla");

    // Before 0x102 the lap length is a u16 just before the records.
    spec.version = 0x101;
    spec.lapLength = 777;
    b = composeTrack(spec);
    putU16(b, spec.bodyEnd - 4, 0xFFFF);  // the info marker, not the length
    ASSERT_TRUE(readTrackValues(b.data(), b.size(), v, problem));
    EXPECT_EQ(v.lapLength, 777u);

    // Without the magic the file starts with bodyEnd and counts as 0x100.
    spec.magic = false;
    spec.version = 0x100;
    spec.holder = "ABCDEFGHIJKLMNOP";
    b = composeTrack(spec);
    ASSERT_TRUE(readTrackValues(b.data(), b.size(), v, problem));
    EXPECT_EQ(v.version, 0x100);
    EXPECT_EQ(v.bodyEnd, 6000u);
    EXPECT_EQ(v.lapLength, 777u);
    EXPECT_EQ(v.recordHolder, "ABCDEFGHIJKL");
}

TEST(TrackValues, OffsetsBeyondAShortFileGiveNoValues)
{
    TrackSpec spec;
    Bytes whole = composeTrack(spec);
    TrackValues v;
    std::string problem;
    for (size_t size : {size_t(3), size_t(7), size_t(8), size_t(5999), size_t(6000), size_t(6013), size_t(6026),
                        size_t(6027)}) {
        Bytes cut(whole.begin(), whole.begin() + long(size));
        v = TrackValues();
        bool ok = readTrackValues(cut.data(), cut.size(), v, problem);
        EXPECT_EQ(ok, size >= 8) << size;
        EXPECT_EQ(v.lapLength, size >= 6000 ? 1250u : 0u) << size;
        EXPECT_EQ(v.hasRecord, size >= 6027) << size;
    }
    // bodyEnd near the top of the u32 range, and below the lap length field.
    for (uint32_t bodyEnd : {0xFFFFFFFFu, 0xFFFFFFFEu, 3u, 0u}) {
        Bytes b = whole;
        putU32(b, 4, bodyEnd);
        ASSERT_TRUE(readTrackValues(b.data(), b.size(), v, problem));
        EXPECT_EQ(v.hasRecord, bodyEnd < 4) << bodyEnd;
        EXPECT_EQ(v.lapLength, 0u) << bodyEnd;
    }

    spec.version = 0x111;
    Bytes newer = composeTrack(spec);
    EXPECT_FALSE(readTrackValues(newer.data(), newer.size(), v, problem));
}

TEST(TrackValues, TheBodyChecksumLeavesOutTheLapLengthAndTheRecords)
{
    TrackSpec spec;
    Bytes b = composeTrack(spec);
    uint32_t sums[4], other[4];
    ASSERT_TRUE(trackBodyChecksum(b.data(), b.size(), sums));
    EXPECT_NE(sums[0], 1u);
    putU32(b, spec.bodyEnd - 4, 99);  // the lap length
    putU16(b, spec.bodyEnd, 1234);    // the lap record
    ASSERT_TRUE(trackBodyChecksum(b.data(), b.size(), other));
    EXPECT_TRUE(std::equal(sums, sums + 4, other));
    b[100] ^= 1;
    ASSERT_TRUE(trackBodyChecksum(b.data(), b.size(), other));
    EXPECT_FALSE(std::equal(sums, sums + 4, other));
    // Before 0x102 the lap length is two bytes, so two more bytes count.
    spec.version = 0x101;
    Bytes old = composeTrack(spec);
    putU16(old, spec.bodyEnd - 4, 0x55);
    ASSERT_TRUE(trackBodyChecksum(old.data(), old.size(), other));
    putU16(old, spec.bodyEnd - 4, 0x56);
    uint32_t changed[4];
    ASSERT_TRUE(trackBodyChecksum(old.data(), old.size(), changed));
    EXPECT_FALSE(std::equal(other, other + 4, changed));

    Bytes cut(b.begin(), b.begin() + spec.bodyEnd - 5);
    EXPECT_FALSE(trackBodyChecksum(cut.data(), cut.size(), other));
    putU32(b, 4, 2);
    EXPECT_FALSE(trackBodyChecksum(b.data(), b.size(), other));
}

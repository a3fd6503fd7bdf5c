// A whole competition entry: what is found, the archive name, and the archive itself.
#include "compose.h"
#include "zipper_entry.h"
#include "zipper_picture.h"

#include <dirent.h>
#include <unzip.h>

struct Member {
    std::string name;
    Bytes data;
    tm_unz date;
};

// Every member of an archive, read back through minizip's reader.
static bool readArchive(const std::string& path, std::vector<Member>& members)
{
    members.clear();
    unzFile zip = unzOpen64(path.c_str());
    if (!zip) return false;
    bool ok = true;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        char name[512];
        unz_file_info64 info;
        ok = ok && unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK;
        ok = ok && info.compression_method == 8 && unzOpenCurrentFile(zip) == UNZ_OK;
        if (!ok) break;
        Member m{name, Bytes(info.uncompressed_size), info.tmu_date};
        ok = unzReadCurrentFile(zip, m.data.data(), unsigned(m.data.size())) == int(m.data.size());
        ok = (unzCloseCurrentFile(zip) == UNZ_OK) && ok;  // checks the CRC
        members.push_back(m);
    }
    unzClose(zip);
    return ok;
}

class Entry : public TempFolder {
protected:
    Bytes save, track, shot;

    void SetUp() override
    {
        TempFolder::SetUp();
        save = composeSave(SaveSpec());
        track = composeTrack(TrackSpec());
        shot = composeBmp(40, 30, 8);
        put("saves/Autosave.gam", "old");
        put("saves/cup.gam", save);
        put("saves/Autosave.gam", "newer, but the autosave");
        put("screens/shot0000.bmp", composeBmp(8, 8, 24));
        put("screens/shot0001.bmp", shot);
        put("tracks/rally/forest.trk", track);
        put("tracks/oval.trk", "other");
        std::filesystem::create_directories(path("zip"));
        age("saves/cup.gam", 1700000000);
        age("saves/Autosave.gam", 1700000100);
        age("screens/shot0000.bmp", 1600000000);
        age("screens/shot0001.bmp", 1700000050);
        age("tracks/rally/forest.trk", 1500000000);
    }

    // Names in the folder zip, temporary ones included.
    std::vector<std::string> zipFolder()
    {
        std::vector<std::string> names;
        for (auto& e : std::filesystem::directory_iterator(path("zip"))) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Entry, FindsTheSaveItsTrackAndTheNewestScreenshot)
{
    CompetitionEntry e;
    ASSERT_TRUE(gatherEntry(dir, e));
    ASSERT_TRUE(e.hasGame && e.gameReadable) << e.gameProblem;
    EXPECT_EQ(e.gameShown, "saves\\cup.gam");
    EXPECT_EQ(e.gameData, save);
    ASSERT_TRUE(e.hasScreen);
    EXPECT_EQ(e.screenShown, "screens\\shot0001.bmp");
    EXPECT_EQ(e.screenData, shot);
    ASSERT_TRUE(e.hasTrack) << e.trackProblem;
    EXPECT_EQ(e.trackShown, "Tracks\\rally\\forest.trk");
    EXPECT_EQ(e.trackData, track);
    EXPECT_EQ(e.trackValues.lapLength, 1250u);

    // 3 laps of 1250 m in 83.45 s.
    EXPECT_EQ(averageSpeed(e), 162);
    EXPECT_EQ(suggestedArchiveName(ZipperProfile(), e), "forest_Anna_1-23-45_162kmh");

    std::filesystem::remove_all(path("saves"));
    EXPECT_FALSE(gatherEntry(dir, e));
}

TEST_F(Entry, TheNameFollowsTheOrderValues)
{
    CompetitionEntry e;
    ASSERT_TRUE(gatherEntry(dir, e));
    ZipperProfile p;
    p.trackName = 3;
    p.driverName = 0;
    p.timeKmh = 1;
    p.text = "Cup: round 2/5";
    p.textPos = 2;
    EXPECT_EQ(suggestedArchiveName(p, e), "1-23-45_162kmh_Cup_ round 2_5_forest");
    p.trackName = p.timeKmh = p.textPos = -1;
    EXPECT_EQ(suggestedArchiveName(p, e), "Zip");

    // The laps the race runs over give its distance, whatever the options' race length says;
    // without them kilometres count as they are. A race without a time has no speed.
    SaveSpec spec;
    spec.raceLaps = 4;
    spec.drivers = {"Dan/..\\x"};
    put("saves/cup.gam", composeSave(spec));
    age("saves/Autosave.gam", 1);
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_EQ(averageSpeed(e), 216);
    spec.raceLaps = 0;
    spec.distanceUnit = 1;
    spec.raceLength = 5;
    put("saves/cup.gam", composeSave(spec));
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_EQ(averageSpeed(e), 216);
    EXPECT_EQ(suggestedArchiveName(ZipperProfile(), e), "forest_Dan_.._x_1-23-45_216kmh");
    spec.firstCarCrossing = 0;
    put("saves/cup.gam", composeSave(spec));
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_EQ(averageSpeed(e), 0);
    EXPECT_EQ(suggestedArchiveName(ZipperProfile(), e), "forest_Dan_.._x_0-00-00");
    spec.firstCarCrossing = 1;  // 5 km in a hundredth of a second
    put("saves/cup.gam", composeSave(spec));
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_EQ(averageSpeed(e), 0);

    // Saved after 2 of 3 laps: the time is the first car's, over the laps it drove.
    spec = SaveSpec{};
    spec.firstCarLaps = 2;
    put("saves/cup.gam", composeSave(spec));
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_EQ(averageSpeed(e), 108);  // 2500 m in 83.45 s
}

TEST_F(Entry, TheArchiveHoldsTheTickedFilesUnchanged)
{
    CompetitionEntry e;
    ASSERT_TRUE(gatherEntry(dir, e));
    PackChoice bmp;
    bmp.jpg = false;
    ASSERT_EQ(makeArchive(dir, e, bmp, "entry", false), MakeResult::Made);
    std::vector<Member> m;
    ASSERT_TRUE(readArchive(path("zip/entry.zip"), m));
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].name, "entry.bmp");
    EXPECT_EQ(m[0].data, shot);
    EXPECT_EQ(m[1].name, "entry.gam");
    EXPECT_EQ(m[1].data, save);
    EXPECT_EQ(m[2].name, "forest.trk");
    EXPECT_EQ(m[2].data, track);
    // Each member carries its file's modification time.
    time_t when = 1500000000;
    struct tm local;
    localtime_r(&when, &local);
    EXPECT_EQ(int(m[2].date.tm_year), local.tm_year + 1900);
    EXPECT_EQ(int(m[2].date.tm_mon), local.tm_mon);
    EXPECT_EQ(int(m[2].date.tm_mday), local.tm_mday);
    EXPECT_EQ(int(m[2].date.tm_hour), local.tm_hour);
    EXPECT_EQ(int(m[2].date.tm_min), local.tm_min);
    EXPECT_EQ(zipFolder(), std::vector<std::string>{"entry.zip"});  // no copies left behind

    // Converted: the same picture at its own size, not the preview's.
    PackChoice jpg;
    jpg.game = jpg.track = false;
    ASSERT_EQ(makeArchive(dir, e, jpg, "shot", false), MakeResult::Made);
    ASSERT_TRUE(readArchive(path("zip/shot.zip"), m));
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].name, "shot.jpg");
    ASSERT_GT(m[0].data.size(), 2u);
    EXPECT_EQ(m[0].data[0], 0xFF);
    EXPECT_EQ(m[0].data[1], 0xD8);

    PackChoice none{false, false, false, false};
    ASSERT_EQ(makeArchive(dir, e, none, "empty", false), MakeResult::Made);
    // minizip's reader refuses an archive without members; it is the bare end record.
    Bytes end(22, 0);
    putU32(end, 0, 0x06054b50);
    EXPECT_EQ(get("zip/empty.zip"), end);
}

TEST_F(Entry, AnExistingArchiveIsReplacedOnlyWhenAsked)
{
    CompetitionEntry e;
    ASSERT_TRUE(gatherEntry(dir, e));
    put("zip/entry.zip", "keep me");
    EXPECT_EQ(makeArchive(dir, e, PackChoice(), "entry", false), MakeResult::Exists);
    EXPECT_EQ(get("zip/entry.zip"), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    ASSERT_EQ(makeArchive(dir, e, PackChoice(), "entry", true), MakeResult::Made);
    std::vector<Member> m;
    ASSERT_TRUE(readArchive(path("zip/entry.zip"), m));
    EXPECT_EQ(m.size(), 3u);
    // A file of the user's with a member's name is never touched.
    put("zip/other.gam", "mine");
    ASSERT_EQ(makeArchive(dir, e, PackChoice(), "other", false), MakeResult::Made);
    EXPECT_EQ(get("zip/other.gam"), Bytes({'m', 'i', 'n', 'e'}));
}

TEST_F(Entry, FailuresLeaveNoArchiveBehind)
{
    CompetitionEntry e;
    ASSERT_TRUE(gatherEntry(dir, e));
    for (const char* name : {"", ".", "..", "../out", "a\\b", "a:b", "x\ny", "sub/entry"}) {
        EXPECT_EQ(makeArchive(dir, e, PackChoice(), name, true), MakeResult::BadName) << name;
    }
    // The archive's name taken by a folder: the rename fails after the writing.
    std::filesystem::create_directories(path("zip/taken.zip/inside"));
    EXPECT_EQ(makeArchive(dir, e, PackChoice(), "taken", true), MakeResult::WriteFailed);
    EXPECT_EQ(zipFolder(), std::vector<std::string>{"taken.zip"});

    // A screenshot that is no bitmap can be packed as it is, not converted.
    put("screens/shot0001.bmp", "not a picture");
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_EQ(makeArchive(dir, e, PackChoice(), "broken", false), MakeResult::BadScreen);
    PackChoice bmp;
    bmp.jpg = false;
    EXPECT_EQ(makeArchive(dir, e, bmp, "broken", false), MakeResult::Made);

    std::filesystem::remove_all(path("zip"));
    EXPECT_EQ(makeArchive(dir, e, PackChoice(), "entry", false), MakeResult::NoZipFolder);
    EXPECT_FALSE(std::filesystem::exists(path("zip")));
}

TEST_F(Entry, OnlyWhatIsTickedMustBeThere)
{
    std::filesystem::remove_all(path("screens"));
    std::filesystem::remove(path("tracks/rally/forest.trk"));
    CompetitionEntry e;
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_FALSE(e.hasScreen);
    EXPECT_FALSE(e.hasTrack);
    EXPECT_EQ(e.trackShown, "Tracks\\rally\\forest.trk");
    EXPECT_EQ(makeArchive(dir, e, PackChoice(), "entry", false), MakeResult::NoScreen);
    PackChoice gameAndTrack;
    gameAndTrack.screen = false;
    EXPECT_EQ(makeArchive(dir, e, gameAndTrack, "entry", false), MakeResult::NoTrack);
    PackChoice gameOnly{false, true, false, false};
    EXPECT_EQ(makeArchive(dir, e, gameOnly, "entry", false), MakeResult::Made);

    // A track moved into a track folder is found by its body, as the game finds it.
    SaveSpec moved;
    moved.tracks = {"\\oval", "\\forest"};
    ASSERT_TRUE(trackBodyChecksum(track.data(), track.size(), moved.checksum));
    put("tracks/b/forest.trk", composeTrack(TrackSpec{0x110, true, 7000, 1, 2, "x"}));
    put("tracks/c/forest.trk", track);
    put("saves/cup.gam", composeSave(moved));
    ASSERT_TRUE(gatherEntry(dir, e));
    ASSERT_TRUE(e.hasTrack) << e.trackProblem;
    EXPECT_EQ(e.trackShown, "Tracks\\c\\forest.trk");
    EXPECT_EQ(e.trackData, track);
    moved.checksum[3]++;
    put("saves/cup.gam", composeSave(moved));
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_FALSE(e.hasTrack);
    EXPECT_EQ(e.trackShown, "Tracks\\forest.trk");

    // A save that names a track outside Tracks gets no track at all.
    SaveSpec spec;
    spec.tracks = {"\\oval", "\\..\\saves\\cup"};
    put("saves/cup.gam", composeSave(spec));
    put("saves/cup.trk", "not for packing");
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_FALSE(e.hasTrack);
    EXPECT_TRUE(e.trackData.empty());
    EXPECT_EQ(makeArchive(dir, e, gameAndTrack, "outside", false), MakeResult::NoTrack);

    // A broken save packs as a file but names no track.
    put("saves/cup.gam", "broken");
    ASSERT_TRUE(gatherEntry(dir, e));
    EXPECT_TRUE(e.hasGame);
    EXPECT_FALSE(e.gameReadable);
    EXPECT_EQ(makeArchive(dir, e, gameAndTrack, "bad", false), MakeResult::BadGame);
    EXPECT_EQ(makeArchive(dir, e, gameOnly, "bad", false), MakeResult::Made);
}

#include "analysis.h"
#include "analysis_text.h"
#include "composed_files.h"
#include "game_folder.h"
#include "jpeg_reader.h"
#include "map_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

static void writeFile(const fs::path& p, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

// A game folder with tracks\oval.trk and tracks\rally\forest.trk, and a place for saves.
struct AnalyserFolder : testing::Test {
    fs::path root, game;
    ComposedTrack oval;

    void SetUp() override
    {
        char pattern[] = "/tmp/analyserXXXXXX";
        root = mkdtemp(pattern);
        game = root / "tarmacade";
        oval.recordTime = 2001;
        oval.recordHolder = "Anna";
        writeFile(game / "tracks" / "oval.trk", composeTrack(oval));
        ComposedTrack forest;
        forest.sizeByte = 100;
        writeFile(game / "tracks" / "rally" / "Forest.trk", composeTrack(forest));
        fs::create_directories(game / "saves");
    }
    void TearDown() override { fs::remove_all(root); }

    std::string save(const ComposedGame& g, const fs::path& where)
    {
        writeFile(where, composeSavedGame(g));
        return where.string();
    }
    bool analyse(const ComposedGame& g, Analysis& a, std::string& why)
    {
        return analyseSavedGame(game.string(), save(g, game / "saves" / "x.gam"), a, why);
    }
};

TEST_F(AnalyserFolder, FindsTheTrackByItsEntryAnyCaseOrInAFolder)
{
    Analysis a;
    std::string why;
    ComposedGame g;
    for (const char* name : {"\\oval", "oval", "\\OVAL", "\\rally\\forest", "rally/forest", "\\forest"}) {
        g.tracks = {name};
        ASSERT_TRUE(analyse(g, a, why)) << why;
        EXPECT_TRUE(a.trackRead) << name;
    }
    EXPECT_EQ(a.trackPath, (game / "tracks" / "rally" / "Forest.trk").string());
    EXPECT_EQ(a.track.sizeByte, 100);
}

TEST_F(AnalyserFolder, NamesLeadingOutOfTheTracksNeverOpenAFileThere)
{
    // Tracks above the tracks folder and beside the saved game that must not be used.
    writeFile(game / "evil.trk", composeTrack(oval));
    writeFile(game / "saves" / "evil.trk", composeTrack(oval));
    writeFile(root / "evil.trk", composeTrack(oval));
    Analysis a;
    std::string why;
    ComposedGame g;
    for (const char* name : {"\\..\\evil", "..\\..\\evil", "rally\\..\\..\\evil", "\\..\\saves\\evil", "/../evil", "\\\\oval",
                             "rally\\\\forest", "\\.\\oval", "", "ov\nal"}) {
        g.tracks = {name};
        ASSERT_TRUE(analyse(g, a, why)) << why;
        EXPECT_FALSE(a.trackRead) << name;
        EXPECT_TRUE(a.laps.points.empty());
    }
    EXPECT_FALSE(safeTrackName("..\\tracks\\oval"));
    EXPECT_TRUE(safeTrackName("\\rally\\forest"));
}

TEST_F(AnalyserFolder, AMissingTrackIsAMessageAndASavedGameOutsideTheFolderStillUsesItsTracks)
{
    Analysis a;
    std::string why;
    ComposedGame g;
    g.tracks = {"\\lost"};
    ASSERT_TRUE(analyse(g, a, why));
    EXPECT_FALSE(a.trackRead);
    ASSERT_FALSE(a.messages.empty());
    EXPECT_EQ(a.messages[0], "\\lost not found!!");

    g.tracks = {"\\oval"};
    ASSERT_TRUE(analyseSavedGame(game.string(), save(g, root / "elsewhere" / "y.gam"), a, why));
    EXPECT_EQ(a.trackPath, (game / "tracks" / "oval.trk").string());

    EXPECT_FALSE(analyseSavedGame(game.string(), (game / "saves" / "none.gam").string(), a, why));
    EXPECT_FALSE(analyseSavedGame(game.string(), (game / "tracks").string(), a, why));
}

// An unpacked competition entry, a saved game kept in another game folder's Saves, and one
// lying anywhere else: each finds its own version of a same-named track first.
TEST_F(AnalyserFolder, TheTrackBesideTheSavedGameOrItsSavesFolderComesBeforeTheGameFolders)
{
    ComposedGame g;
    g.tracks = {"\\rally\\oval"};
    g.frames = squareLaps(oval, 2, 300, 10);
    ComposedTrack other = oval;
    other.recordHolder = "Beside";
    writeFile(root / "entry" / "OVAL.trk", composeTrack(other));
    other.recordHolder = "Sibling";
    writeFile(root / "other" / "Tracks" / "rally" / "oval.trk", composeTrack(other));
    const struct {
        fs::path saved;
        fs::path track;
    } rows[] = {
        {root / "entry" / "race.gam", root / "entry" / "OVAL.trk"},
        {root / "other" / "Saves" / "race.gam", root / "other" / "Tracks" / "rally" / "oval.trk"},
        {root / "elsewhere" / "race.gam", game / "tracks" / "oval.trk"},
        {game / "saves" / "race.gam", game / "tracks" / "oval.trk"},
    };
    for (const auto& row : rows) {
        Analysis a;
        std::string why;
        ASSERT_TRUE(analyseSavedGame(game.string(), save(g, row.saved), a, why)) << why;
        ASSERT_TRUE(a.trackRead) << row.saved;
        EXPECT_EQ(a.trackPath, row.track.string());
        EXPECT_TRUE(a.messages.empty()) << a.messages[0];
        // Two laps cut from the path on either track.
        EXPECT_EQ(a.laps.laps.size(), 2u) << row.saved;
    }
}

TEST_F(AnalyserFolder, TheMissingTrackLineGoesWhenThePlayerChoosesTheTrack)
{
    Analysis a;
    std::string why;
    ComposedGame g;
    g.tracks = {"\\lost"};
    g.frames = squareLaps(oval, 2, 300, 10);
    addMessage(a, "Bild gespeichert");  // an earlier line stays
    // Not beside it, nor in a game folder, which here has no tracks at all.
    ASSERT_TRUE(analyseSavedGame((root / "nogame").string(), save(g, root / "elsewhere" / "y.gam"), a, why));
    ASSERT_EQ(a.messages.size(), 2u);
    EXPECT_EQ(a.messages[1], "\\lost not found!!");
    // A file that is no track keeps the line; the track itself takes it away.
    writeFile(root / "junk.trk", {1, 2, 3});
    EXPECT_FALSE(useTrackFile(a, (root / "junk.trk").string(), why));
    EXPECT_EQ(a.messages.size(), 2u);
    ASSERT_TRUE(useTrackFile(a, (game / "tracks" / "oval.trk").string(), why)) << why;
    EXPECT_EQ(a.messages, std::vector<std::string>{"Bild gespeichert"});
    EXPECT_EQ(a.laps.laps.size(), 2u);
}

TEST_F(AnalyserFolder, ATrackOfAnotherVersionLeavesTheMapEmpty)
{
    ComposedTrack old = oval;
    old.version = 0x104;
    writeFile(game / "tracks" / "old.trk", composeTrack(old));
    ComposedGame g;
    g.tracks = {"\\old"};
    g.frames = squareLaps(oval, 2, 300, 10);
    Analysis a;
    std::string why;
    ASSERT_TRUE(analyse(g, a, why));
    EXPECT_FALSE(a.trackRead);
    EXPECT_TRUE(a.laps.laps.empty());
    EXPECT_NE(a.messages[0].find("0x104"), std::string::npos);
}

TEST_F(AnalyserFolder, TheTextShowsParticipantsSettingsAndLaps)
{
    ComposedGame g;
    g.cars = {ComposedCar(), ComposedCar(), ComposedCar()};
    g.cars[0].name = "Anna";
    g.cars[0].human = true;
    g.cars[1].name = "Bert";
    g.cars[1].skill = 70;
    g.cars[2].name = "Cleo";
    g.cars[2].skill = 95;
    g.cars[0].laps = 2;
    g.cars[0].lastCrossing = 4000;
    g.frames = squareLaps(oval, 2, 300, 10);
    Analysis a;
    std::string why;
    ASSERT_TRUE(analyse(g, a, why));
    std::string text = reportText(a);
    EXPECT_NE(text.find("Anna,human"), std::string::npos) << text;
    EXPECT_NE(text.find("Bert,AI 70"), std::string::npos);
    EXPECT_NE(text.find("Average AI: 82.5"), std::string::npos);
    EXPECT_NE(text.find("T/C/F/D/S:  100 / 90 / 120 / 80 / 150"), std::string::npos);
    EXPECT_NE(text.find("Best: 20.01 / Anna"), std::string::npos);
    EXPECT_NE(text.find("Fast Lap #1 : 15.00"), std::string::npos);
    EXPECT_NE(text.find("Laps:  1: 15.00  2: 15.00"), std::string::npos);
    // 2 laps of 1000 m in 40 s.
    EXPECT_NE(text.find("180.00 kmh"), std::string::npos);
    std::string json = reportJson(a);
    EXPECT_NE(json.find("\"lapTimes\": [\n    1500,\n    1500\n  ]"), std::string::npos) << json;

    // A time trial: one row, no computer drivers, no average.
    g.cars = {ComposedCar()};
    g.cars[0].human = true;
    ASSERT_TRUE(analyse(g, a, why));
    EXPECT_EQ(carTableLines(a).size(), 2u);
    std::vector<std::string> summary = lapSummaryLines(a, 0);
    EXPECT_EQ(summary[2], "Average AI: ");
    EXPECT_EQ(reportText(a).find(",AI "), std::string::npos);
    EXPECT_NE(reportJson(a).find("\"averageAI\": null"), std::string::npos);
}

TEST(AnalysisMessages, AtMostSevenLinesOfAHundredCharacters)
{
    Analysis a;
    for (int i = 0; i < 10; ++i) addMessage(a, std::to_string(i) + std::string(150, 'x'));
    ASSERT_EQ(a.messages.size(), 7u);
    EXPECT_EQ(a.messages.front()[0], '3');
    EXPECT_EQ(a.messages.back().size(), 100u);
}

TEST_F(AnalyserFolder, ThePictureShowsTheMapThePathAndTheSelectedLapAndSavesAsJpeg)
{
    ComposedGame g;
    g.frames = squareLaps(oval, 2, 300, 10);
    Analysis a;
    std::string why;
    ASSERT_TRUE(analyse(g, a, why));
    PictureLook look = loadPictureLook(game.string());  // no palette file: built-in colours
    Picture p;
    drawMapPicture(p, &a.track, a.laps, 0, pictureLines(a, 0), look);
    auto at = [&](int x, int y) {
        const uint8_t* c = p.rgb.data() + (size_t(y) * p.width + x) * 3;
        return (int(c[0]) << 16) | (int(c[1]) << 8) | c[2];
    };
    // North up: z = 150 is picture row 361.
    EXPECT_EQ(at(60, 361), 0xFF0000);    // the path on the ring's left side
    EXPECT_EQ(at(45, 361), 0x9E9E9E);    // road (code 0) beside it
    EXPECT_EQ(at(256, 256), 0x91CA5B);   // grass (code 2) inside
    EXPECT_EQ(at(85, 261), 0xFFFFFF);    // the finish line at z = 250
    EXPECT_EQ(at(5, 540), 0x202020);     // below the map, no font in this folder

    // Lap 2 alone leaves out the frames before the first crossing.
    std::vector<uint8_t> before = p.rgb;
    drawMapPicture(p, &a.track, a.laps, 2, pictureLines(a, 2), look);
    EXPECT_EQ(at(60, 361), 0xFF0000);
    EXPECT_NE(before, p.rgb);
    // Without a track only the background.
    drawMapPicture(p, nullptr, a.laps, 0, {}, look);
    EXPECT_EQ(at(45, 361), 0x006496);

    drawMapPicture(p, &a.track, a.laps, 0, pictureLines(a, 0), look);
    std::string out = (root / "map.jpg").string();
    ASSERT_TRUE(writeJpeg(p, out, 90, why)) << why;
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    std::ifstream saved(out, std::ios::binary);
    std::vector<uint8_t> jpeg{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    ASSERT_TRUE(decodeJpeg(jpeg, w, h, rgb));
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 560);
    const uint8_t* grass = rgb.data() + (size_t(256) * w + 256) * 3;
    EXPECT_NEAR(grass[0], 0x91, 6);
    EXPECT_NEAR(grass[1], 0xCA, 6);
    EXPECT_NEAR(grass[2], 0x5B, 6);

    EXPECT_FALSE(writeJpeg(p, (root / "no" / "such" / "map.jpg").string(), 90, why));
    EXPECT_FALSE(why.empty());
}

// The map as the race view shows it, north (z growing) up: a road along the south edge, a
// finish line across it and a path driving north from it.
TEST(MapPicture, NorthIsUp)
{
    TrackInfo track;
    track.sizeByte = 200;
    track.surface.assign(size_t(mapSize) * mapSize, 2);
    for (int z = 0; z < 40; ++z)
        for (int x = 0; x < mapSize; ++x) track.surface[size_t(z) * mapSize + x] = 0;
    track.hasFinish = true;
    const float finish[4] = {100, 5, 100, 35};
    std::copy(finish, finish + 4, track.finish);
    float cellToStored = track.sizeByte * 150.0f / mapSize;
    std::vector<PathPoint> path;
    for (int z = 20; z <= 200; z += 2) path.push_back(PathPoint{uint16_t(300 * cellToStored), uint16_t(z * cellToStored)});
    LapAnalysis laps = analyseLaps(path, track);
    Picture p;
    PictureLook look;
    for (Rgb& c : look.palette) c = Rgb{1, 1, 1};
    look.palette[23] = Rgb{0x9E, 0x9E, 0x9E};  // road
    look.palette[42] = Rgb{0x91, 0xCA, 0x5B};  // grass
    drawMapPicture(p, &track, laps, 0, {}, look);
    auto at = [&](int x, int y) {
        const uint8_t* c = p.rgb.data() + (size_t(y) * p.width + x) * 3;
        return (int(c[0]) << 16) | (int(c[1]) << 8) | c[2];
    };
    EXPECT_EQ(at(200, 500), 0x9E9E9E);  // the road at the bottom
    EXPECT_EQ(at(200, 10), 0x91CA5B);   // grass at the top
    EXPECT_EQ(at(100, 491), 0xFFFFFF);  // the finish line, z = 20
    EXPECT_EQ(at(300, 311), 0xFF0000);  // the path at z = 200
    EXPECT_EQ(at(300, 150), 0x91CA5B);  // and no further north
    EXPECT_EQ(at(300, 491), 0xFF0000);  // its start, z = 20
}

TEST_F(AnalyserFolder, ThePaletteFileOfTmIniColoursTheMap)
{
    std::vector<uint8_t> pal(24 + 1024, 0);
    pal[24 + 4 * 42 + 0] = 1, pal[24 + 4 * 42 + 1] = 2, pal[24 + 4 * 42 + 2] = 3;  // grass
    writeFile(game / "palettes" / "dusk.pal", pal);
    std::vector<uint8_t> ini;
    for (char c : std::string("[Misc]\r\nPaletteFile = Palettes\\dusk.pal ; chosen\r\n")) ini.push_back(uint8_t(c));
    writeFile(game / "tm.ini", ini);
    PictureLook look = loadPictureLook(game.string());
    EXPECT_EQ(look.palette[42].r, 1);
    EXPECT_EQ(look.palette[42].b, 3);
    // A palette outside the game folder is not followed; tm.pal then, else the built-in one.
    ini.clear();
    for (char c : std::string("[Misc]\nPaletteFile=..\\evil.pal\n")) ini.push_back(uint8_t(c));
    writeFile(game / "tm.ini", ini);
    writeFile(root / "evil.pal", pal);
    EXPECT_EQ(loadPictureLook(game.string()).palette[42].r, 0x91);
}

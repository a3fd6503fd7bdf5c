#include "save_fixture.h"

#include "race/replay_buffer.h"
#include "season/driver_list.h"
#include "track/ghost_lap.h"
#include "track/track_checksum.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace {

namespace fs = std::filesystem;

// Everything of the running game a refused load must leave alone.
std::string fingerprint()
{
    std::string s;
    auto add = [&](const void* p, size_t n) { s.append(static_cast<const char*>(p), n); };
    add(&game.carCount, sizeof game.carCount);
    add(game.driverNames, sizeof game.driverNames);
    add(game.drivers, sizeof game.drivers);
    add(game.cars, sizeof game.cars);
    add(game.carModels, sizeof game.carModels);
    add(game.runningOrder, sizeof game.runningOrder);
    add(game.seasonPoints, sizeof game.seasonPoints);
    add(&game.options, sizeof game.options);
    for (int32_t v : {game.seasonRace, game.seasonRaceCount, game.raceClock, game.raceLaps, game.leaderLaps,
                      int32_t(game.racePhase), int32_t(game.driverList.size()), game.replay.frameCount,
                      int32_t(game.ghostBestSteps)})
        add(&v, sizeof v);
    for (const std::string& t : game.seasonTracks) s += t + '|';
    s += game.trackEntry;
    return s;
}

class SavedGames : public SaveTest {
protected:
    // A season of n cars on three tracks, raced for a while.
    void raced(int n, int steps = 700)
    {
        drivers(n);
        game.seasonTracks = {"gp", "hills", "lake"};
        ASSERT_EQ(startSeason(), 0);
        game.racePhase = Racing;
        holdKey(SDLK_UP, true);
        for (int i = 0; i < steps; ++i) raceStep();
        holdKey(SDLK_UP, false);
    }
};

TEST_F(SavedGames, ASixCarSeasonIsReadToItsLastByteByAReaderWrittenFromTheLayoutAlone)
{
    raced(6);
    game.seasonPoints[2] = 17;
    game.driverList[3].profile->races = 41;
    ASSERT_TRUE(saveGame("Six"));
    ASSERT_GT(game.replay.frameCount, 100);

    std::string script = std::string(TM_SOURCE_FOLDER) + "/tests/save/read_saved_game.py";
    std::string command = "python3 '" + script + "' '" + folder.path("saves/Six.gam").string() + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << "the reader refused the file";
    nlohmann::json g = nlohmann::json::parse(out);

    EXPECT_EQ(g["bytesRead"].get<size_t>(), bytes("Six").size());
    EXPECT_EQ(g["version"], 0x0110);
    EXPECT_EQ(g["phase"], Racing);
    EXPECT_EQ(g["options"]["raceLength"], 2);
    EXPECT_EQ(g["options"]["soundSet"], "Default");
    ASSERT_EQ(g["carCount"], 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(g["names"][i], game.driverNames[i]);
        EXPECT_EQ(g["profiles"][i]["races"], game.drivers[i]->races);
        EXPECT_EQ(g["profiles"][i]["controls"][0], game.drivers[i]->controls[0]);
        EXPECT_EQ(g["carModels"][i]["name"], game.carModels[i].name);
        EXPECT_EQ(g["carModels"][i]["mass"].get<float>(), game.carModels[i].mass);
        EXPECT_EQ(g["carModels"][i]["head"][1].get<float>(), game.carModels[i].headPosition.y);
        const CarState& c = game.cars[i];
        EXPECT_EQ(g["cars"][i]["position3"][2].get<float>(), c.positionVector.z);
        EXPECT_EQ(g["cars"][i]["forward"][0].get<float>(), c.forwardAxis.x);
        EXPECT_EQ(g["cars"][i]["nextCheckpoint"], c.nextCheckpoint);
        EXPECT_EQ(g["cars"][i]["fuel"], c.fuel);
        EXPECT_EQ(g["cars"][i]["controls"][1], c.controls[1]);
        EXPECT_EQ(g["cars"][i]["points"][13][0].get<float>(), c.bodyPoints[9].x);
        EXPECT_EQ(g["runningOrder"][i], game.runningOrder[i]);
        EXPECT_EQ(g["championshipPoints"][i], game.seasonPoints[i]);
    }
    ASSERT_EQ(g["raceCount"], 3);
    EXPECT_EQ(g["seasonRace"], 0);
    EXPECT_EQ(g["tracks"][1]["name"], "hills");
    uint32_t sums[4];
    ASSERT_GT(trackChecksum("\\hills", sums), 0u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(g["tracks"][1]["checksum"][k], sums[k]);
    EXPECT_EQ(g["raceClock"], game.raceClock);
    EXPECT_EQ(g["fastestLapTime"], game.fastestLapTime);
    EXPECT_FALSE(g.contains("ghost"));
    const ReplayState& r = game.replay;
    EXPECT_EQ(g["replay"]["frameStep"], r.frameStep);
    ASSERT_EQ(g["replay"]["frameCount"], r.frameCount);
    ASSERT_EQ(g["replay"]["cars"].size(), 6u);
    const ReplayFrame& last = r.frames[5][(r.start + r.frameCount - 1) % r.capacity];
    const nlohmann::json& f = g["replay"]["cars"][5][r.frameCount - 1];
    EXPECT_EQ(f["position"][0], last.position[0]);
    EXPECT_EQ(f["forward"][2], last.forward[2]);
    EXPECT_EQ(f["wheels"][3], last.wheelHeight[3]);
    EXPECT_EQ(f["flag"], 0);
}

TEST_F(SavedGames, ALoadTakesTheRulesFromTheFileAndKeepsThePlayersOwnSettingsKeysAndDrivers)
{
    raced(3, 300);
    game.options.points[0] = 12;
    game.options.tyreWear = 11;
    game.options.shadows = 0;
    game.options.windowedMode = 1;
    game.options.engineVolume = 33;
    game.options.ghostCar = 0;
    ASSERT_TRUE(saveGame("Rules"));
    CarState before = game.cars[1];
    // What the player changes afterwards: every option, Ann's keys; Cy is deleted.
    OptionsRecord now = game.options;
    now.points[0] = 1;
    now.tyreWear = 90;
    now.shadows = 1;
    now.windowedMode = 0;
    now.engineVolume = 77;
    now.ghostCar = 1;
    now.resolution = 5;
    std::snprintf(now.language, sizeof now.language, "Deutsch");
    game.options = now;
    game.driverList[0].profile->controls[0] = 'w';
    game.driverList.erase(game.driverList.begin() + 2);
    matchRaceSlots();

    ASSERT_EQ(loadGame("Rules"), 0);
    EXPECT_EQ(game.options.points[0], 12);
    EXPECT_EQ(game.options.tyreWear, 11);
    EXPECT_EQ(game.options.shadows, 0);
    EXPECT_EQ(game.options.windowedMode, 1);
    EXPECT_EQ(game.options.engineVolume, 77);
    EXPECT_EQ(game.options.ghostCar, 1);
    EXPECT_EQ(game.options.resolution, 5);
    EXPECT_STREQ(game.options.language, "Deutsch");
    EXPECT_EQ(game.cars[0].controls[0], uint32_t('w'));
    // A computer's controls hold its skill and line offset as saved.
    EXPECT_EQ(std::memcmp(game.cars[1].controls, before.controls, sizeof before.controls), 0);
    EXPECT_EQ(game.cars[1].positionVector.x, before.positionVector.x);
    ASSERT_EQ(game.carCount, 3);
    EXPECT_STREQ(game.driverNames[2], "Cy");
    EXPECT_EQ(findDriver("Cy"), 2);
    EXPECT_FALSE(folder.exists("drivers/Cy.drv"));
    EXPECT_EQ(game.drivers[2], game.driverList[2].profile.get());
    EXPECT_EQ(game.racePhase, Racing);
    EXPECT_EQ(game.raceRunning, 1);
}

TEST_F(SavedGames, ATimeTrialKeepsItsGhostAtHalfResolution)
{
    drivers(1);
    game.seasonTracks = {"gp"};
    ASSERT_EQ(startSeason(), 0);
    GhostSample* best = game.ghostBuffers[1 - game.ghostRecording];
    for (int i = 0; i < 7; ++i) {
        float a = 0.3f * float(i);
        best[i] = {{10.0f + 2 * float(i), 1.0f + float(i % 3), 50.0f - float(i)},
                   {std::cos(a), 0, std::sin(a)}, {0, 1, 0}, {-std::sin(a), 0, std::cos(a)}};
    }
    game.ghostBest = int8_t(1 - game.ghostRecording);
    game.ghostBestSteps = 7;
    std::vector<GhostSample> kept(best, best + 7);
    game.racePhase = Racing;
    for (int i = 0; i < 20; ++i) raceStep();
    ASSERT_GT(game.replay.frameCount, 0);
    ASSERT_TRUE(saveGame("Trial"));
    SaveLayout at{1, 1};
    std::vector<uint8_t> b = bytes("Trial");
    ASSERT_GT(b.size(), at.end() + 2 + 4 * 12 + 4);
    ASSERT_EQ(b[at.end()] | b[at.end() + 1] << 8, 7);
    // Four stored samples, then the replay block's tag.
    EXPECT_EQ(b[at.end() + 2 + 4 * 12], 0x10);
    EXPECT_EQ(b[at.end() + 2 + 4 * 12 + 3], 0x50);

    clearGhost();
    ASSERT_EQ(loadGame("Trial"), 0);
    ASSERT_EQ(game.ghostBestSteps, 7);
    GhostSample s;
    for (int i = 0; i < 7; i += 2) {
        ASSERT_TRUE(ghostSample(i, s));
        EXPECT_NEAR(s.position.x, kept[i].position.x, 0.01f) << i;
        EXPECT_NEAR(s.position.z, kept[i].position.z, 0.01f) << i;
        EXPECT_NEAR(s.right.x, kept[i].right.x, 0.02f) << i;
        EXPECT_NEAR(s.forward.z, kept[i].forward.z, 0.02f) << i;
        EXPECT_NEAR(s.up.y, 1.0f, 0.01f) << i;
    }
    for (int i = 1; i < 7; i += 2) {
        GhostSample a, c;
        ASSERT_TRUE(ghostSample(i - 1, a));
        ASSERT_TRUE(ghostSample(i + 1, c));
        ASSERT_TRUE(ghostSample(i, s));
        EXPECT_FLOAT_EQ(s.position.y, (a.position.y + c.position.y) / 2) << i;
        EXPECT_FLOAT_EQ(s.right.z, (a.right.z + c.right.z) / 2) << i;
    }
}

// 0x0102 names its tracks in 56 bytes without checksums.
std::vector<uint8_t> asVersion0102(std::vector<uint8_t> b, SaveLayout at)
{
    putU16(b, 0, 0x0102);
    for (int i = 0; i < at.r; ++i) std::fill_n(b.begin() + long(at.tracks() + 56 * size_t(i) + 40), 16, 0);
    return b;
}

// A 0x0103 replay block: the tag's version, and no frame step after it.
std::vector<uint8_t> withOldReplayBlock(std::vector<uint8_t> b, size_t block)
{
    putU16(b, block, 0x0103);
    b.erase(b.begin() + long(block + 4), b.begin() + long(block + 8));
    return b;
}

TEST_F(SavedGames, OlderVersionsLoadAndANewerOneIsRefused)
{
    raced(3, 400);
    ASSERT_TRUE(saveGame("Now"));
    std::vector<uint8_t> now = bytes("Now");
    SaveLayout at{3, 3};
    int frames = game.replay.frameCount;
    ReplayFrame lastFrame = game.replay.frames[2][(game.replay.start + frames - 1) % game.replay.capacity];

    put("Old", asVersion0102(now, at));
    game.seasonTracks.clear();
    ASSERT_EQ(loadGame("Old"), 0);
    EXPECT_EQ(game.seasonTracks, (std::vector<std::string>{"gp", "hills", "lake"}));
    EXPECT_EQ(game.trackEntry, "\\gp");
    EXPECT_EQ(game.replay.frameCount, frames);

    game.replayFrameStep = 7;
    put("OldReplay", withOldReplayBlock(now, at.end()));
    ASSERT_EQ(loadGame("OldReplay"), 0);
    EXPECT_EQ(game.replay.frameStep, 7);
    ASSERT_EQ(game.replay.frameCount, frames);
    const ReplayFrame& back = game.replay.frames[2][frames - 1];
    EXPECT_EQ(back.position[1], lastFrame.position[1]);
    EXPECT_EQ(back.right[0], lastFrame.right[0]);
    EXPECT_EQ(back.flag, 1);  // a loaded frame

    put("NoReplay", std::vector<uint8_t>(now.begin(), now.begin() + long(at.end())));
    ASSERT_EQ(loadGame("NoReplay"), 0);
    EXPECT_EQ(game.replay.frameCount, 0);
    EXPECT_EQ(game.replay.frameStep, 7);

    std::vector<uint8_t> newer = now;
    putU16(newer, 0, 0x0111);
    put("Newer", newer);
    std::string before = fingerprint();
    EXPECT_EQ(loadGame("Newer"), -1);
    EXPECT_TRUE(fingerprint() == before);
    EXPECT_EQ(loadGame("Nothing"), -1);
}

TEST_F(SavedGames, ATrackMovedIntoAFolderIsFoundByItsChecksumAndAChangedOneIsSkipped)
{
    raced(2, 100);
    game.seasonTracks = {"gp", "hills"};
    game.seasonRaceCount = 2;
    ASSERT_TRUE(saveGame("Moved"));
    fs::rename(folder.path("tracks/gp.trk"), folder.path("tracks/rally/gp.trk"));
    ASSERT_EQ(loadGame("Moved"), 0);
    EXPECT_EQ(game.seasonRace, 0);
    EXPECT_EQ(game.trackEntry, "\\rally\\gp");
    EXPECT_EQ(game.racePhase, Racing);

    // One byte of its terrain changed: another track now, and its race is skipped.
    std::string body = folder.read("tracks/rally/gp.trk");
    body[body.size() / 3] = char(body[body.size() / 3] ^ 0x5a);
    folder.write("tracks/rally/gp.trk", body);
    ASSERT_EQ(loadGame("Moved"), 0);
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_EQ(game.trackEntry, "\\hills");
    EXPECT_EQ(game.racePhase, WaitForKey);
}

TEST_F(SavedGames, ShortOrBrokenFilesAreRefusedAndTheRunningGameGoesOnUnchanged)
{
    raced(3, 300);
    ASSERT_TRUE(saveGame("Good"));
    std::vector<uint8_t> good = bytes("Good");
    SaveLayout at{3, 3};
    // A different game runs when the broken files are tried.
    game.seasonTracks = {"street"};
    game.raceClock = 4242;
    game.cars[1].laps = 9;
    std::string before = fingerprint();

    for (size_t cut = 0; cut < at.end(); cut += (cut < 100 ? 1 : 7)) {
        put("Short", std::vector<uint8_t>(good.begin(), good.begin() + long(cut)));
        ASSERT_EQ(loadGame("Short"), -1) << "cut at " << cut;
    }
    EXPECT_TRUE(fingerprint() == before);

    float nan = std::nanf("");
    uint32_t nanBits;
    std::memcpy(&nanBits, &nan, 4);
    struct Break {
        const char* what;
        size_t at;
        uint32_t value;
    } breaks[] = {
        {"no cars", 78, 0},
        {"seven cars", 78, 7},
        {"no races", at.raceCount(), 0},
        {"race past the season", at.raceCount() + 4, 3},
        {"a car twice in the order", at.order() + 4, 0},
        {"a place past the cars", at.cars() + 348, 3},
        {"a position that is not a number", at.cars() + 348 + 44, nanBits},
        {"no laps", at.raceValues(), 0},
        {"a fastest lap by no car", at.raceValues() + 16, 3},
        {"a phase past the last", 2, 12},
        {"a driver name that is no file name", at.names() + 13, 0x2f2e2e},
    };
    for (const Break& k : breaks) {
        std::vector<uint8_t> b = good;
        if (k.at == 2) b[2] = uint8_t(k.value);
        else putU32(b, k.at, k.value);
        put("Broken", b);
        EXPECT_EQ(loadGame("Broken"), -1) << k.what;
        EXPECT_TRUE(fingerprint() == before) << k.what;
    }

    // A track name leading out of tracks\ names no track: that race is skipped.
    std::vector<uint8_t> b = good;
    putU32(b, at.tracks(), 0x2f2e2e);  // "../"
    put("Outside", b);
    ASSERT_EQ(loadGame("Outside"), 0);
    EXPECT_EQ(game.seasonTracks[0], "\\()");
    EXPECT_EQ(game.seasonRace, 1);
    EXPECT_EQ(game.trackEntry, "\\hills");
}

TEST_F(SavedGames, ACutAreaSavesOnlyItsFramesAndIsClearedOnceSaved)
{
    raced(2, 900);
    ReplayState& r = game.replay;
    ASSERT_GT(r.frameCount, 150);
    std::vector<ReplayFrame> car1(r.frames[1], r.frames[1] + r.capacity);
    int start = r.start, capacity = r.capacity;
    r.cutBegin = 120.7f;
    r.cutEnd = 40.2f;  // marked backwards
    ASSERT_TRUE(saveGame("Cut"));
    EXPECT_EQ(r.cutBegin, -1);
    EXPECT_EQ(r.cutEnd, -1);
    ASSERT_EQ(loadGame("Cut"), 0);
    ASSERT_EQ(game.replay.frameCount, 80);
    for (int k = 0; k < 80; ++k) {
        const ReplayFrame& a = car1[size_t((start + 40 + k) % capacity)];
        const ReplayFrame& b = game.replay.frames[1][k];
        ASSERT_EQ(std::memcmp(a.position, b.position, sizeof a.position), 0) << k;
    }
}

TEST_F(SavedGames, NamesThatAreNoFileNameAndUnwritableFoldersFailOpenly)
{
    raced(1, 10);
    for (const char* name : {"", "..", "a/b", "a\\b", "con", "x:y"}) EXPECT_FALSE(saveGame(name)) << name;
    EXPECT_FALSE(folder.exists("saves/.gam"));
    EXPECT_EQ(loadGame("../tracks/gp"), -1);
    game.racePhase = Replay;
    EXPECT_FALSE(saveGame("Playback"));
    game.racePhase = Racing;
    fs::remove_all(folder.path("saves"));
    folder.write("saves", std::string("a file where the folder belongs"));
    EXPECT_FALSE(saveGame("Blocked"));
}

}  // namespace

// Every writer of a file a player would miss, killed at random moments while it writes again and
// again: the file is always the old one or the new one, and it loads. Run with TM_KILLS=1000
// (bench/killed_writers.sh) for the full count; make test runs 50 kills each.
#include "kill_harness.h"

#include "hueswap_core.h"
#include "zipper_archive.h"

#include "files/config.h"
#include "render/screenshot.h"
#include "save/save_fixture.h"
#include "track/track_loader.h"

#include <unzip.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

class KilledWriters : public SaveTest {
protected:
    void run(const std::string& name, FileImages& f, const std::function<bool(uint32_t)>& write, const std::string& folderRel)
    {
        ASSERT_TRUE(recordImages(f, write)) << name << ": the two versions do not load apart";
        KillWriter w{name, write, [&f](uint32_t done, uint32_t) { return fileVerdict(f, done); }, folder.path(folderRel).string(), {}};
        check(w, 2);
    }
    void check(const KillWriter& w, uint32_t versionsSoFar)
    {
        KillTally t = killWhileWriting(w, killCount(), versionsSoFar, 2024);
        printKillRow(w.name, t);
        EXPECT_EQ(t.kills, killCount());
        EXPECT_EQ(t.broken, 0) << w.name << ": " << t.firstFault;
        EXPECT_EQ(t.old + t.fresh, t.kills);
    }
};

TEST_F(KilledWriters, OptionsSet)
{
    FileImages f{folder.path("options.set").string(), {}, {}, [] {
                     loadOptions();
                     return std::to_string(game.options.raceLength);
                 }};
    run("options.set", f, [](uint32_t k) {
        game.options.raceLength = uint16_t(k % 2 ? 17 : 23);
        return saveOptions();
    }, "");
}

TEST_F(KilledWriters, DriverProfile)
{
    DriverProfile a = newDriverProfile(true), b = newDriverProfile(false);
    a.totalPoints = 40, b.totalPoints = 75;
    FileImages f{folder.path("drivers/Racer.drv").string(), {}, {}, [] {
                     DriverProfile back{};
                     if (readDriver("Racer", &back) != 0) return std::string();
                     return std::to_string(back.totalPoints) + "/" + std::to_string(back.controls[0]);
                 }};
    run("driver profile", f, [&](uint32_t k) { return writeDriver("Racer", k % 2 ? &a : &b); }, "drivers");
}

TEST_F(KilledWriters, SavedGame)
{
    drivers(6);
    game.seasonTracks = {"gp", "hills"};
    ASSERT_EQ(startSeason(), 0);
    game.racePhase = Racing;
    for (int i = 0; i < 600; ++i) raceStep();
    const int32_t clock = game.raceClock;
    FileImages f{folder.path("saves/Race.gam").string(), {}, {}, [] {
                     if (loadGame("Race") != 0) return std::string();
                     return std::to_string(game.raceClock) + "/" + std::to_string(game.carCount);
                 }};
    run("saved game", f, [clock](uint32_t k) {
        game.raceClock = clock + int32_t(k % 2) * 50;
        return saveGame("Race");
    }, "saves");
}

TEST_F(KilledWriters, TrackRecordsInTheTrackFile)
{
    ASSERT_EQ(loadTrack("\\gp"), 0);
    game.carCount = 2;  // no ghost: that is the time trial's
    std::string path = folder.path("tracks/gp.trk").string();
    FileImages f{path, {}, {}, [] {
                     if (loadTrack("\\gp") != 0) return std::string();
                     return std::to_string(game.trackRecords.time[0]) + "/" + game.trackRecords.name[0];
                 }};
    run("track records", f, [&path](uint32_t k) {
        clearTrackRecords(game.trackRecords);
        game.trackRecords.time[0] = uint16_t(k % 2 ? 4100 : 4200);
        std::snprintf(game.trackRecords.name[0], recordNameSize, "%s", k % 2 ? "Ann" : "Bob");
        saveTrackRecords();
        return fs::exists(path);
    }, "tracks");
}

TEST_F(KilledWriters, HueswapsTmIni)
{
    fs::path built = buildFolder() / "tarmacade" / "tm.ini";
    if (fs::is_regular_file(built)) fs::copy_file(built, folder.path("tm.ini"));
    else folder.write("tm.ini", std::string("[Misc]\r\nPaletteFile = tm.pal\r\n"));
    const std::string root = folder.root().string();
    FileImages f{folder.path("tm.ini").string(), {}, {}, [] {
                     loadConfig();
                     return game.paletteFile;
                 }};
    run("hueswap tm.ini", f, [root](uint32_t k) {
        return writePaletteValue(root, k % 2 ? "palettes\\dusk.pal" : "tm.pal") == WriteResult::Changed;
    }, "");
}

// Every member read whole through minizip, whose reader checks each CRC.
std::string readArchive(const std::string& path)
{
    unzFile zip = unzOpen64(path.c_str());
    if (!zip) return "";
    std::string summary;
    bool ok = true;
    for (int r = unzGoToFirstFile(zip); ok && r == UNZ_OK; r = unzGoToNextFile(zip)) {
        char name[256];
        unz_file_info64 info;
        ok = unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK &&
             unzOpenCurrentFile(zip) == UNZ_OK;
        std::vector<char> data(info.uncompressed_size + 1);
        int got = ok ? unzReadCurrentFile(zip, data.data(), unsigned(data.size())) : -1;
        ok = ok && unzCloseCurrentFile(zip) == UNZ_OK && got == int(info.uncompressed_size);
        summary += std::string(name) + ":" + std::to_string(got) + " ";
    }
    ok = unzClose(zip) == UNZ_OK && ok;
    return ok ? summary : "";
}

TEST_F(KilledWriters, ZipperArchive)
{
    folder.makeFolder("zip");
    std::mt19937 random(5);
    std::vector<uint8_t> picture(300000), game1(20000), game2(24000);
    for (uint8_t& b : picture) b = uint8_t(random() % 7);
    for (uint8_t& b : game1) b = uint8_t(random());
    for (uint8_t& b : game2) b = uint8_t(random());
    std::string path = folder.path("zip/entry.zip").string();
    FileImages f{path, {}, {}, [path] { return readArchive(path); }};
    run("tmzipper archive", f, [&](uint32_t k) {
        std::vector<ArchiveMember> members = {{"race.gam", k % 2 ? &game1 : &game2, 1700000000},
                                              {"shot0000.bmp", &picture, 1700000000}};
        return writeZipArchive(path, members, true) == ArchiveWrite::Written;
    }, "zip");
}

// Each shot is a new file: after a kill the folder holds the shots whose writes returned, and
// at most the one more that was being written, each whole.
TEST_F(KilledWriters, Screenshot)
{
    ASSERT_NE(SDL_SetVideoMode(640, 480, 8, SDL_SWSURFACE), nullptr);
    folder.makeFolder("screens");
    const fs::path screens = folder.path("screens");
    auto write = [](uint32_t k) {
        SDL_Surface* s = SDL_GetVideoSurface();
        SDL_FillRect(s, nullptr, k % 2 ? 40 : 200);
        return takeScreenshot(0, 0) == 0;
    };
    auto between = [&] {
        for (const auto& e : fs::directory_iterator(screens)) fs::remove(e.path());
        game.screenshotCounter = 0;
    };
    auto verdict = [&](uint32_t done, uint32_t base) {
        uint32_t shots = 0;
        for (const auto& e : fs::directory_iterator(screens)) {
            if (e.path().extension() != ".bmp") continue;
            SDL_Surface* back = SDL_LoadBMP(e.path().c_str());
            if (!back || back->w != 640 || back->h != 480) return killedBroken;
            SDL_FreeSurface(back);
            ++shots;
        }
        uint32_t finished = done - base;
        return shots == finished ? killedOld : shots == finished + 1 ? killedNew : killedBroken;
    };
    KillWriter w{"screenshot", write, verdict, screens.string(), between};
    check(w, 0);
}

}  // namespace

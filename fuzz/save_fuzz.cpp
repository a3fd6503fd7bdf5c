// A saved game may be any file at all: it loads or is refused, and a game that loaded runs
// its next race steps without a crash and without a car leaving the numbers.
#include "fuzz_folder.h"
#include "race/car_models.h"
#include "race/race_frame.h"
#include "save/saved_game.h"
#include "season/race_slots.h"
#include "files/options_file.h"

#include <cmath>
#include <filesystem>
#include <sys/stat.h>

static bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The seeds name the shipped tracks: the fuzz folder gets them, once.
static void provideTracks()
{
    static bool done = false;
    if (done) return;
    done = true;
    std::error_code ec;
    std::filesystem::copy(TM_GAME_FOLDER "/tracks", "tracks", std::filesystem::copy_options::recursive, ec);
    mkdir("saves", 0755);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder folder;
    provideTracks();
    ServedInput input("saves\\f.gam", data, size);
    static uint8_t keys[keySnapshotSize];
    game.keySnapshot = keys;
    setDefaultOptions(game.options);
    game.viewAngle = game.viewRotation = 0x7FFF;
    game.ratioAdjust = 1;
    game.raceHooks = RaceHooks{};
    game.driverList.clear();
    matchRaceSlots();
    if (loadGame("f") == 0) {
        if (game.racePhase < RaceOver) game.racePhase = Racing;
        for (int step = 0; step < 50 && game.raceRunning; ++step) {
            raceStep();
            for (int i = 0; i < game.carCount; ++i)
                if (!finite(game.cars[i].positionVector)) std::abort();
        }
    }
    game.raceRunning = 0;
    game.keySnapshot = nullptr;
    return 0;
}

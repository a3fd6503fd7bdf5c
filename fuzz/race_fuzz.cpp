// A race on anything: a car model from the first 1344 bytes and a track from the rest, two
// computer cars and a few hundred steps. Nothing may crash, and no car may end up at a
// position that is not a number.
#include "fuzz_folder.h"
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "files/options_file.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "track/car_model_file.h"

#include <cmath>

static bool finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder folder;
    size_t modelBytes = size < carModelFileSize ? size : carModelFileSize;
    ServedInput track("tracks\\f.trk", data + modelBytes, size - modelBytes);
    CarModel model{};
    TrackFile f;
    if (f.openBytes(data, modelBytes)) readCarModel(f, model);
    f.close();

    static uint8_t keys[keySnapshotSize];
    game.keySnapshot = keys;
    setDefaultOptions(game.options);
    game.viewAngle = game.viewRotation = 0x7FFF;
    game.ratioAdjust = 1;
    std::srand(1);
    fillRandomTable();
    std::vector<RaceDriver> drivers{computerDriverEntry("A", 100, model, 0), computerDriverEntry("B", 120, model, 1)};
    if (prepareRace("\\f", drivers, 2) == 0) {
        game.racePhase = Racing;
        for (int step = 0; step < 300 && game.racePhase < RaceOver; ++step) {
            raceStep();
            for (int i = 0; i < game.carCount; ++i)
                if (!finite(game.cars[i].positionVector)) std::abort();
        }
    }
    game.keySnapshot = nullptr;
    return 0;
}

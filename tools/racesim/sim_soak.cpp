#include "sim_soak.h"

#include "race/collisions.h"
#include "state/game_state.h"
#include "track/terrain_height.h"

#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr long long stepsPerHour = 360000;

// The resident set in KiB, as the kernel tells it; 0 where it does not.
long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) != 0) continue;
        long kib = 0;
        std::istringstream(line.substr(6)) >> kib;
        return kib;
    }
    return 0;
}

double processorSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

struct Watch {
    SoakResult& r;
    long long end;                  // steps of the whole soak
    double startCpu = 0, lastHourCpu = 0;
    bool cut = false;               // the end of the time fell inside the race
};

bool afterStep(void* context)
{
    Watch& w = *static_cast<Watch*>(context);
    SoakResult& r = w.r;
    ++r.steps;
    r.offGround += carsOffTheGround(&r.centreBelow, &r.deepestBelow);
    double now = processorSeconds();
    // The last hour begins where the first ends when the soak is one hour long.
    if (r.steps == w.end - stepsPerHour) w.lastHourCpu = now;
    if (r.steps == stepsPerHour) {
        r.firstHourKiB = residentKiB();
        r.firstHourStepsPerSecond = now > w.startCpu ? stepsPerHour / (now - w.startCpu) : 0;
    }
    if (r.steps < w.end) return true;
    r.lastHourKiB = residentKiB();
    r.lastHourStepsPerSecond = now > w.lastHourCpu ? stepsPerHour / (now - w.lastHourCpu) : 0;
    w.cut = true;
    return false;
}

}  // namespace

int carsOffTheGround(long long* centresBelow, float* deepest)
{
    static const Vec3 fromAbove{0, -1, 0};
    int off = 0;
    for (int i = 0; i < game.carCount && i < maxCars; ++i) {
        const Vec3& p = game.cars[i].positionVector;
        if (!(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z))) {
            ++off;
            continue;
        }
        float ground = terrainHeight(p.x, p.z), below = ground - p.y;
        // The ground is soft: a car landing hard sinks its centre into it for a moment, and
        // only a car whose whole body lies under the surface has gone through.
        off += p.y + supportPoint(i, fromAbove).y < ground;
        if (below > 0 && centresBelow) ++*centresBelow;
        if (deepest && below > *deepest) *deepest = below;
    }
    return off;
}

namespace {

// Races from the grid back to back, the first with a.seed and each after it with the next,
// until the watch has seen w.end steps.
bool raceFor(const SimArguments& a, Watch& w, std::string& why)
{
    SoakResult& r = w.r;
    w.startCpu = w.lastHourCpu = processorSeconds();
    SimWatch watch{afterStep, &w};
    while (r.steps < w.end) {
        SimArguments race = a;
        race.soakHours = 0;
        race.kilometres = longestRaceKilometres;
        race.seed = a.seed + uint32_t(r.races);
        SimResult one;
        if (!runSimulation(race, one, why, &watch)) return false;
        ++r.races;
        r.carType = one.carType;
        r.cars = int(one.cars.size());
        if (!w.cut && !one.allFinished) ++r.racesUnfinished;
    }
    return true;
}

}  // namespace

bool runSoak(const SimArguments& a, SoakResult& r, std::string& why)
{
    // A race runs in a folder of its own: the names given must hold in the next race as well.
    SimArguments each = a;
    std::error_code ec;
    for (std::string* name : {&each.track, &each.optionsFile, &each.gameFolder})
        if (!name->empty()) *name = std::filesystem::absolute(*name, ec).string();
    r = SoakResult{};
    Watch day{r, a.soakHours * stepsPerHour};
    if (!raceFor(each, day, why)) return false;
    // The first hour once more, the same races step for step: a pace that fell over the day
    // shows against the first, whatever the races in between asked of the machine.
    SoakResult hour;
    Watch again{hour, stepsPerHour};
    if (!raceFor(each, again, why)) return false;
    r.hours = a.soakHours;
    r.seed = a.seed;
    r.track = a.track;
    r.againStepsPerSecond = hour.firstHourStepsPerSecond;
    return true;
}

bool soakHeld(const SoakResult& r)
{
    double first = double(r.firstHourKiB), last = double(r.lastHourKiB);
    return r.offGround == 0 && r.racesUnfinished == 0 && first > 0 && std::abs(last - first) <= first / 100;
}

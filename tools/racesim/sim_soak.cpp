#include "sim_soak.h"

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
    r.offGround += carsOffTheGround(&r.deepestBelow);
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

int carsOffTheGround(float* deepest)
{
    int off = 0;
    for (int i = 0; i < game.carCount && i < maxCars; ++i) {
        const Vec3& p = game.cars[i].positionVector;
        bool finite = std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
        float below = finite ? terrainHeight(p.x, p.z) - p.y : 0.0f;
        off += !finite || below > 0;
        if (deepest && below > *deepest) *deepest = below;
    }
    return off;
}

bool runSoak(const SimArguments& a, SoakResult& r, std::string& why)
{
    r = SoakResult{};
    r.hours = a.soakHours;
    r.seed = a.seed;
    Watch w{r, a.soakHours * stepsPerHour};
    w.startCpu = w.lastHourCpu = processorSeconds();
    SimWatch watch{afterStep, &w};
    // A race runs in a folder of its own: the names given must hold in the next race as well.
    SimArguments each = a;
    std::error_code ec;
    for (std::string* name : {&each.track, &each.optionsFile, &each.gameFolder})
        if (!name->empty()) *name = std::filesystem::absolute(*name, ec).string();
    while (r.steps < w.end) {
        SimArguments race = each;
        race.soakHours = 0;
        race.kilometres = longestRaceKilometres;
        race.seed = a.seed + uint32_t(r.races);
        SimResult one;
        if (!runSimulation(race, one, why, &watch)) return false;
        ++r.races;
        r.track = a.track;
        r.carType = one.carType;
        r.cars = int(one.cars.size());
        if (!w.cut && !one.allFinished) ++r.racesUnfinished;
    }
    return true;
}

bool soakHeld(const SoakResult& r)
{
    double first = double(r.firstHourKiB), last = double(r.lastHourKiB);
    return r.offGround == 0 && r.racesUnfinished == 0 && first > 0 && std::abs(last - first) <= first / 100;
}

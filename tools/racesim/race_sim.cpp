#include "race_sim.h"

#include "sim_folder.h"
#include "sim_report.h"
#include "sim_saved_game.h"
#include "sim_soak.h"

#include "platform/exe_folder.h"
#include "platform/name_compare.h"
#include "race/car_models.h"
#include "race/quick_race.h"
#include "race/race_frame.h"
#include "save/saved_game.h"
#include "season/driver_file.h"
#include "files/config.h"
#include "files/folder_list.h"
#include "files/options_file.h"
#include "state/game_state.h"
#include "state/random_table.h"
#include "track/track_records.h"

#include <SDL.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr int stepsPerLapAllowed = 12000;  // two minutes a lap before a race is given up
constexpr int startGraceSteps = 100;       // the grid empties during the first second
constexpr float stuckSpeed = 1.0f;
constexpr int sameStopSteps = 500;

bool number(const std::string& text, long low, long high, long& out)
{
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && at == end && !text.empty() && out >= low && out <= high;
}

bool parseSkills(const std::string& text, std::vector<int>& skills)
{
    skills.clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        long s = 0;
        if (!number(text.substr(start, comma - start), 1, 200, s)) return false;
        skills.push_back(int(s));
        start = comma + 1;
    }
    return !skills.empty() && skills.size() <= maxCars;
}

// The cars of the game folder without writing a default one when there are none.
bool chooseModel(const std::string& name, CarModel& model, std::string& why)
{
    std::vector<std::string> files;
    listFolder(files, "cars", "car", listFiles, 0);
    std::vector<CarModel> list;
    for (const std::string& f : files) readCarFile("cars\\" + f + ".car", list);
    if (list.empty()) list.push_back(generalCarModel());
    if (name.empty()) return model = list[0], true;
    for (const CarModel& m : list)
        if (equalNoCase(std::string(m.name, strnlen(m.name, sizeof m.name)), name)) return model = m, true;
    return why = "no car type '" + name + "'", false;
}

struct Tally {
    int steps = 0;
    int pitStops[maxCars] = {};
    int lastAtBox[maxCars] = {};  // step the car last held a box
    int stuck[maxCars] = {};
    int empty[maxCars] = {};
    int lapsSeen[maxCars] = {};
    int crossedAt[maxCars] = {};     // race clock of the car's last counted crossing
    std::vector<int> lapTimes[maxCars];
};

// Ground cells in their tyre-marked forms.
int markedCells()
{
    if (!game.surfaceMap) return 0;
    int n = 0;
    for (int i = 0; i < surfaceMapSide * surfaceMapSide; ++i) n += game.surfaceMap[i] >= 40 && game.surfaceMap[i] < 48;
    return n;
}

// One line per step of one car: where it is, how it moves and what its driver has in mind.
void traceStep(int car)
{
    if (car < 0 || car >= game.carCount || game.racePhase < Racing) return;
    const CarState& c = game.cars[car];
    int box = -1;
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b)
        if (game.pitBoxes[b].owner == car) box = b;
    std::fprintf(stderr,
                 "%6d pos %7.2f %6.2f %7.2f speed %6.2f wheel %6.2f up %5.2f mode %3d line %3u off %3u stuck %5d "
                 "lap %2d gate %2d fuel %5d tyres %5d damage %5d box %2d\n",
                 game.raceClock, c.positionVector.x, c.positionVector.y, c.positionVector.z,
                 std::sqrt(dot(c.velocity, c.velocity)), c.wheelSpeed, c.upAxis.y, c.revvingCounter, c.controls[2],
                 c.controls[3], c.upsideDownCounter, c.laps, c.nextCheckpoint, c.fuel, c.tyres, c.damage, box);
}

bool servedAtBox(int car)
{
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b)
        if (game.pitBoxes[b].owner == car) return true;
    return false;
}

// What the race itself does not count: stops at the boxes, and steps a racing car stood still.
void tallyStep(Tally& t)
{
    ++t.steps;
    // A car that overshoots its box and backs into it again is still on the same stop.
    for (int b = 0; b < game.pitBoxCount && b < maxPitBoxes; ++b) {
        uint8_t owner = game.pitBoxes[b].owner;
        if (owner >= game.carCount) continue;
        if (t.lastAtBox[owner] == 0 || t.steps - t.lastAtBox[owner] > sameStopSteps) ++t.pitStops[owner];
        t.lastAtBox[owner] = t.steps;
    }
    for (int i = 0; i < game.carCount; ++i) {
        const CarState& c = game.cars[i];
        // The lap the race counted, uncapped: a lost gate shows as a lap of twice the others.
        if (c.laps > t.lapsSeen[i]) {
            t.lapTimes[i].push_back(c.lastCrossing - t.crossedAt[i]);
            t.crossedAt[i] = c.lastCrossing;
            t.lapsSeen[i] = c.laps;
        }
        if (game.racePhase == Racing && c.laps < game.raceLaps && c.fuel == 0) ++t.empty[i];
    }
    if (game.racePhase != Racing || game.raceClock < startGraceSteps) return;
    for (int i = 0; i < game.carCount; ++i) {
        const CarState& c = game.cars[i];
        if (c.laps >= game.raceLaps || servedAtBox(i)) continue;
        if (!(dot(c.velocity, c.velocity) >= stuckSpeed * stuckSpeed)) ++t.stuck[i];
    }
}

// The running order as the race left it, with any car it lost appended in index order.
std::vector<int> finishingOrder()
{
    std::vector<int> order;
    for (int p = 0; p < game.carCount; ++p) {
        int car = game.runningOrder[p];
        if (car >= 0 && car < game.carCount && std::find(order.begin(), order.end(), car) == order.end())
            order.push_back(car);
    }
    for (int car = 0; car < game.carCount; ++car)
        if (std::find(order.begin(), order.end(), car) == order.end()) order.push_back(car);
    return order;
}

// The game writes the race into its own saves folder, and from there it is copied out.
bool saveRace(const std::string& target)
{
    return saveGame(simSavedGameName) && copySavedGameOut(target);
}

}  // namespace

bool parseSimArguments(int argc, char** argv, SimArguments& out, std::string& why)
{
    bool carsGiven = false, skillsGiven = false, fieldGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return why = arg + " needs a value", false;
            v = argv[++i];
            return true;
        };
        std::string v;
        long n = 0;
        if (arg == "--json") out.json = true;
        else if (arg == "--save-records") out.saveRecords = true;
        else if (arg == "--cars") {
            if (!value(v)) return false;
            if (!number(v, 1, maxCars, n)) return why = "bad number of cars '" + v + "' (1..6)", false;
            out.cars = int(n);
            carsGiven = fieldGiven = true;
        } else if (arg == "--laps") {
            if (!value(v)) return false;
            if (!number(v, 1, 100, n)) return why = "bad lap count '" + v + "' (1..100)", false;
            out.laps = int(n);
            fieldGiven = true;
        } else if (arg == "--skill") {
            if (!value(v)) return false;
            if (!parseSkills(v, out.skills))
                return why = "bad skills '" + v + "' (one to six of 1..200, by commas)", false;
            skillsGiven = fieldGiven = true;
        } else if (arg == "--seed") {
            if (!value(v)) return false;
            if (!number(v, 0, 0xFFFFFFFFL, n)) return why = "bad seed '" + v + "'", false;
            out.seed = uint32_t(n);
        } else if (arg == "--options") {
            if (!value(out.optionsFile)) return false;
        } else if (arg == "--save") {
            if (!value(out.saveFile)) return false;
            if (out.saveFile.empty()) return why = "--save needs a file name", false;
            // The race runs in a folder of its own: a relative name means the caller's folder.
            std::error_code ec;
            fs::path absolute = fs::absolute(out.saveFile, ec);
            if (!ec) out.saveFile = absolute.string();
        } else if (arg == "--load") {
            if (!value(out.loadFile)) return false;
            if (out.loadFile.empty()) return why = "--load needs a file name", false;
        } else if (arg == "--at-step") {
            if (!value(v)) return false;
            if (!number(v, 0, 100000000, n)) return why = "bad step count '" + v + "' (0 or more)", false;
            out.saveAfterSteps = int(n);
        } else if (arg == "--at") {
            if (!value(v)) return false;
            double seconds = 0;
            const char* end = v.data() + v.size();
            auto [at, ec] = std::from_chars(v.data(), end, seconds);
            if (ec != std::errc() || at != end || v.empty() || !(seconds >= 0 && seconds <= 1.0e6))
                return why = "bad race time '" + v + "' (seconds, 0 or more)", false;
            out.saveAtStep = int(seconds * 100 + 0.5);
        } else if (arg == "--soak") {
            if (!value(v)) return false;
            if (!number(v, 1, 1000, n)) return why = "bad soak length '" + v + "' (1..1000 hours)", false;
            out.soakHours = int(n);
        } else if (arg == "--trace") {
            if (!value(v)) return false;
            if (!number(v, 1, maxCars, n)) return why = "bad car to trace '" + v + "' (1..6)", false;
            out.traceCar = int(n) - 1;
        } else if (arg == "--car") {
            if (!value(out.car)) return false;
            fieldGiven = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return why = "unknown option '" + arg + "'", false;
        } else if (out.track.empty()) {
            out.track = arg;
        } else {
            return why = "one track only: '" + arg + "'", false;
        }
    }
    if (out.track.empty() && out.loadFile.empty()) return why = "no track given", false;
    if (out.saveAtStep >= 0 && out.saveFile.empty()) return why = "--at needs --save", false;
    if (out.saveAfterSteps >= 0 && out.saveFile.empty()) return why = "--at-step needs --save", false;
    if (out.saveAfterSteps >= 0 && out.saveAtStep >= 0) return why = "--at or --at-step, not both", false;
    // A soak races the longest race there is, from the grid, and writes nothing.
    if (out.soakHours > 0 && (!out.loadFile.empty() || !out.saveFile.empty() || out.laps > 0 || out.saveRecords))
        return why = "--soak takes no --load, --save, --laps or --save-records", false;
    // A saved game brings its own field, laps and cars.
    if (!out.loadFile.empty() && fieldGiven) return why = "--load takes no --cars, --laps, --skill or --car", false;
    // A list of skills names the field; one skill is everybody's.
    if (skillsGiven && out.skills.size() > 1) {
        if (carsGiven && int(out.skills.size()) != out.cars)
            return why = "--skill lists a number of drivers other than --cars", false;
        out.cars = int(out.skills.size());
    }
    return true;
}

namespace {

// The drivers' profiles while the race runs: the race's own for a new race, the driver list's
// for a loaded one (the load adds its drivers there).
struct Field {
    std::vector<DriverProfile> profiles;
    std::string carType;
    std::string trackShown;
    uint8_t gridRandom = 0;  // the random draw the grid left, as a load leaves it too
    bool loaded = false;
    ~Field()
    {
        for (DriverProfile*& p : game.drivers) p = nullptr;
        if (loaded) game.driverList.clear();
        game.raceHooks = RaceHooks{};
        game.keySnapshot = nullptr;
    }
};

std::string modelName(const CarModel& m) { return std::string(m.name, strnlen(m.name, sizeof m.name)); }

bool startNewRace(const SimArguments& a, const SimFolder& s, Field& f, std::string& why)
{
    CarModel model{};
    if (!chooseModel(a.car, model, why)) return false;
    f.carType = modelName(model);
    f.trackShown = a.track;
    std::vector<RaceDriver> drivers;
    for (int i = 0; i < a.cars; ++i) {
        int skill = a.skills.size() == 1 ? a.skills[0] : a.skills[size_t(i)];
        drivers.push_back(computerDriverEntry("Computer " + std::to_string(i + 1), skill, model, i));
    }
    // A saved game keeps each car's colours in its driver's profile; these drivers have no
    // files, so the race lends them profiles of their own, as a season's drivers have.
    for (const RaceDriver& d : drivers) {
        DriverProfile p = newDriverProfile(false);
        p.colour1 = d.colour1;
        p.colour2 = d.colour2;
        std::copy(d.controls, d.controls + 4, p.controls);
        f.profiles.push_back(p);
    }
    for (size_t i = 0; i < f.profiles.size() && i < size_t(maxCars); ++i) game.drivers[i] = &f.profiles[i];
    game.seasonRace = 0;
    game.seasonRaceCount = 1;
    if (prepareRace(s.entry, drivers, a.laps) != 0) return why = "the game refuses the track " + a.track, false;
    f.gridRandom = game.randomIndex;
    game.racePhase = Countdown;
    return true;
}

// What a saved game cannot carry of the race as it stands and of tmsim's counts of it, so a
// race loaded from it may run on otherwise or report otherwise. Empty: the file holds it all.
std::vector<std::string> unsavedState(const Field& f, const Tally& t, int marksAtStart)
{
    std::vector<std::string> lacks = unsavedRaceState(f.gridRandom, markedCells() != marksAtStart);
    bool laps = false, stops = false, stuck = false, empty = false;
    for (int i = 0; i < maxCars; ++i) {
        laps = laps || !t.lapTimes[i].empty();
        stops = stops || t.pitStops[i] != 0;
        stuck = stuck || t.stuck[i] != 0;
        empty = empty || t.empty[i] != 0;
    }
    if (laps) lacks.push_back("lap times");
    if (stops) lacks.push_back("pit stop count");
    if (stuck) lacks.push_back("stuck count");
    if (empty) lacks.push_back("empty-tank count");
    return lacks;
}

}  // namespace

bool runSimulation(const SimArguments& a, SimResult& r, std::string& why, const SimWatch* watch)
{
    SimFolder s;
    if (!(a.loadFile.empty() ? stageNewRace(a, s, why) : stageSavedGame(a, s, why))) return false;
    game.exeFolder = s.root.string();
    changeToFolder(game.exeFolder);
    loadConfig();
    if (a.optionsFile.empty()) setDefaultOptions(game.options);
    else loadOptions();
    if (a.kilometres > 0) {
        game.options.raceLength = uint16_t(a.kilometres);
        game.options.distanceUnit = 1;
    }

    // The same seed gives the same race in a process of its own or after another race.
    std::srand(a.seed);
    fillRandomTable();
    game.randomIndex = 0;
    Field f;
    uint8_t keys[keySnapshotSize] = {};
    game.keySnapshot = keys;
    game.raceHooks = RaceHooks{};
    int steps = 0;
    if (a.loadFile.empty()) {
        if (!startNewRace(a, s, f, why)) return false;
    } else {
        f.loaded = true;
        ContinuedRace c;
        if (!continueSavedRace(a, c, why)) return false;
        f.carType = c.carType;
        f.trackShown = c.trackShown;
        f.gridRandom = c.gridRandom;
        steps = c.steps;
    }
    game.raceRunning = 1;
    r = SimResult{};
    int marksBefore = markedCells();
    Tally t;
    // Laps before a load were counted by the race that was saved.
    for (int i = 0; i < game.carCount && i < maxCars; ++i) {
        t.lapsSeen[i] = game.cars[i].laps;
        t.crossedAt[i] = game.cars[i].lastCrossing;
    }
    int limit = lightsSteps + std::max(game.raceLaps, 1) * stepsPerLapAllowed;
    bool saved = false, saveWritten = false;
    std::vector<std::string> lacks;
    auto saveDue = [&] {
        if (a.saveFile.empty() || saved) return false;
        if (a.saveAfterSteps >= 0) return steps >= a.saveAfterSteps;
        return a.saveAtStep >= 0 && game.racePhase >= Racing && game.raceClock >= a.saveAtStep;
    };
    auto save = [&] {
        saved = true;
        lacks = unsavedState(f, t, marksBefore);
        saveWritten = saveRace(a.saveFile);
    };
    if (saveDue()) save();
    while (game.racePhase < RaceOver && steps < limit) {
        raceStep();
        tallyStep(t);
        if (a.traceCar >= 0) traceStep(a.traceCar);
        ++steps;
        if (saveDue()) save();
        if (watch && !watch->afterStep(watch->context)) break;
    }
    // Without a time, or with one the race never reached, the race is saved as it ended.
    if (!a.saveFile.empty() && !saved) save();
    game.raceRunning = 0;
    int marks = markedCells() - marksBefore;
    if (a.saveRecords) saveTrackRecords();

    r.saved = saveWritten;
    r.saveAsked = !a.saveFile.empty();
    r.saveLacks = lacks;
    r.track = f.trackShown;
    r.carType = f.carType;
    r.laps = game.raceLaps;
    r.seed = a.seed;
    r.raceSteps = steps;
    r.tyreMarks = marks;
    r.fastestLap = game.fastestLapTime;
    r.fastestLapCar = game.fastestLapCar;
    r.allFinished = true;
    int position = 0;
    for (int car : finishingOrder()) {
        const CarState& c = game.cars[car];
        SimCar out;
        out.car = car;
        out.name = game.driverNames[car];
        out.skill = int(c.controls[1]);
        out.position = ++position;
        out.laps = c.laps;
        out.finished = c.laps >= game.raceLaps;
        out.bestLap = c.bestLap;
        out.totalTime = c.lastCrossing;
        out.pitStops = t.pitStops[car];
        out.damage = c.damage;
        out.fuel = c.fuel;
        out.tyres = c.tyres;
        out.stuckSteps = t.stuck[car];
        out.emptySteps = t.empty[car];
        out.lapTimes = t.lapTimes[car];
        r.allFinished = r.allFinished && out.finished;
        r.cars.push_back(out);
    }
    return true;
}

static const char usage[] =
    "usage: tmsim TRACK.trk [--cars N] [--laps N] [--skill S[,S...]] [--seed N] [--options FILE]\n"
    "             [--car NAME] [--json] [--save-records] [--save FILE.gam [--at SECONDS | --at-step N]]\n"
    "             [--trace CAR]\n"
    "       tmsim --load FILE.gam [TRACK.trk] [--seed N] [--options FILE] [--json] [--save ...] [--trace CAR]\n"
    "  --save FILE.gam  the race as a saved game, with its replay, when it is over\n"
    "  --at SECONDS     ... or at that race time instead\n"
    "  --at-step N      ... or after N steps from the grid, the lights included\n"
    "  --load FILE.gam  continues a saved game to the end of its race (its track is looked for\n"
    "                   beside TRACK.trk, else in the game folder's tracks); --seed as the race had\n"
    "  --trace CAR      every step of car CAR (1..6) on standard error\n"
    "  --soak HOURS     races of 100 km back to back, one seed after another, for HOURS of race\n"
    "                   time: cars off the ground, memory and pace of the first hour and the last\n";

int tmsimMain(int argc, char** argv, std::string& out, std::string& err)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0) return out = usage, 0;
    SimArguments a;
    std::string why;
    if (!parseSimArguments(argc, argv, a, why)) return err = "tmsim: " + why + "\n", 2;
    // No window and no sound device: the race runs on SDL's dummy drivers.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    if (a.soakHours > 0) {
        SoakResult soak;
        bool ran = runSoak(a, soak, why);
        SDL_Quit();
        if (!ran) return err = "tmsim: " + why + "\n", 2;
        out = a.json ? soakReportJson(soak) : soakReportText(soak);
        return soakHeld(soak) ? 0 : 1;
    }
    SimResult r;
    bool ran = runSimulation(a, r, why);
    SDL_Quit();
    if (!ran) return err = "tmsim: " + why + "\n", 2;
    if (!a.saveFile.empty() && !r.saved) return err = "tmsim: could not write " + a.saveFile + "\n", 2;
    out = a.json ? simReportJson(r) : simReportText(r);
    return r.allFinished ? 0 : 1;
}

#pragma once
// A whole race of computer drivers from the grid to its end, as fast as the machine allows.
#include <cstdint>
#include <string>
#include <vector>

struct SimArguments {
    std::string track;              // host path of a .trk file; with loadFile, where its track is
    int cars = 6;
    int laps = 0;                   // 0: the options' race length
    std::vector<int> skills{100};   // one for every car, or one per car
    uint32_t seed = 1;
    std::string optionsFile;        // host path of an options.set; empty: a new player's options
    std::string car;                // car type by name; empty: the first of the list
    bool json = false;
    bool saveRecords = false;
    std::string gameFolder;         // where cars\ is read; empty: the program's folder
    std::string saveFile;           // host path the race is saved to as a saved game; empty: none
    int saveAtStep = -1;            // race clock (steps) to save at; -1: when the race is over
    int saveAfterSteps = -1;        // ... or steps from the grid, the lights included
    std::string loadFile;           // host path of a saved game to continue; empty: a new race
    int traceCar = -1;              // car index whose every step goes to standard error; -1: none
    int kilometres = 0;             // a race length in kilometres over the options'; 0: none
    int soakHours = 0;              // races back to back for this much race time; 0: one race
};

// The longest race the options allow: 100 of the unit, and a kilometre is shorter than a lap.
constexpr int longestRaceKilometres = 100;

// False, with the reason in why, for anything tmsim cannot run with.
bool parseSimArguments(int argc, char** argv, SimArguments& out, std::string& why);

struct SimCar {
    int car = 0;
    std::string name;
    int skill = 0;
    int position = 0;               // 1 = winner
    int laps = 0;
    bool finished = false;
    int bestLap = 6000;             // steps
    int totalTime = 0;              // steps at the last crossing of the line
    int pitStops = 0;
    int damage = 0, fuel = 0, tyres = 0;  // 0..65535 at the end
    int stuckSteps = 0;
    int emptySteps = 0;             // steps raced with an empty tank
    std::vector<int> lapTimes;      // steps of every counted lap, in order
};

struct SimResult {
    std::string track;
    std::string carType;
    int laps = 0;
    uint32_t seed = 0;
    int raceSteps = 0;              // steps from the grid to the end, countdown included
    int fastestLap = 6000;
    int fastestLapCar = -1;
    std::vector<SimCar> cars;       // in finishing order
    bool allFinished = false;
    bool saved = false;             // the saved game was written
    bool saveAsked = false;
    // What the race held at the save that the file cannot: empty, the file held it whole.
    std::vector<std::string> saveLacks;
    int tyreMarks = 0;              // ground cells the race marked
};

// Looks at the race after every step; false from afterStep ends the race there.
struct SimWatch {
    bool (*afterStep)(void* context);
    void* context;
};

// Runs the race. False, with the reason in why, when the track or the options do not load.
bool runSimulation(const SimArguments& args, SimResult& result, std::string& why, const SimWatch* watch = nullptr);

// The whole program: its output and its exit status (0 all finished, 1 one did not, 2 bad
// arguments or a track that does not load).
int tmsimMain(int argc, char** argv, std::string& out, std::string& err);

#include "sim_report.h"

#include <nlohmann/json.hpp>

#include <cstdio>

// Steps as seconds with hundredths, whole minutes in front from a minute on.
static std::string timeText(int steps)
{
    char s[32];
    if (steps < 6000) std::snprintf(s, sizeof s, "%d.%02d", steps / 100, steps % 100);
    else std::snprintf(s, sizeof s, "%d:%02d.%02d", steps / 6000, steps / 100 % 60, steps % 100);
    return s;
}

static std::string lapText(int steps) { return steps > 0 && steps < 6000 ? timeText(steps) : "-"; }

static double percent(int amount) { return amount * 100.0 / 65535.0; }

std::string simReportText(const SimResult& r)
{
    std::string out;
    char line[200];
    std::snprintf(line, sizeof line, "%s: %d lap%s, %zu car%s of type %s, seed %u, %s of racing\n", r.track.c_str(),
                  r.laps, r.laps == 1 ? "" : "s", r.cars.size(), r.cars.size() == 1 ? "" : "s", r.carType.c_str(), r.seed,
                  timeText(r.raceSteps).c_str());
    out += line;
    out += "pos car driver       skill laps  best lap  total time  pits damage   fuel  tyres  stuck  empty\n";
    for (const SimCar& c : r.cars) {
        std::snprintf(line, sizeof line, "%3d %3d %-12s %5d %4d %9s %11s %5d %5.1f%% %5.1f%% %5.1f%% %6d %6d\n",
                      c.position, c.car + 1, c.name.c_str(), c.skill, c.laps, lapText(c.bestLap).c_str(),
                      c.finished ? timeText(c.totalTime).c_str() : "-", c.pitStops, percent(c.damage), percent(c.fuel),
                      percent(c.tyres), c.stuckSteps, c.emptySteps);
        out += line;
    }
    if (r.fastestLapCar >= 0 && r.fastestLap > 0 && r.fastestLap < 6000) {
        std::string name;
        for (const SimCar& c : r.cars)
            if (c.car == r.fastestLapCar) name = c.name;
        std::snprintf(line, sizeof line, "fastest lap %s by car %d (%s)\n", lapText(r.fastestLap).c_str(),
                      r.fastestLapCar + 1, name.c_str());
    } else {
        std::snprintf(line, sizeof line, "fastest lap -\n");
    }
    out += line;
    for (const SimCar& c : r.cars) {
        std::string laps = "laps of car " + std::to_string(c.car + 1) + ":";
        for (int t : c.lapTimes) laps += " " + timeText(t);
        out += laps + "\n";
    }
    return out;
}

std::string simReportJson(const SimResult& r)
{
    nlohmann::ordered_json j;
    j["track"] = r.track;
    j["carType"] = r.carType;
    j["laps"] = r.laps;
    j["seed"] = r.seed;
    j["raceSteps"] = r.raceSteps;
    j["allFinished"] = r.allFinished;
    j["tyreMarks"] = r.tyreMarks;
    j["fastestLap"] = {{"steps", r.fastestLap}, {"car", r.fastestLapCar >= 0 ? r.fastestLapCar + 1 : 0}};
    nlohmann::ordered_json cars = nlohmann::ordered_json::array();
    for (const SimCar& c : r.cars) {
        cars.push_back({{"position", c.position}, {"car", c.car + 1}, {"driver", c.name}, {"skill", c.skill},
                        {"laps", c.laps}, {"finished", c.finished}, {"bestLap", c.bestLap},
                        {"totalTime", c.finished ? c.totalTime : 0}, {"pitStops", c.pitStops}, {"damage", c.damage},
                        {"fuel", c.fuel}, {"tyres", c.tyres}, {"stuckSteps", c.stuckSteps},
                        {"emptySteps", c.emptySteps}, {"lapTimes", c.lapTimes}});
    }
    j["cars"] = cars;
    if (r.saveAsked) j["save"] = {{"written", r.saved}, {"whole", r.saveLacks.empty()}, {"lacks", r.saveLacks}};
    return j.dump(2) + "\n";
}

static double change(double first, double last) { return first > 0 ? (last - first) * 100.0 / first : 0.0; }

std::string soakReportText(const SoakResult& r)
{
    std::string out;
    char line[240];
    std::snprintf(line, sizeof line, "%s: %d h of race time, %d cars of type %s, %d races of %d km from seed %u\n",
                  r.track.c_str(), r.hours, r.cars, r.carType.c_str(), r.races, longestRaceKilometres, r.seed);
    out += line;
    std::snprintf(line, sizeof line,
                  "steps %lld, cars through the ground %lld, centres sunk below it %lld (the deepest %.3f m), "
                  "races run out unfinished %d\n",
                  r.steps, r.offGround, r.centreBelow, double(r.deepestBelow), r.racesUnfinished);
    out += line;
    std::snprintf(line, sizeof line, "memory after the first hour %ld KiB, after the last %ld KiB (%+.2f %%)\n",
                  r.firstHourKiB, r.lastHourKiB, change(double(r.firstHourKiB), double(r.lastHourKiB)));
    out += line;
    std::snprintf(line, sizeof line,
                  "steps a second of processor time, first hour %.0f, last hour %.0f (%+.1f %%), "
                  "the first hour again at the end %.0f (%+.1f %%)\n",
                  r.firstHourStepsPerSecond, r.lastHourStepsPerSecond,
                  change(r.firstHourStepsPerSecond, r.lastHourStepsPerSecond), r.againStepsPerSecond,
                  change(r.firstHourStepsPerSecond, r.againStepsPerSecond));
    out += line;
    return out;
}

std::string soakReportJson(const SoakResult& r)
{
    nlohmann::ordered_json j;
    j["track"] = r.track;
    j["carType"] = r.carType;
    j["cars"] = r.cars;
    j["hours"] = r.hours;
    j["seed"] = r.seed;
    j["races"] = r.races;
    j["racesUnfinished"] = r.racesUnfinished;
    j["steps"] = r.steps;
    j["offGround"] = r.offGround;
    j["centreBelow"] = r.centreBelow;
    j["deepestBelow"] = r.deepestBelow;
    j["memoryKiB"] = {{"firstHour", r.firstHourKiB}, {"lastHour", r.lastHourKiB}};
    j["stepsPerSecond"] = {{"firstHour", r.firstHourStepsPerSecond},
                           {"lastHour", r.lastHourStepsPerSecond},
                           {"firstHourAgain", r.againStepsPerSecond}};
    j["held"] = soakHeld(r);
    return j.dump(2) + "\n";
}

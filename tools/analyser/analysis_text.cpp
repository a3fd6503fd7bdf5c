#include "analysis_text.h"

#include <nlohmann/json.hpp>

#include <cstdarg>
#include <cstdio>

std::vector<Gauge> gauges(const SavedGameInfo& g)
{
    return {
        {"Tyres:", g.tyreWear, 100, " %"},
        {"Consumption:", g.fuelConsumption, 100, " %"},
        {"Fuelmass:", g.fuelMass, 200, " kg"},
        {"Damage:", g.damage, 100, " %"},
        {"Speed:", g.stepRate, 200, " %"},
    };
}

std::string participantText(const AnalysedCar& c)
{
    return c.name + (c.human ? ",human" : ",AI " + std::to_string(c.skill));
}

bool averageAiSkill(const SavedGameInfo& g, double& mean)
{
    int count = 0, sum = 0;
    for (const AnalysedCar& c : g.cars) {
        if (c.human) continue;
        ++count;
        sum += c.skill;
    }
    mean = count ? double(sum) / count : 0;
    return count > 0;
}

static std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
static std::string format(const char* f, ...)
{
    char s[256];
    va_list args;
    va_start(args, f);
    std::vsnprintf(s, sizeof s, f, args);
    va_end(args);
    return s;
}

static std::string carAverageSpeed(const Analysis& a, const AnalysedCar& c)
{
    return averageSpeedText(c.laps, a.track.lapLength, c.lastCrossing);
}

std::vector<std::string> carTableLines(const Analysis& a)
{
    std::vector<std::string> lines;
    for (const AnalysedCar& c : a.game.cars) {
        lines.push_back(format("%d. %-19s %-12s Laps %-3d Best %s", c.position, participantText(c).c_str(),
                               c.carName.c_str(), c.laps, hundredthsText(c.bestLap).c_str()));
        lines.push_back(format("   Last %s at %s  %s  T %u F %u D %u  Up %d  S %d",
                               hundredthsText(c.lastLap).c_str(), hundredthsText(c.lastCrossing).c_str(),
                               a.trackRead ? carAverageSpeed(a, c).c_str() : "- kmh", unsigned(c.tyres),
                               unsigned(c.fuel), unsigned(c.damage), c.upsideDown, c.skill));
    }
    return lines;
}

std::vector<std::string> settingsLines(const Analysis& a)
{
    const SavedGameInfo& g = a.game;
    std::vector<std::string> lines;
    lines.push_back(format("Track: %s   Race %u of %u   Length: %d %s", g.trackName.empty() ? "-" : g.trackName.c_str(),
                           g.seasonRace + 1, g.seasonRaceCount, g.raceLength, g.distanceUnit ? "km" : "laps"));
    lines.push_back(format("T/C/F/D/S:  %d / %d / %d / %d / %d", g.tyreWear, g.fuelConsumption, g.fuelMass,
                           g.damage, g.stepRate));
    std::string order = "Running order:";
    for (int64_t car : g.runningOrder) order += " " + std::to_string(car);
    lines.push_back(order + format("   Race laps %d  Leader laps %d  Race clock %s  Fastest lap %s", g.raceLaps,
                                   g.leaderLaps, hundredthsText(g.raceClock).c_str(),
                                   hundredthsText(g.fastestLapTime).c_str()));
    return lines;
}

static std::string lapLine(const char* what, const Analysis& a, int index)
{
    if (index < 0) return format("%s -", what);
    return format("%s%d : %s", what, index + 1, hundredthsText(a.laps.laps[size_t(index)].hundredths).c_str());
}

std::vector<std::string> lapSummaryLines(const Analysis& a, int selectedLap)
{
    std::vector<std::string> lines;
    lines.push_back(lapLine("Fast Lap #", a, a.laps.fastest));
    lines.push_back(lapLine("Slow Lap #", a, a.laps.slowest));
    double mean = 0;
    lines.push_back(averageAiSkill(a.game, mean) ? format("Average AI: %.1f", mean) : "Average AI: ");
    if (selectedLap > 0 && selectedLap <= int(a.laps.laps.size())) {
        const Lap& lap = a.laps.laps[size_t(selectedLap - 1)];
        lines.push_back(format("Lap %d: %s  %s", selectedLap, hundredthsText(lap.hundredths).c_str(),
                               averageSpeedText(1, a.track.lapLength, lap.hundredths).c_str()));
    } else if (a.laps.fastest >= 0) {
        const Lap& lap = a.laps.laps[size_t(a.laps.fastest)];
        lines.push_back("Fast lap speed: " + averageSpeedText(1, a.track.lapLength, lap.hundredths));
    } else {
        lines.push_back("");
    }
    return lines;
}

std::vector<std::string> lapListEntries(const Analysis& a)
{
    std::vector<std::string> entries;
    for (size_t k = 0; k < a.laps.laps.size(); ++k)
        entries.push_back(format("%zu: %s", k + 1, hundredthsText(a.laps.laps[k].hundredths).c_str()));
    return entries;
}

std::vector<std::string> pictureLines(const Analysis& a, int selectedLap)
{
    std::vector<std::string> lines;
    lines.push_back("Best: " + (a.trackRead ? bestTimeText(a.track) : std::string("-")));
    if (selectedLap > 0 && selectedLap <= int(a.laps.laps.size()))
        lines.push_back(format("Lap %d: %s", selectedLap,
                               hundredthsText(a.laps.laps[size_t(selectedLap - 1)].hundredths).c_str()));
    else
        lines.push_back(lapLine("Fast Lap #", a, a.laps.fastest));
    return lines;
}

std::string reportText(const Analysis& a)
{
    std::string out;
    auto add = [&](const std::string& s) { out += s + "\n"; };
    add("Saved game: " + a.gamePath);
    for (const std::string& s : settingsLines(a)) add(s);
    for (const Gauge& gauge : gauges(a.game)) add(format("%-13s %d%s", gauge.label, gauge.value, gauge.unit));
    for (const std::string& s : carTableLines(a)) add(s);
    add("Track file: " + (a.trackRead ? a.trackPath : std::string("-")));
    add(pictureLines(a, 0).front());
    for (const std::string& s : lapSummaryLines(a, 0))
        if (!s.empty()) add(s);
    std::string list = "Laps:";
    for (const std::string& e : lapListEntries(a)) list += "  " + e;
    add(list);
    for (const std::string& m : a.messages) add("> " + m);
    return out;
}

std::string reportJson(const Analysis& a)
{
    const SavedGameInfo& g = a.game;
    nlohmann::ordered_json j;
    j["savedGame"] = a.gamePath;
    j["version"] = g.version;
    j["track"] = g.trackName;
    j["trackFile"] = a.trackRead ? a.trackPath : "";
    j["seasonRace"] = g.seasonRace + 1;
    j["seasonRaceCount"] = g.seasonRaceCount;
    j["raceLength"] = g.raceLength;
    j["distanceUnit"] = g.distanceUnit ? "km" : "laps";
    nlohmann::ordered_json gs = nlohmann::ordered_json::object();
    for (const Gauge& gauge : gauges(g)) {
        std::string name = gauge.label;
        name.pop_back();
        gs[name] = gauge.value;
    }
    j["settings"] = gs;
    nlohmann::ordered_json cars = nlohmann::ordered_json::array();
    for (const AnalysedCar& c : g.cars) {
        nlohmann::ordered_json cj;
        cj["name"] = c.name;
        cj["human"] = c.human;
        cj["skill"] = c.skill;
        cj["car"] = c.carName;
        cj["position"] = c.position;
        cj["laps"] = c.laps;
        cj["lastCrossing"] = c.lastCrossing;
        cj["lastLap"] = c.lastLap;
        cj["bestLap"] = c.bestLap;
        cj["upsideDown"] = c.upsideDown;
        cj["tyres"] = c.tyres;
        cj["fuel"] = c.fuel;
        cj["damage"] = c.damage;
        cj["averageSpeed"] = a.trackRead ? carAverageSpeed(a, c) : "";
        cars.push_back(cj);
    }
    j["cars"] = cars;
    double mean = 0;
    if (averageAiSkill(g, mean)) j["averageAI"] = mean;
    else j["averageAI"] = nullptr;
    j["runningOrder"] = g.runningOrder;
    j["raceLaps"] = g.raceLaps;
    j["leaderLaps"] = g.leaderLaps;
    j["raceClock"] = g.raceClock;
    j["fastestLapTime"] = g.fastestLapTime;
    j["bestTime"] = a.trackRead ? bestTimeText(a.track) : "";
    j["lapLength"] = a.track.lapLength;
    j["replayFrames"] = g.path.size();
    nlohmann::ordered_json laps = nlohmann::ordered_json::array();
    for (const Lap& lap : a.laps.laps) laps.push_back(lap.hundredths);
    j["lapTimes"] = laps;  // 1/100 s
    j["fastestLap"] = a.laps.fastest + 1;
    j["slowestLap"] = a.laps.slowest + 1;
    j["messages"] = a.messages;
    // Names come from the file as bytes; replace what is not UTF-8 rather than fail.
    return j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

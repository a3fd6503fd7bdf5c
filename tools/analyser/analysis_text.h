#pragma once
// What the window shows, as lines of text: the window draws them, --text prints them and
// --json gives the same values to scripts.
#include "analysis.h"

#include <string>
#include <vector>

struct Gauge {
    const char* label;  // "Tyres:" ...
    int value;
    int maximum;
    const char* unit;   // " %" or " kg"
};

// Tyres, Consumption, Fuelmass, Damage, Speed, from the race settings.
std::vector<Gauge> gauges(const SavedGameInfo& g);

// "Anna,human" or "Otto,AI 85".
std::string participantText(const AnalysedCar& c);

// Mean skill of the computer drivers; false when there is none.
bool averageAiSkill(const SavedGameInfo& g, double& mean);

std::vector<std::string> carTableLines(const Analysis& a);   // two lines a car
std::vector<std::string> settingsLines(const Analysis& a);   // race settings and race values
std::vector<std::string> lapSummaryLines(const Analysis& a, int selectedLap);  // fast/slow lap, Average AI
std::vector<std::string> lapListEntries(const Analysis& a);  // "1: 23.45" per lap
std::vector<std::string> pictureLines(const Analysis& a, int selectedLap);  // under the map

std::string reportText(const Analysis& a);
std::string reportJson(const Analysis& a);

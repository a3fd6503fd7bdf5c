#include "render/race_panels.h"

#include "files/language.h"
#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/number_format.h"
#include "render/text.h"

#include <algorithm>

namespace {

constexpr uint8_t panelColour = 240, frameColour = 241, textColour = 242, headingColour = 245;
constexpr uint8_t rankColour = 244;

int px(float units) { return int(game.guiOriginX + units * game.guiScale); }
int py(float units) { return int(game.guiOriginY + units * game.guiScale); }

// A panel of w x h GUI units centred on the grid, framed.
void panel(float left, float top, float width, float height)
{
    int x0 = px(left), y0 = py(top), x1 = px(left + width), y1 = py(top + height);
    int f = std::max(game.guiQuarter, 1);
    fillCorners(x0 - f, y0 - f, x1 + f, y1 + f, frameColour);
    fillCorners(x0, y0, x1, y1, panelColour);
}

void text(const std::string& s, float x, float y, uint8_t colour = textColour)
{
    drawText(s, px(x), py(y), colour, frameColour);
}

void centred(const std::string& s, float y, uint8_t colour = headingColour)
{
    drawText(s, px(40) - textWidth(s) / 2, py(y), colour, frameColour);
}

std::string right(const std::string& s, size_t width)
{
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

bool isTime(int32_t t) { return t > 0 && t < emptyLapTime; }

// Every panel waits for a key; a new player is told so.
void keyGoesOn(float y)
{
    centred(uiText(164, "Press a key to go on"), y, textColour);
}

}  // namespace

void drawRaceInformation(const RaceInformation& info)
{
    panel(16, 15, 48, 26);
    centred(info.trackName.substr(0, 40), 17);
    if (info.timeTrial) centred(uiText(120, "Time trial"), 20);
    text(uiText(7, "Race distance"), 19, 24);
    std::string laps = std::to_string(info.laps) + " " + (info.laps == 1 ? uiText(1, "lap") : uiText(2, "laps"));
    text(formatDistance(info.distanceMetres) + "  " + laps, 40, 24);
    text(uiText(8, "Track record"), 19, 28);
    if (isTime(info.recordTime)) text(formatTime(info.recordTime) + " " + info.recordHolder, 40, 28);
    if (info.timeTrial) {
        text(uiText(121, "Best time"), 19, 32);
        if (isTime(info.bestTime)) text(formatTime(info.bestTime) + " " + info.bestHolder, 40, 32);
    }
    keyGoesOn(37);
}

void drawRaceResults(const RaceResults& r)
{
    size_t count = std::min(r.lines.size(), size_t(maxCars));
    float height = 16 + 3.0f * std::max<size_t>(count, 2) + (r.timeTrial ? 19 : 0);
    float top = 30 - height / 2;
    panel(2, top, 76, height);
    centred(r.timeTrial ? uiText(119, "Time trial results") : uiText(10, "Official standings"), top + 2);
    float y = top + 7;
    for (size_t i = 0; i < count; ++i, y += 3) {
        const ResultLine& l = r.lines[i];
        text(std::to_string(i + 1) + ".", 4, y);
        text(l.name.substr(0, 12), 7, y);
        if (l.totalTime > 0) text(right(formatTotalTime(l.totalTime), 10), 20, y);
        std::string behind;
        if (l.lapsBehind > 0) behind = formatLapsBehind(l.lapsBehind, uiText(1, "lap"), uiText(2, "laps"));
        else if (i > 0) behind = formatGap(l.gap);
        text(right(behind, 10), 31, y);
        if (isTime(l.bestLap)) text(formatLapTime(l.bestLap), 43, y);
        text(formatAverageSpeed(l.laps, r.lapLength, l.totalTime), 51, y);
    }
    y = top + 7 + 3.0f * std::max<size_t>(count, 2) + 1;
    if (isTime(r.fastestLapTime)) {
        text(uiText(9, "Fastest lap"), 4, y);
        std::string lap = formatTime(r.fastestLapTime) + " " + r.fastestLapHolder.substr(0, 12);
        text(lap, 20, y);
        if (r.fastestLapRank >= 0 && r.fastestLapRank <= 6) text(formatRank(r.fastestLapRank), 21 + float(lap.size()), y, rankColour);
        y += 4;
    }
    if (r.timeTrial) {
        text(uiText(118, "Best times"), 4, y);
        y += 3;
        for (size_t i = 0; i < r.bestTimes.size() && i < 6; ++i, y += 2.5f) {
            if (!isTime(r.bestTimes[i].second)) continue;
            text(std::to_string(i + 1) + ".", 6, y);
            text(r.bestTimes[i].first.substr(0, 12), 9, y);
            text(formatLapTime(r.bestTimes[i].second), 24, y);
        }
    }
    keyGoesOn(top + height - 3);
}

static void pointsLines(const PointsTable& t, float y)
{
    int place = 0;
    for (size_t i = 0; i < t.lines.size() && i < size_t(maxCars); ++i, y += 3) {
        const PointsLine& l = t.lines[i];
        if (!l.sharesPlace || i == 0) place = int(i) + 1;
        if (!l.sharesPlace || i == 0) text(std::to_string(place) + ".", 22, y);
        text(l.name.substr(0, 12), 26, y);
        text(right(formatPoints(l.points), 6), 46, y);
    }
}

void drawChampionshipPoints(const PointsTable& t)
{
    panel(18, 12, 44, 36);
    centred(uiText(13, "Championship points"), 14);
    centred(uiText(14, "after race ") + formatCounter(t.race, t.races), 17, textColour);
    pointsLines(t, 22);
    keyGoesOn(45);
}

void drawLoadingScreen()
{
    fillRect(nullptr, panelColour);
    centred(uiText(16, "LOADING..."), 29, textColour);
}

void drawSeasonStandings(const PointsTable& t)
{
    panel(18, 8, 44, 42);
    centred("Tarmacade", 10, textColour);
    centred(uiText(11, "Official championship"), 14);
    centred(uiText(12, "standings"), 17);
    pointsLines(t, 22);
    keyGoesOn(47);
}

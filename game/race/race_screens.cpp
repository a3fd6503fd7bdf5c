#include "race/race_screens.h"

#include "render/car_panel_text.h"
#include "render/draw_access.h"
#include "render/frame_damage.h"
#include "render/race_view.h"
#include "render/surfaces.h"
#include "state/game_state.h"
#include "track/track_records.h"

#include <algorithm>
#include <cstring>

static std::string recordName(int entry)
{
    const char* n = game.trackRecords.name[entry];
    return std::string(n, strnlen(n, recordNameSize));
}

static std::string driverName(int car)
{
    if (car < 0 || car >= maxCars) return std::string();
    return std::string(game.driverNames[car], strnlen(game.driverNames[car], sizeof game.driverNames[car]));
}

bool drawRacePicture(int steps)
{
    TrackedDrawing tracked;  // the panel texts are marked as the race view's drawing is
    if (!drawRaceView(steps)) return false;
    if (lockDraw()) {
        drawCarPanelTexts();
        unlockDraw();
    }
    return true;
}

// The panel over the race as it stands, without moving anything.
static void showPanel(void (*draw)())
{
    if (!drawRacePicture(0)) return;
    if (lockDraw()) {
        draw();
        unlockDraw();
    }
    presentDrawSurface();
}

RaceInformation raceInformation()
{
    RaceInformation info;
    info.trackName = game.trackEntry.substr(game.trackEntry.find_last_of('\\') + 1);
    info.laps = game.raceLaps;
    info.distanceMetres = uint32_t(std::max(game.raceLaps, 0)) * game.lapLength;
    info.timeTrial = game.carCount == 1;
    info.recordTime = game.trackRecords.time[0];
    info.recordHolder = recordName(0);
    info.bestTime = game.trackRecords.time[1];
    info.bestHolder = recordName(1);
    return info;
}

void showRaceInformation()
{
    showPanel([] { drawRaceInformation(raceInformation()); });
}

// A time trial's fastest lap is ranked where it entered the best times.
static int bestTimeRank(int car, int32_t time)
{
    std::string name = driverName(car);
    for (int i = 1; i < recordCount; ++i)
        if (game.trackRecords.time[i] == time && recordName(i) == name) return i;
    return -1;
}

RaceResults raceResults()
{
    RaceResults r;
    r.timeTrial = game.carCount == 1;
    r.lapLength = game.lapLength;
    int cars = std::clamp(game.carCount, 0, maxCars);
    int winner = -1;
    for (int p = 0; p < cars; ++p) {
        int car = game.runningOrder[p];
        if (car < 0 || car >= cars) continue;
        const CarState& c = game.cars[car];
        if (winner < 0) winner = car;
        const CarState& w = game.cars[winner];
        ResultLine line;
        line.name = driverName(car);
        line.totalTime = c.lastCrossing;
        line.lapsBehind = std::max(int(w.laps) - int(c.laps), 0);
        line.gap = line.lapsBehind == 0 ? std::max(c.lastCrossing - w.lastCrossing, 0) : 0;
        line.bestLap = c.bestLap;
        line.laps = c.laps;
        r.lines.push_back(line);
    }
    r.fastestLapTime = game.fastestLapTime;
    r.fastestLapHolder = driverName(game.fastestLapCar);
    if (game.fastestLapCar >= 0 && game.trackRecordCar == game.fastestLapCar &&
        game.trackRecords.time[0] == game.fastestLapTime)
        r.fastestLapRank = 0;
    else if (r.timeTrial)
        r.fastestLapRank = bestTimeRank(game.fastestLapCar, game.fastestLapTime);
    if (r.timeTrial)
        for (int i = 1; i < recordCount; ++i) r.bestTimes.emplace_back(recordName(i), game.trackRecords.time[i]);
    return r;
}

void showRaceResults()
{
    showPanel([] { drawRaceResults(raceResults()); });
}

#include "season/season_standings.h"

#include "race/race_screens.h"
#include "render/draw_access.h"
#include "render/frame_damage.h"
#include "render/race_view.h"
#include "render/surfaces.h"
#include "season/championship.h"
#include "season/season_points.h"
#include "state/game_state.h"

#include <cstring>

PointsTable standingsTable(bool withoutPointless)
{
    PointsTable t;
    t.race = game.seasonRace + 1;
    t.races = game.seasonRaceCount;
    int order[maxCars];
    int cars = standingsOrder(order);
    for (int p = 0; p < cars; ++p) {
        int car = order[p];
        if (withoutPointless && game.seasonPoints[car] == 0) continue;
        PointsLine line;
        line.name.assign(game.driverNames[car], strnlen(game.driverNames[car], sizeof game.driverNames[car]));
        line.points = game.seasonPoints[car];
        line.sharesPlace = !t.lines.empty() && t.lines.back().points == line.points;
        t.lines.push_back(line);
    }
    return t;
}

// The panel over the race as it stands. The final standings stay in the background surface,
// which the fireworks are drawn over on every step.
static void showOverRace(void (*draw)(const PointsTable&), const PointsTable& table, bool keepAsBackground)
{
    if (!drawRaceView(0)) return;
    if (lockDraw()) {
        draw(table);
        unlockDraw();
    }
    if (keepAsBackground && game.backgroundSurface) {
        SDL_BlitSurface(game.drawSurface, nullptr, game.backgroundSurface, nullptr);
        forgetFrames();
    }
    presentDrawSurface();
}

void showStandings()
{
    if (championshipPointsTotal() == 0) {
        ++game.seasonRace;
        startNextRace();
        return;
    }
    showOverRace(drawChampionshipPoints, standingsTable(true), false);
    game.racePhase = StandingsHeld;
}

void showFinalStandings()
{
    if (championshipPointsTotal() == 0 || game.seasonRace < game.seasonRaceCount - 1) {
        leaveSeason();
        return;
    }
    showOverRace(drawSeasonStandings, standingsTable(false), true);
    game.racePhase = FinalHeld;
    game.fireworksDelay = 0;
    closeSeason();
}

void redrawFinalStandings()
{
    showOverRace(drawSeasonStandings, standingsTable(false), true);
}

#include "ui/driver_stats.h"

#include "state/driver_profile.h"
#include "state/game_state.h"
#include "render/draw_access.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/option_pages.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

namespace {

std::string shownName;
DriverProfile* shown = nullptr;
bool fromPage = false;

constexpr float racesColumn = 40, seasonsColumn = 54, firstRow = 14;

// Places 1st..6th, then the totals.
const ScreenCaption statsCaptions[] = {
    {40, 10, headingColour, 110, ""}, {54, 10, headingColour, 111, ""}, {14, 14, captionColour, 104, ""},
    {14, 17, captionColour, 105, ""}, {14, 20, captionColour, 106, ""}, {14, 23, captionColour, 107, ""},
    {14, 26, captionColour, 108, ""}, {14, 29, captionColour, 109, ""}, {14, 33, headingColour, 112, ""},
    {14, 38, captionColour, 113, ""}, {14, 41, captionColour, 114, ""},
};

void drawNumber(uint32_t n, float x, float y) { drawUnitText(std::to_string(n), x, y, captionColour); }

void drawCounters(const DriverProfile& p)
{
    for (int i = 0; i < 6; ++i) {
        drawNumber(p.raceFinishes[i], racesColumn, firstRow + 3.0f * float(i));
        drawNumber(p.championshipFinishes[i], seasonsColumn, firstRow + 3.0f * float(i));
    }
    drawNumber(p.races, racesColumn, 33);
    drawNumber(p.seasons, seasonsColumn, 33);
    drawNumber(p.totalPoints, racesColumn, 38);
    drawNumber(p.fastestLaps, racesColumn, 41);
}

void leave()
{
    shown = nullptr;
    if (fromPage) returnToDriverPage();
    else returnToParkedScreen();
    fromPage = false;
}

void onOk(Widget*) { leave(); }

void onReset(Widget*)
{
    if (messageBox(messageBoxYesNo, uiText(126), uiText(125), redrawShownScreen) != 1 || !shown) return;
    resetDriverStatistics(*shown);
    saveMenuDriver(shownName);
    redrawShownScreen();
    redrawDialog();
}

void open(const std::string& name, DriverProfile* profile)
{
    shownName = name;
    shown = profile;
    showScreen(screenDriverStats);
}

}  // namespace

void resetDriverStatistics(DriverProfile& p)
{
    p.seasons = 0;
    for (uint32_t& n : p.championshipFinishes) n = 0;
    p.totalPoints = 0;
    p.races = 0;
    for (uint32_t& n : p.raceFinishes) n = 0;
    p.fastestLaps = 0;
}

void buildDriverStats(Widget* w)
{
    makeButton(w[statsOk], 60, 56, 20, 4, widgetDefault | widgetCancel, onOk);
    makeButton(w[statsReset], 0, 56, 20, 4, 0, onReset);
}

void captionDriverStats(Widget* w)
{
    w[statsOk].label = uiText(28);
    w[statsReset].label = uiText(125);
}

void paintDriverStats()
{
    drawPanel(uiText(115) + " - " + shownName);
    bool lockedHere = !game.lockedSurface && lockDraw();
    drawCaptions(statsCaptions, int(std::size(statsCaptions)));
    drawCounters(shown ? *shown : DriverProfile{});
    if (lockedHere) unlockDraw();
}

void openDriverStats(const std::string& name, DriverProfile* profile)
{
    fromPage = false;
    parkScreen();
    open(name, profile);
}

void openDriverStatsFromPage(const std::string& name, DriverProfile* profile)
{
    fromPage = true;
    if (game.dialog.active) closeDialog();
    open(name, profile);
}

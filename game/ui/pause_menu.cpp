#include "ui/pause_menu.h"

#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/text.h"
#include "race/race_pause.h"
#include "ui/dialog.h"
#include "ui/file_dialog.h"
#include "ui/option_pages.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <SDL.h>

#include <cstring>
#include <vector>

namespace {

// The race's last picture, shown behind the menu and the pages it opens.
std::vector<uint8_t> picture;
int pictureWidth = 0, pictureHeight = 0;

void keepPicture()
{
    picture.clear();
    SDL_Surface* s = game.drawSurface;
    bool lockedHere = !game.lockedSurface && lockDraw();
    if (s && game.pixelBase) {
        pictureWidth = s->w, pictureHeight = s->h;
        picture.resize(size_t(s->w) * size_t(s->h));
        for (int y = 0; y < s->h; ++y)
            std::memcpy(&picture[size_t(y) * size_t(s->w)], game.pixelBase + size_t(y) * size_t(game.pixelPitch), size_t(s->w));
    }
    if (lockedHere) unlockDraw();
}

void showPicture()
{
    SDL_Surface* s = game.drawSurface;
    // A picture of another size (the display changed meanwhile) is not shown.
    if (!s || picture.empty() || s->w != pictureWidth || s->h != pictureHeight) {
        fillRect(nullptr, 241);
        return;
    }
    for (int y = 0; y < s->h; ++y)
        std::memcpy(game.pixelBase + size_t(y) * size_t(game.pixelPitch), &picture[size_t(y) * size_t(s->w)], size_t(s->w));
}

void onResume(Widget*)
{
    closeDialog();
    forgetPausePicture();
    SDL_ShowCursor(0);
    resumeRace();
}

void onReplay(Widget*)
{
    closeDialog();
    forgetPausePicture();
    startReplay();
}

void onOptions(Widget*) { openOptionPage(screenAdvancedOptions, true); }
void onSave(Widget*) { openFileDialog(true); }

void onEndRace(Widget*)
{
    closeDialog();
    forgetPausePicture();
    SDL_ShowCursor(0);
    endRaceFromMenu();
}

void onEndSeason(Widget*)
{
    closeDialog();
    forgetPausePicture();
    endSeason();
}

void show()
{
    Widget* w = screenWidgets(screenPauseMenu);
    if (!w || game.dialog.active) return;
    showWidget(w[pauseReplay], replayRecorded());
    for (int i = 0; i < pauseMenuWidgetCount; ++i) w[i].state = 0;
    SDL_ShowCursor(1);
    showScreen(screenPauseMenu, dialogArrowKeys | dialogFocusFirstButton);
}

}  // namespace

void buildPauseMenu(Widget* w)
{
    WidgetRoutine actions[pauseMenuWidgetCount] = {onResume, onReplay, onOptions, onSave, onEndRace, onEndSeason};
    for (int i = 0; i < pauseMenuWidgetCount; ++i) {
        makeButton(w[i], 32, 21 + 3.0f * i, 16, 3, 0, actions[i]);
        w[i].sub = 3;
    }
    w[pauseResume].flags = widgetDefault | widgetCancel;
}

void captionPauseMenu(Widget* w)
{
    const int texts[pauseMenuWidgetCount] = {29, 151, 25, 91, 117, 30};
    for (int i = 0; i < pauseMenuWidgetCount; ++i) w[i].label = uiText(texts[i]);
}

void paintPauseMenu()
{
    bool lockedHere = !game.lockedSurface && lockDraw();
    showPicture();
    int q = std::max(game.guiQuarter, 1);
    int x0 = unitX(30), y0 = unitY(16), x1 = unitX(50), y1 = unitY(41);
    fillCorners(x0 - q, y0 - q, x1 + q, y1 + q, 241);
    fillCorners(x0, y0, x1, y1, 92);
    fillCorners(x0, y0, x1, unitY(19.5f), 241);
    drawTextInBox(uiText(87), {x0, y0, x1 - 1, unitY(19.5f) - 1}, 242, centreHorizontally | centreVertically);
    if (lockedHere) unlockDraw();
}

void openPauseMenu()
{
    // A race from the command line runs over the main menu, which a season's Start parks.
    if (game.dialog.active && game.dialog.dialogId == screenMainMenu && !game.parkedDialog) parkScreen();
    keepPicture();
    show();
}

void returnToPauseMenu()
{
    if (game.dialog.active) closeDialog();
    show();
}

void forgetPausePicture()
{
    picture.clear();
    picture.shrink_to_fit();
}

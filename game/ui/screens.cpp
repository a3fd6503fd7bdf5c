#include "ui/screens.h"

#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/text.h"
#include "files/language.h"
#include "ui/dialog.h"
#include "ui/driver_stats.h"
#include "ui/file_dialog.h"
#include "ui/main_menu.h"
#include "ui/option_pages.h"
#include "ui/pause_menu.h"
#include "ui/track_info.h"
#include "ui/widget_drawing.h"

#include <cmath>

namespace {

struct ScreenDef {
    uint32_t id;
    int count;
    void (*build)(Widget*);
    void (*caption)(Widget*);
    void (*paint)();
};

const ScreenDef screenDefs[] = {
    {screenMainMenu, mainMenuWidgetCount, buildMainMenu, captionMainMenu, paintMainMenu},
    {screenCarChooser, carChooserWidgetCount, buildCarChooser, nullptr, nullptr},  // over the menu as it is
    {screenPauseMenu, pauseMenuWidgetCount, buildPauseMenu, captionPauseMenu, paintPauseMenu},
    {screenOptions, optionsWidgetCount, buildOptionsPage, captionOptionsPage, paintOptionsPage},
    {screenAdvancedOptions, advancedWidgetCount, buildAdvancedPage, captionAdvancedPage, paintAdvancedPage},
    {screenDriverOptions, driverPageWidgetCount, buildDriverPage, captionDriverPage, paintDriverPage},
    {screenFileDialog, fileDialogWidgetCount, buildFileDialog, captionFileDialog, paintFileDialog},
    {screenTrackInfo, trackInfoWidgetCount, buildTrackInfo, captionTrackInfo, paintTrackInfo},
    {screenDriverStats, driverStatsWidgetCount, buildDriverStats, captionDriverStats, paintDriverStats},
};

const ScreenDef* findScreen(uint32_t id)
{
    for (const ScreenDef& d : screenDefs)
        if (d.id == id) return &d;
    return nullptr;
}

uint32_t lastShown = 0;

constexpr uint8_t panelColour = 92, borderColour = 241, titleText = 242;

}  // namespace

int screenWidgetCount(uint32_t id)
{
    const ScreenDef* d = findScreen(id);
    return d ? d->count : 0;
}

Widget* screenWidgets(uint32_t id)
{
    return id < uint32_t(screenSlotCount) ? game.screens[id] : nullptr;
}

const std::string& uiText(int index)
{
    static const std::string none;
    if (index < 0 || index >= uiStringCount) return none;
    return game.uiStrings[index];
}

int unitX(float x) { return int(std::lround(game.guiOriginX + x * float(game.guiScale))); }
int unitY(float y) { return int(std::lround(game.guiOriginY + y * float(game.guiScale))); }

void makeButton(Widget& w, float x, float y, float width, float height, uint32_t flags, WidgetRoutine callback)
{
    w.kind = widgetButton;
    w.x = x, w.y = y, w.w = width, w.h = height;
    w.flags = flags;
    w.callback = callback;
}

void makeSlider(Widget& w, float x, float y, float width, float height, int min, int max, WidgetRoutine callback)
{
    w.kind = widgetSlider;
    w.x = x, w.y = y, w.w = width, w.h = height;
    w.min = min, w.max = max, w.value = min;
    w.callback = callback;
}

void setChoice(Widget& w, int style, const std::string& label)
{
    w.style = style;
    w.label = label;
}

void showWidget(Widget& w, bool shown)
{
    if (shown) w.flags &= ~widgetHidden;
    else w.flags |= widgetHidden;
}

void buildScreens()
{
    for (const ScreenDef& d : screenDefs) {
        Widget*& widgets = game.screens[d.id];
        if (!widgets) {
            widgets = newDialog(d.count);
            d.build(widgets);
            placeDialog(d.count, widgets);
        }
        if (d.caption) d.caption(widgets);
    }
}

void freeScreens()
{
    for (const ScreenDef& d : screenDefs) {
        freeDialog(d.count, game.screens[d.id]);
        game.screens[d.id] = nullptr;
    }
    lastShown = 0;
}

void replaceScreens(float oldOriginX, float oldOriginY, int oldScale)
{
    if (oldScale <= 0) return;
    float back = 1.0f / float(oldScale);
    for (const ScreenDef& d : screenDefs) {
        Widget* widgets = game.screens[d.id];
        for (int i = 0; widgets && i < d.count; ++i) {
            Widget& w = widgets[i];
            // A new size changes the scale as well as the origin, so sizes are scaled too.
            w.x = (w.x - oldOriginX) * back;
            w.y = (w.y - oldOriginY) * back;
            w.w *= back;
            w.h *= back;
            if (!w.list) continue;
            w.list->itemWidth *= back;
            w.list->itemHeight *= back;
            w.list->scrollbarWidth *= back;
        }
        placeDialog(d.count, widgets);
    }
}

void drawUnitText(const std::string& text, float x, float y, uint8_t colour)
{
    drawText(text, unitX(x), unitY(y), colour, 0);
}

void drawPanel(const std::string& title)
{
    bool lockedHere = !game.lockedSurface && lockDraw();
    fillRect(nullptr, borderColour);
    int x0 = unitX(0), y0 = unitY(0), x1 = unitX(80), y1 = unitY(60);
    fillCorners(x0, y0, x1, y1, panelColour);
    fillCorners(x0, y0, x1, unitY(4), borderColour);
    drawTextInBox(title, {x0, y0, x1 - 1, unitY(4) - 1}, titleText, centreHorizontally | centreVertically);
    if (lockedHere) unlockDraw();
}

void drawCaptions(const ScreenCaption* captions, int count)
{
    bool lockedHere = !game.lockedSurface && lockDraw();
    for (int i = 0; i < count; ++i) {
        const ScreenCaption& c = captions[i];
        drawUnitText(c.text >= 0 ? uiText(c.text) : c.literal, float(c.x), float(c.y), c.colour);
    }
    if (lockedHere) unlockDraw();
}

bool showScreen(uint32_t id, uint32_t flags)
{
    const ScreenDef* d = findScreen(id);
    Widget* widgets = screenWidgets(id);
    if (!d || !widgets || game.dialog.active) return false;
    lastShown = id;
    if (d->paint) d->paint();
    // Every screen can be worked from the keyboard.
    return openDialog(d->count, id, 1, widgets, drawTextField, drawSlider, drawList, flags | dialogArrowKeys) == 0;
}

void redrawShownScreen()
{
    const ScreenDef* d = findScreen(lastShown);
    if (d && d->paint) d->paint();
}

uint32_t shownScreen() { return lastShown; }

void parkScreen()
{
    delete game.parkedDialog;
    game.parkedDialog = suspendDialog();
}

void returnToParkedScreen()
{
    if (game.dialog.active) closeDialog();
    DialogContext* parked = game.parkedDialog;
    game.parkedDialog = nullptr;
    if (!parked) return;
    lastShown = parked->dialogId;
    redrawShownScreen();
    resumeDialog(parked);
}

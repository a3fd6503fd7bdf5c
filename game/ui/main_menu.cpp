#include "ui/main_menu.h"

#include "state/driver_profile.h"
#include "state/game_state.h"
#include "platform/name_compare.h"
#include "ui/about_box.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/driver_stats.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/option_pages.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"
#include "ui/track_folders.h"
#include "ui/track_info.h"
#include "ui/track_manager.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

int chooserSlot = -1;

Widget* menu() { return screenWidgets(screenMainMenu); }

const ScreenCaption menuCaptions[] = {{14, 7, captionColour, 19, ""}};

bool menuActive()
{
    return game.dialog.active && game.dialog.dialogId == screenMainMenu && game.dialog.widgets == menu();
}

// The list item under a pixel, -1 none (also on the scrollbar).
int itemAt(const Widget& w, int x, int y)
{
    if (!w.list || (w.flags & widgetHidden)) return -1;
    const ListData& l = *w.list;
    float fx = float(x) - w.x, fy = float(y) - w.y;
    if (fx < 0 || fy < 0 || fx >= w.w - l.scrollbarWidth || fy >= w.h) return -1;
    if (l.itemWidth <= 0 || l.itemHeight <= 0) return -1;
    int column = int(fx / l.itemWidth), row = int(fy / l.itemHeight);
    if (column >= l.columns || row >= l.visibleRows) return -1;
    long index = long(l.columns) * (long(row) + w.value) + column;
    return index >= 0 && index < long(l.items.size()) ? int(index) : -1;
}

void onExit(Widget*)
{
    if (messageBox(messageBoxYesNo, uiText(116), uiText(17), redrawShownScreen) != 1) return;
    closeDialog();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void onOptions(Widget*) { openOptionPage(screenOptions, false); }
void onLoad(Widget*) { openFileDialog(false); }

void onStart(Widget*)
{
    if (game.carCount <= 0 || selectedTracks().empty()) {
        messageBox(messageBoxOk, uiText(20), uiText(0), redrawShownScreen);
        return;
    }
    parkScreen();
    SDL_ShowCursor(0);
    if (startSeasonFromMenu(selectedTracks())) return;
    SDL_ShowCursor(1);
    returnToParkedScreen();
}

void onCarButton(Widget* w)
{
    int slot = w->style - 20;
    Widget* popup = screenWidgets(screenCarChooser);
    if (slot < 0 || slot >= game.carCount || !popup || game.modelCount <= 0) return;
    chooserSlot = slot;
    Widget& list = popup[0];
    clearList(list);
    for (int i = 0; i < game.modelCount; ++i)
        addListItem(list, std::string(game.models[i].name, strnlen(game.models[i].name, sizeof game.models[i].name)));
    // One unit in from the car button's left edge, just below it, kept on the grid.
    float s = float(game.guiScale);
    int rows = std::clamp(game.modelCount, 1, 10);
    float width = 16 * s, height = float(rows) * 2 * s;
    float x = w->x + s, y = w->y + w->h;
    y = std::min(y, float(unitY(60)) - height);
    makeList(list, 0, x, y, width, height, 14 * s, 2 * s, 2 * s);
    list.style = 2;
    // The keyboard starts on the car the player has.
    const DriverProfile* d = game.drivers[slot];
    list.list->cursor = d && d->carType < uint32_t(game.modelCount) ? int(d->carType) : 0;
    parkScreen();
    if (showScreen(screenCarChooser)) focusWidget(0);
}

void onCarChosen(Widget* w)
{
    int type = w->list ? w->list->selected : -1;
    int slot = chooserSlot;
    chooserSlot = -1;
    if (type >= 0 && slot >= 0 && slot < game.carCount) {
        if (game.drivers[slot]) game.drivers[slot]->carType = uint32_t(type);
        saveSlotDriver(slot);
    }
    returnToParkedScreen();
}

void onChooserCancel(Widget*)
{
    chooserSlot = -1;
    returnToParkedScreen();
}

// The player leaves the race; the later ones move up.
void onNameButton(Widget* w)
{
    int slot = w->style - 10;
    if (slot < 0 || slot >= game.carCount) return;
    for (int k = slot; k + 1 < game.carCount; ++k) {
        std::memcpy(game.driverNames[k], game.driverNames[k + 1], sizeof game.driverNames[k]);
        game.drivers[k] = game.drivers[k + 1];
        seatDriver(k, game.driverNames[k], game.drivers[k]);
    }
    --game.carCount;
    game.driverNames[game.carCount][0] = 0;
    game.drivers[game.carCount] = nullptr;
    refreshDriverList();
    redrawMainMenu();
}

void onDriverChosen(Widget* w)
{
    if (!w->list || game.carCount >= maxCars) return;
    int index = w->list->selected;
    if (index < 0 || index >= int(w->list->items.size())) return;
    ListItem* item = w->list->items[size_t(index)];
    seatDriver(game.carCount, item->text, item->driver);
    ++game.carCount;
    refreshDriverList();
    redrawMainMenu();
}

void onCreateDriver(Widget*) { openDriverPageCreating(); }

void onRaceLength(Widget* w) { game.options.raceLength = uint16_t(std::clamp(w->value, 1, 100)); }

void onTrackClicked(Widget* w)
{
    if (!w->list) return;
    int index = w->list->selected;
    if (index < 0 || index >= int(w->list->items.size())) return;
    ListItem* item = w->list->items[size_t(index)];
    setTrackSelected(item->fileName, item->selected != 0);
    captionSelectedCount();
}

void onSelect(Widget*)
{
    Widget* w = menu();
    selectRandomTracks(w ? w[menuSelectCount].value : 0);
}

void onTrackManager(Widget* w) { trackManagerAction(int(w->id & 0xFFFF)); }

bool seated(const std::string& name)
{
    for (int k = 0; k < game.carCount && k < maxCars; ++k)
        if (equalNoCase(name, game.driverNames[k])) return true;
    return false;
}

}  // namespace

void buildMainMenu(Widget* w)
{
    clearTrackSelection();
    makeButton(w[menuExit], 0, 56, 20, 4, widgetCancel, onExit);
    makeButton(w[menuOptions], 20, 56, 20, 4, 0, onOptions);
    makeButton(w[menuLoad], 40, 56, 20, 4, 0, onLoad);
    makeButton(w[menuStart], 60, 56, 20, 4, widgetDefault, onStart);
    for (int k = 0; k < maxCars; ++k) {
        makeButton(w[menuFirstCar + k], 14, 11 + 3.0f * k, 18, 3, 0, onCarButton);
        w[menuFirstCar + k].style = 20 + k;
        makeButton(w[menuFirstName + k], 32, 11 + 3.0f * k, 15, 3, 0, onNameButton);
        w[menuFirstName + k].style = 10 + k;
    }
    makeList(w[menuDrivers], 0, 50, 11, 16, 16, 14, 2, 2);
    w[menuDrivers].style = 1;
    w[menuDrivers].callback = onDriverChosen;
    makeButton(w[menuCreateDriver], 50, 27.5f, 16, 3, 0, onCreateDriver);
    makeSlider(w[menuRaceLength], 40, 7, 26, 2, 1, 100, onRaceLength);
    makeList(w[menuTracks], widgetEveryClick, 11, 35, 58, 16, 14, 2, 2);
    w[menuTracks].callback = onTrackClicked;
    makeButton(w[menuMoveTo], 11, 51.5f, 14, 3, 0, onTrackManager);
    makeButton(w[menuDeleteTracks], 25, 51.5f, 14, 3, 0, onTrackManager);
    makeButton(w[menuSelect], 39, 51.5f, 14, 3, 0, onSelect);
    makeSlider(w[menuSelectCount], 53.5f, 52, 15.5f, 2, 1, 1, nullptr);
    makeButton(w[menuFolder], 11, 32, 22, 3, 0, onTrackManager);
    w[menuFolder].style = 5;
    makeButton(w[menuCreateFolder], 33, 32, 10, 3, 0, onTrackManager);
    w[menuCreateFolder].style = 6;
    makeButton(w[menuDeleteFolder], 43, 32, 10, 3, 0, onTrackManager);
    w[menuDeleteFolder].style = 6;
    makeList(w[menuFolders], widgetHidden, 11, 35, 24, 22, 22, 2, 2);
    w[menuFolders].callback = onTrackManager;
    makeList(w[menuMoveTargets], widgetHidden, 11, 29, 24, 22, 22, 2, 2);
    w[menuMoveTargets].callback = onTrackManager;
    makeButton(w[menuSelectedCount], 54, 32, 26, 3, widgetUnreachable, nullptr);
    w[menuSelectedCount].style = 7;
}

void captionMainMenu(Widget* w)
{
    w[menuExit].label = uiText(17);
    w[menuOptions].label = uiText(25);
    w[menuLoad].label = uiText(90);
    w[menuStart].label = uiText(18);
    w[menuCreateDriver].label = uiText(70);
    w[menuMoveTo].label = uiText(134);
    w[menuDeleteTracks].label = uiText(135);
    w[menuSelect].label = uiText(136);
    w[menuCreateFolder].label = uiText(131);
    w[menuDeleteFolder].label = uiText(132);
    captionTrackManager(w);
}

void buildCarChooser(Widget* w)
{
    makeList(w[0], 0, 0, 0, 16, 2, 14, 2, 2);
    w[0].callback = onCarChosen;
    // Escape closes the popup; the button takes no room.
    makeButton(w[1], -1, -1, 0, 0, widgetCancel | widgetUnreachable, onChooserCancel);
}

void paintMainMenu()
{
    // The arrow keys pass by the buttons of empty seats, which show nothing.
    if (Widget* w = menu()) {
        for (int k = 0; k < maxCars; ++k) {
            for (int first : {int(menuFirstCar), int(menuFirstName)}) {
                if (k < game.carCount) w[first + k].flags &= ~widgetUnreachable;
                else w[first + k].flags |= widgetUnreachable;
            }
        }
    }
    drawPanel(uiText(34));
    drawCaptions(menuCaptions, int(std::size(menuCaptions)));
}

void redrawMainMenu()
{
    paintMainMenu();
    if (menuActive()) redrawDialog();
}

void refreshDriverList()
{
    Widget* w = menu();
    if (!w) return;
    Widget& list = w[menuDrivers];
    clearList(list);
    std::vector<MenuDriver> drivers;
    listMenuDrivers(drivers);
    for (const MenuDriver& d : drivers) {
        if (seated(d.name)) continue;
        ListItem* item = addListItem(list, d.name);
        item->driver = d.profile;
        item->computer = d.profile && isComputerDriver(*d.profile);
    }
}

void refreshTrackList() { refreshTrackManager(); }

void setRaceLengthLabel()
{
    Widget* w = menu();
    if (!w) return;
    bool km = game.options.distanceUnit == 1;
    w[menuRaceLength].label = uiText(km ? 3 : 1) + "|" + uiText(km ? 4 : 2);
    w[menuRaceLength].value = std::clamp(int(game.options.raceLength), 1, 100);
}

const std::vector<std::string>& trackSelection() { return selectedTracks(); }

void selectRandomTracks(int count)
{
    Widget* w = menu();
    if (!w || !w[menuTracks].list) return;
    std::vector<ListItem*>& items = w[menuTracks].list->items;
    for (ListItem* item : items) {
        item->selected = 0;
        setTrackSelected(item->fileName, false);
    }
    int picks = std::clamp(count, 0, int(items.size()));
    for (int n = 0; n < picks; ++n) {
        int left = int(items.size()) - n, pick = std::rand() % left;
        for (ListItem* item : items) {
            if (item->selected) continue;
            if (pick-- > 0) continue;
            item->selected = 1;
            setTrackSelected(item->fileName, true);
            break;
        }
    }
    captionSelectedCount();
    if (menuActive()) redrawWidget(menuTracks, redrawSelection);
}

void openMainMenu()
{
    setRaceLengthLabel();
    Widget* w = menu();
    if (!w) return;
    if (w[menuTracks].list && w[menuTracks].list->items.empty()) refreshTrackList();
    if (!game.parkedDialog) {
        refreshDriverList();
        showScreen(screenMainMenu);
    } else if (!game.dialog.active) {
        returnToParkedScreen();
    }
}

void rightClickMainMenu(int x, int y)
{
    Widget* w = menu();
    if (!menuActive() || game.parkedDialog) return;
    int driver = itemAt(w[menuDrivers], x, y);
    if (driver >= 0) {
        ListItem* item = w[menuDrivers].list->items[size_t(driver)];
        openDriverStats(item->text, item->driver);
        return;
    }
    for (int k = 0; k < game.carCount && k < maxCars; ++k) {
        const Widget& b = w[menuFirstName + k];
        if (x >= b.x && x <= b.x + b.w && y >= b.y && y <= b.y + b.h) {
            openDriverStats(game.driverNames[k], game.drivers[k]);
            return;
        }
    }
    int track = itemAt(w[menuTracks], x, y);
    if (track >= 0) openTrackInfo(w[menuTracks].list->items[size_t(track)]->fileName);
}

void connectScreenInput()
{
    game.dialogInput.helpUp = showHelpBox;
    game.dialogInput.rightRelease = rightClickMainMenu;
}

void backToMainMenu()
{
    game.raceRunning = 0;
    SDL_ShowCursor(1);
    if (game.dialog.active && game.dialog.dialogId != screenMainMenu) closeDialog();
    if (game.parkedDialog) returnToParkedScreen();
    else if (!game.dialog.active) showScreen(screenMainMenu);
}

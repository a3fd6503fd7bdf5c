#include "ui/option_pages.h"

#include "platform/name_compare.h"
#include "state/driver_profile.h"
#include "state/game_state.h"
#include "files/folder_list.h"
#include "files/options_file.h"
#include "render/draw_access.h"
#include "render/palette.h"
#include "render/text.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/driver_stats.h"
#include "ui/main_menu.h"
#include "ui/message_box.h"
#include "ui/pause_menu.h"
#include "ui/screen_actions.h"
#include "ui/screens.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int offStyle = 2, onStyle = 3;
constexpr int skillMin = 50, skillMax = 150;

bool fromPauseMenu = false;
bool createBoxOpen = false;

Widget* page(uint32_t id) { return screenWidgets(id); }

// ---- choice buttons ----

void setOnOff(Widget& w, bool on) { setChoice(w, on ? onStyle : offStyle, uiText(on ? 5 : 6)); }
bool isOn(const Widget& w) { return w.style == onStyle; }

void setDistanceUnit(Widget& w, int unit) { setChoice(w, 2 + (unit == 1), uiText(unit == 1 ? 54 : 53)); }
void setStartingOrder(Widget& w, int order)
{
    order = std::clamp(order, 0, 2);
    setChoice(w, 2 + order, uiText(55 + order));
}
void setDriverType(Widget& w, bool human) { setChoice(w, human ? 2 : 3, uiText(human ? 83 : 84)); }

void redrawPage()
{
    redrawShownScreen();
    redrawDialog();
}

void onOnOff(Widget* w)
{
    setOnOff(*w, !isOn(*w));
    redrawWidget(int(w->id & 0xFFFF), redrawValue);
}

void onDistanceUnit(Widget* w)
{
    setDistanceUnit(*w, w->style == 2 ? 1 : 0);
    redrawWidget(int(w->id & 0xFFFF), redrawValue);
}

void onStartingOrder(Widget* w)
{
    setStartingOrder(*w, (w->style - 2 + 1) % 3);
    redrawWidget(int(w->id & 0xFFFF), redrawValue);
}

// ---- moving between pages ----

void showPage(uint32_t id)
{
    if (game.dialog.active) closeDialog();
    Widget* w = page(id);
    // The Options page is out of reach from a race: its rules belong to the season. The
    // create-driver box stands alone on its page.
    if (id == screenAdvancedOptions) showWidget(w[pageFirstLink], !fromPauseMenu);
    if (id == screenDriverOptions) showWidget(w[pageSecondLink], !fromPauseMenu && !createBoxOpen);
    showScreen(id);
}

void toOptions(Widget*) { showPage(screenOptions); }
void toAdvanced(Widget*) { showPage(screenAdvancedOptions); }
void toDrivers(Widget*) { showPage(screenDriverOptions); }
void onOk(Widget*) { applyOptionPages(); }
void onCancel(Widget*) { cancelOptionPages(); }

void makeBottomRow(Widget* w, WidgetRoutine first, WidgetRoutine second)
{
    makeButton(w[pageCancel], 0, 56, 20, 4, widgetCancel, onCancel);
    makeButton(w[pageFirstLink], 20, 56, 20, 4, 0, first);
    makeButton(w[pageSecondLink], 40, 56, 20, 4, 0, second);
    makeButton(w[pageOk], 60, 56, 20, 4, widgetDefault, onOk);
    w[pageOk].sub = 1;
}

// ---- Options ----

const ScreenCaption optionsCaptions[] = {
    {14, 7, captionColour, 39, ""},  {14, 10, captionColour, 40, ""}, {14, 13, captionColour, 41, ""},
    {14, 16, captionColour, 42, ""}, {14, 19, captionColour, 43, ""}, {14, 22, captionColour, 44, ""},
    {14, 29, headingColour, 45, ""}, {14, 33, captionColour, 46, ""}, {14, 36, captionColour, 47, ""},
    {14, 39, captionColour, 48, ""}, {14, 42, captionColour, 49, ""}, {14, 45, captionColour, 50, ""},
    {14, 48, captionColour, 51, ""}, {14, 51, captionColour, 52, ""},
};

void fillOptionsPage(const OptionsRecord& o)
{
    Widget* w = page(screenOptions);
    w[optTyreWear].value = std::clamp(int(o.tyreWear), 0, 100);
    w[optFuelConsumption].value = std::clamp(int(o.fuelConsumption), 0, 100);
    w[optFuelMass].value = std::clamp(int(o.fuelMass), 0, 200);
    w[optDamage].value = std::clamp(int(o.damage), 0, 100);
    setDistanceUnit(w[optDistanceUnit], o.distanceUnit);
    setStartingOrder(w[optStartingOrder], o.startingOrder);
    for (int k = 0; k < 7; ++k) w[optFirstPoints + k].value = std::clamp(int(o.points[k]), 0, 50);
}

void applyOptionsPage(OptionsRecord& o)
{
    const Widget* w = page(screenOptions);
    o.tyreWear = uint8_t(w[optTyreWear].value);
    o.fuelConsumption = uint8_t(w[optFuelConsumption].value);
    o.fuelMass = uint8_t(w[optFuelMass].value);
    o.damage = uint8_t(w[optDamage].value);
    o.distanceUnit = uint8_t(w[optDistanceUnit].style - 2);
    o.startingOrder = uint8_t(w[optStartingOrder].style - 2);
    for (int k = 0; k < 7; ++k) o.points[k] = uint8_t(w[optFirstPoints + k].value);
}

// ---- Advanced options ----

const ScreenCaption advancedCaptions[] = {
    {14, 7, captionColour, 68, ""},   {14, 10, captionColour, 69, ""},  {14, 15, captionColour, 162, ""},
    {14, 18, captionColour, 59, ""},  {14, 21, captionColour, 60, ""},  {14, 24, captionColour, 61, ""},
    {14, 27, captionColour, 62, ""},  {14, 30, captionColour, 63, ""},  {14, 35, captionColour, 64, ""},
    {14, 38, captionColour, 65, ""},  {14, 41, captionColour, 66, ""},  {14, 46, captionColour, 122, ""},
};

// The list under a selector, open: only the two of them are shown.
int openSelector = -1;

std::string nameOf(const char* buffer, size_t size) { return std::string(buffer, strnlen(buffer, size)); }

void copyName(char* buffer, size_t size, const std::string& name)
{
    std::memset(buffer, 0, size);
    std::memcpy(buffer, name.data(), std::min(name.size(), size - 1));
}

void fillChoiceList(Widget& list, const std::vector<std::string>& names)
{
    clearList(list);
    for (const std::string& name : names) addListItem(list, name);
}

void fillSelectorLists()
{
    Widget* w = page(screenAdvancedOptions);
    std::vector<std::string> languages, sets;
    listFolder(languages, "lang", "lng", listFiles, 0);
    // The built-in texts are a language too, so the way back is always offered.
    bool english = false;
    for (const std::string& l : languages) english = english || equalNoCase(l, "English");
    if (!english) languages.insert(languages.begin(), "English");
    fillChoiceList(w[advLanguageList], languages);
    listFolder(sets, "sounds", "", listFolders, 0);
    fillChoiceList(w[advSoundSetList], sets);
}

void showOnlySelector(uint32_t id, int selector, int list)
{
    Widget* w = page(id);
    int count = screenWidgetCount(id);
    for (int i = 0; i < count; ++i) showWidget(w[i], i == selector || i == list);
    openSelector = selector;
}

void showAllOfAdvanced()
{
    Widget* w = page(screenAdvancedOptions);
    for (int i = 0; i < advancedWidgetCount; ++i) showWidget(w[i], i != advLanguageList && i != advSoundSetList);
    showWidget(w[pageFirstLink], !fromPauseMenu);
    openSelector = -1;
}

void onSelector(Widget* w)
{
    int index = int(w->id & 0xFFFF);
    if (openSelector == index) showAllOfAdvanced();
    else showOnlySelector(screenAdvancedOptions, index, index + 1);
    redrawPage();
}

void onSelectorList(Widget* w)
{
    Widget* widgets = page(screenAdvancedOptions);
    int index = int(w->id & 0xFFFF);
    if (w->list && w->list->selected >= 0 && w->list->selected < int(w->list->items.size()))
        widgets[index - 1].label = w->list->items[size_t(w->list->selected)]->text;
    if (w->list) {
        w->list->selected = w->list->previousSelected = -1;
        for (ListItem* item : w->list->items) item->selected = 0;
    }
    showAllOfAdvanced();
    redrawPage();
}

int resolutionPosition(int resolution)
{
    for (int i = 0; i < game.offeredResolutionCount; ++i)
        if (game.offeredResolutions[i] == resolution) return i;
    for (int i = 0; i < game.offeredResolutionCount; ++i)
        if (game.offeredResolutions[i] == defaultResolution) return i;
    return 0;
}

void fillAdvancedPage(const OptionsRecord& o)
{
    Widget* w = page(screenAdvancedOptions);
    fillSelectorLists();
    showAllOfAdvanced();
    w[advLanguage].label = nameOf(o.language, sizeof o.language);
    w[advSoundSet].label = nameOf(o.soundSet, sizeof o.soundSet);
    setOnOff(w[advFullscreen], o.windowedMode == 0);
    w[advResolution].max = std::max(game.offeredResolutionCount - 1, 0);
    w[advResolution].value = resolutionPosition(o.resolution);
    w[advEffects].value = std::clamp(int(std::lround(o.effects / 2.56)), 0, 100);
    setOnOff(w[advShadows], o.shadows != 0);
    setOnOff(w[advVerticalSync], o.verticalSync != 0);
    setOnOff(w[advGhostCar], o.ghostCar != 0);
    w[advEngineVolume].value = std::clamp(int(o.engineVolume), 0, 100);
    w[advSkidVolume].value = std::clamp(int(o.skidVolume), 0, 100);
    w[advEffectsVolume].value = std::clamp(int(o.effectsVolume), 0, 100);
    setOnOff(w[advGoofyReverse], o.goofyReverse != 0);
}

void applyAdvancedPage(OptionsRecord& o)
{
    const Widget* w = page(screenAdvancedOptions);
    copyName(o.language, sizeof o.language, w[advLanguage].label);
    copyName(o.soundSet, sizeof o.soundSet, w[advSoundSet].label);
    o.windowedMode = uint8_t(3 - w[advFullscreen].style);
    int position = std::clamp(w[advResolution].value, 0, std::max(game.offeredResolutionCount - 1, 0));
    if (game.offeredResolutionCount > 0) o.resolution = uint8_t(game.offeredResolutions[position]);
    o.effects = uint16_t(std::lround(w[advEffects].value * 2.56));
    o.shadows = uint8_t(w[advShadows].style - 2);
    o.verticalSync = uint8_t(w[advVerticalSync].style - 2);
    o.ghostCar = uint8_t(w[advGhostCar].style - 2);
    o.engineVolume = uint8_t(w[advEngineVolume].value);
    o.skidVolume = uint8_t(w[advSkidVolume].value);
    o.effectsVolume = uint8_t(w[advEffectsVolume].value);
    o.goofyReverse = uint8_t(w[advGoofyReverse].style - 2);
}

// ---- Driver options ----

// The page edits copies; OK gives them back to the profiles.
struct PageDriver {
    std::string name;
    DriverProfile profile{};
    DriverProfile* source = nullptr;
};
std::vector<PageDriver> pageDrivers;
int selectedDriver = -1;

const ScreenCaption driverCaptions[] = {
    {14, 7, captionColour, 73, ""},  {14, 13, headingColour, 74, ""}, {37, 13, captionColour, -1, "R"},
    {37, 16, captionColour, -1, "G"}, {37, 19, captionColour, -1, "B"}, {37, 23, captionColour, -1, "R"},
    {37, 26, captionColour, -1, "G"}, {37, 29, captionColour, -1, "B"}, {14, 34, headingColour, 75, ""},
};
const ScreenCaption controlCaptions[] = {
    {14, 37, captionColour, 76, ""}, {14, 40, captionColour, 77, ""},
    {14, 43, captionColour, 78, ""}, {14, 46, captionColour, 79, ""},
};
const ScreenCaption skillCaptions[] = {{14, 37, captionColour, 89, ""}};
const ScreenCaption createCaptions[] = {{20, 27, captionColour, 81, ""}, {20, 31, captionColour, 82, ""}};

// The page edits colours, controls and skill only. The statistics stay the live profile's:
// a Reset on the statistics page has changed them since the page took its copy.
void giveBack(const PageDriver& d)
{
    d.source->colour1 = d.profile.colour1;
    d.source->colour2 = d.profile.colour2;
    std::copy(d.profile.controls, d.profile.controls + 4, d.source->controls);
}

DriverProfile fallbackProfile()
{
    DriverProfile p{};
    p.colour1 = 0xFFFFFF;
    p.colour2 = 0xFF0000;  // blue: red sits in the low byte
    p.controls[1] = 100;
    return p;
}

PageDriver* currentDriver()
{
    return selectedDriver >= 0 && selectedDriver < int(pageDrivers.size()) ? &pageDrivers[size_t(selectedDriver)] : nullptr;
}

int colourPart(uint32_t colour, int part) { return int(colour >> (8 * part) & 0xFF); }

int seatOf(const std::string& name)
{
    for (int k = 0; k < game.carCount && k < maxCars; ++k)
        if (equalNoCase(name, game.driverNames[k])) return k;
    return -1;
}

// The widgets of the page for the selected driver: colours, and the controls or the skill.
void fillDriverControls()
{
    Widget* w = page(screenDriverOptions);
    PageDriver* d = currentDriver();
    w[drvSelector].label = d ? d->name : "";
    for (int k = 0; k < 6; ++k) {
        uint32_t colour = d ? (k < 3 ? d->profile.colour1 : d->profile.colour2) : 0;
        w[drvFirstColour + k].value = colourPart(colour, k % 3);
    }
    bool computer = d && isComputerDriver(d->profile);
    for (int k = 0; k < 4; ++k) {
        w[drvFirstControl + k].label = d && !computer ? controlLabel(d->profile.controls[k]) : "";
    }
    w[drvSkill].value = d ? std::clamp(int(d->profile.controls[1]), skillMin, skillMax) : 100;
}

// Which widgets the page shows: the box alone, the driver list alone, or the page.
void arrangeDriverPage()
{
    Widget* w = page(screenDriverOptions);
    PageDriver* d = currentDriver();
    bool computer = d && isComputerDriver(d->profile);
    for (int i = 0; i < driverPageWidgetCount; ++i) {
        bool box = i >= drvName && i <= drvCreateCancel;
        bool shown;
        if (createBoxOpen) shown = box;
        else if (openSelector == drvSelector) shown = i == drvSelector || i == drvList;
        else if (box || i == drvList) shown = false;
        else if (i >= drvFirstControl && i < drvFirstControl + 4) shown = d && !computer;
        else if (i == drvSkill) shown = computer;
        else shown = true;
        showWidget(w[i], shown);
    }
    if (!createBoxOpen && openSelector != drvSelector) showWidget(w[pageSecondLink], !fromPauseMenu);
}

void fillDriverPage()
{
    pageDrivers.clear();
    std::vector<MenuDriver> drivers;
    listMenuDrivers(drivers);
    for (const MenuDriver& m : drivers) pageDrivers.push_back({m.name, m.profile ? *m.profile : fallbackProfile(), m.profile});
    Widget* w = page(screenDriverOptions);
    clearList(w[drvList]);
    for (const PageDriver& d : pageDrivers) {
        ListItem* item = addListItem(w[drvList], d.name);
        item->computer = isComputerDriver(d.profile);
    }
    selectedDriver = pageDrivers.empty() ? -1 : 0;
    createBoxOpen = false;
    openSelector = -1;
    fillDriverControls();
    arrangeDriverPage();
}

void onDriverSelector(Widget*)
{
    openSelector = openSelector == drvSelector ? -1 : drvSelector;
    arrangeDriverPage();
    redrawPage();
}

void onDriverList(Widget* w)
{
    if (w->list && w->list->selected >= 0 && w->list->selected < int(pageDrivers.size())) selectedDriver = w->list->selected;
    openSelector = -1;
    fillDriverControls();
    arrangeDriverPage();
    redrawPage();
}

void onColour(Widget* w)
{
    PageDriver* d = currentDriver();
    if (!d) return;
    int k = int(w->id & 0xFFFF) - drvFirstColour;
    if (k < 0 || k >= 6) return;
    uint32_t& colour = k < 3 ? d->profile.colour1 : d->profile.colour2;
    int shift = 8 * (k % 3);
    colour = (colour & ~(0xFFu << shift)) | (uint32_t(std::clamp(w->value, 0, 255)) << shift);
    int seat = seatOf(d->name);
    if (seat >= 0) setCarColours(seat, d->profile.colour1, d->profile.colour2);
}

void onControl(Widget* w)
{
    PageDriver* d = currentDriver();
    int k = int(w->id & 0xFFFF) - drvFirstControl;
    if (!d || k < 0 || k >= 4 || isComputerDriver(d->profile)) return;
    int code = chooseControl(uiText(76 + k));
    // A code of 0 would turn the driver into a computer driver.
    if (code > 0) d->profile.controls[k] = uint32_t(code);
    fillDriverControls();
    redrawPage();
}

void onSkill(Widget* w)
{
    PageDriver* d = currentDriver();
    if (d && isComputerDriver(d->profile)) d->profile.controls[1] = uint32_t(std::clamp(w->value, skillMin, skillMax));
}

void openCreateBox()
{
    Widget* w = page(screenDriverOptions);
    w[drvName].label.clear();
    w[drvName].value = 0;
    w[drvName].state = 0;
    setDriverType(w[drvType], true);
    createBoxOpen = true;
    openSelector = -1;
    arrangeDriverPage();
}

void onCreate(Widget*)
{
    openCreateBox();
    redrawPage();
    focusForTyping(drvName);
}

void onDriverType(Widget* w)
{
    setDriverType(*w, w->style != 2);
    redrawWidget(int(w->id & 0xFFFF), redrawValue);
}

void onCreateOk(Widget*)
{
    Widget* w = page(screenDriverOptions);
    std::string name = w[drvName].label;
    bool human = w[drvType].style == 2;
    int refusal = -1;
    if (name.empty()) refusal = 85;
    for (const PageDriver& d : pageDrivers)
        if (refusal < 0 && equalNoCase(d.name, name)) refusal = 86;
    if (refusal >= 0) {
        // The box stays open for another name.
        messageBox(messageBoxOk, uiText(refusal), uiText(70), redrawShownScreen);
        return;
    }
    std::string refused = createMenuDriver(name, human);
    if (!refused.empty()) {
        messageBox(messageBoxOk, refused, uiText(70), redrawShownScreen);
        return;
    }
    PageDriver d{name, fallbackProfile(), nullptr};
    if (human) {
        const uint32_t cursorKeys[4] = {273, 274, 276, 275};
        std::copy(cursorKeys, cursorKeys + 4, d.profile.controls);
    }
    std::vector<MenuDriver> listed;
    listMenuDrivers(listed);
    for (const MenuDriver& m : listed)
        if (m.name == name && m.profile) d.source = m.profile, d.profile = *m.profile;
    pageDrivers.push_back(d);
    ListItem* item = addListItem(w[drvList], name);
    item->computer = !human;
    selectedDriver = int(pageDrivers.size()) - 1;
    createBoxOpen = false;
    fillDriverControls();
    arrangeDriverPage();
    redrawPage();
}

void onCreateCancel(Widget*)
{
    createBoxOpen = false;
    arrangeDriverPage();
    redrawPage();
}

void onDelete(Widget*)
{
    PageDriver* d = currentDriver();
    if (!d) return;
    std::string name = d->name;
    // The cars, the running order and the results of a running game keep their seats: a seat
    // that shifted would give one driver's car, points and statistics to another.
    if (fromPauseMenu && seatOf(name) >= 0) {
        messageBox(messageBoxOk, uiText(169), uiText(71), redrawShownScreen);
        return;
    }
    std::string question = uiText(102) + " '" + name + "'?";
    if (messageBox(messageBoxYesNo, question, uiText(71), redrawShownScreen) != 1) return;
    deleteMenuDriver(name);
    Widget* w = page(screenDriverOptions);
    int index = selectedDriver;
    if (index < 0 || index >= int(pageDrivers.size())) return;
    pageDrivers.erase(pageDrivers.begin() + index);
    if (w[drvList].list && index < int(w[drvList].list->items.size())) {
        delete w[drvList].list->items[size_t(index)];
        w[drvList].list->items.erase(w[drvList].list->items.begin() + index);
        updateListRange(w[drvList]);
    }
    selectedDriver = pageDrivers.empty() ? -1 : std::min(index, int(pageDrivers.size()) - 1);
    fillDriverControls();
    arrangeDriverPage();
    redrawPage();
}

void onDriverStats(Widget*)
{
    PageDriver* d = currentDriver();
    if (!d) return;
    closeDialog();
    openDriverStatsFromPage(d->name, d->source);
}

void paintCreateBox()
{
    int q = std::max(game.guiQuarter, 1);
    fillCorners(unitX(18) - q, unitY(22) - q, unitX(62) + q, unitY(42) + q, 241);
    fillCorners(unitX(18), unitY(22), unitX(62), unitY(42), 100);
    fillCorners(unitX(18), unitY(22), unitX(62), unitY(25), 241);
    drawTextInBox(uiText(70), {unitX(18), unitY(22), unitX(62) - 1, unitY(25) - 1}, 242,
                  centreHorizontally | centreVertically);
    drawCaptions(createCaptions, int(std::size(createCaptions)));
}

// ---- leaving ----

// backToScreen false leaves no screen open, for a caller that opens one.
void leavePages(bool backToScreen = true)
{
    if (game.dialog.active) closeDialog();
    pageDrivers.clear();
    selectedDriver = -1;
    createBoxOpen = false;
    openSelector = -1;
    if (!backToScreen) {
        fromPauseMenu = false;
        return;
    }
    if (fromPauseMenu) {
        returnToPauseMenu();
    } else {
        // Drivers made or deleted on the page show in the menu's list.
        refreshDriverList();
        returnToParkedScreen();
    }
    fromPauseMenu = false;
}

void startVisit(bool fromPause)
{
    fromPauseMenu = fromPause;
    if (game.dialog.active) {
        if (fromPause) closeDialog();
        else parkScreen();
    }
    fillOptionsPage(game.options);
    fillAdvancedPage(game.options);
    fillDriverPage();
}

}  // namespace

void buildOptionsPage(Widget* w)
{
    makeBottomRow(w, toDrivers, toAdvanced);
    makeSlider(w[optTyreWear], 40, 7, 26, 2, 0, 100, nullptr);
    makeSlider(w[optFuelConsumption], 40, 10, 26, 2, 0, 100, nullptr);
    makeSlider(w[optFuelMass], 40, 13, 26, 2, 0, 200, nullptr);
    makeSlider(w[optDamage], 40, 16, 26, 2, 0, 100, nullptr);
    makeButton(w[optDistanceUnit], 40, 18.5f, 26, 3, 0, onDistanceUnit);
    makeButton(w[optStartingOrder], 40, 21.5f, 26, 3, 0, onStartingOrder);
    for (int k = 0; k < 6; ++k) makeSlider(w[optFirstPoints + k], 40, 33 + 3.0f * k, 26, 2, 0, 50, nullptr);
    makeSlider(w[optFastestLap], 40, 51, 26, 2, 0, 50, nullptr);
    setDistanceUnit(w[optDistanceUnit], 0);
    setStartingOrder(w[optStartingOrder], 2);
}

void captionOptionsPage(Widget* w)
{
    w[pageCancel].label = uiText(24);
    w[pageFirstLink].label = uiText(27);
    w[pageSecondLink].label = uiText(26);
    w[pageOk].label = uiText(28);
    for (int k = 0; k < 7; ++k) w[optFirstPoints + k].label = uiText(58);
    setDistanceUnit(w[optDistanceUnit], w[optDistanceUnit].style - 2);
    setStartingOrder(w[optStartingOrder], w[optStartingOrder].style - 2);
}

void paintOptionsPage()
{
    drawPanel(uiText(35));
    drawCaptions(optionsCaptions, int(std::size(optionsCaptions)));
}

void buildAdvancedPage(Widget* w)
{
    makeBottomRow(w, toOptions, toDrivers);
    makeButton(w[advLanguage], 40, 6.5f, 26, 3, 0, onSelector);
    makeList(w[advLanguageList], widgetHidden, 40, 10, 26, 12, 24, 2, 2);
    w[advLanguageList].callback = onSelectorList;
    makeButton(w[advSoundSet], 40, 9.5f, 26, 3, 0, onSelector);
    makeList(w[advSoundSetList], widgetHidden, 40, 13, 26, 12, 24, 2, 2);
    w[advSoundSetList].callback = onSelectorList;
    makeButton(w[advFullscreen], 40, 14.5f, 26, 3, 0, onOnOff);
    makeSlider(w[advResolution], 40, 18, 26, 2, 0, resolutionCount - 1, nullptr);
    w[advResolution].style = 1;
    makeSlider(w[advEffects], 40, 21, 26, 2, 0, 100, nullptr);
    makeButton(w[advShadows], 40, 23.5f, 26, 3, 0, onOnOff);
    makeButton(w[advVerticalSync], 40, 26.5f, 26, 3, 0, onOnOff);
    makeButton(w[advGhostCar], 40, 29.5f, 26, 3, 0, onOnOff);
    makeSlider(w[advEngineVolume], 40, 35, 26, 2, 0, 100, nullptr);
    makeSlider(w[advSkidVolume], 40, 38, 26, 2, 0, 100, nullptr);
    makeSlider(w[advEffectsVolume], 40, 41, 26, 2, 0, 100, nullptr);
    makeButton(w[advGoofyReverse], 40, 45.5f, 26, 3, 0, onOnOff);
    for (int i : {advFullscreen, advShadows, advVerticalSync, advGhostCar, advGoofyReverse}) w[i].style = offStyle;
}

void captionAdvancedPage(Widget* w)
{
    w[pageCancel].label = uiText(24);
    w[pageFirstLink].label = uiText(25);
    w[pageSecondLink].label = uiText(27);
    w[pageOk].label = uiText(28);
    for (int i : {advFullscreen, advShadows, advVerticalSync, advGhostCar, advGoofyReverse}) setOnOff(w[i], isOn(w[i]));
}

void paintAdvancedPage()
{
    drawPanel(uiText(36));
    // Only the open list and its selector are on the page then.
    if (openSelector < 0) drawCaptions(advancedCaptions, int(std::size(advancedCaptions)));
    else drawCaptions(&advancedCaptions[openSelector == advLanguage ? 0 : 1], 1);
}

void buildDriverPage(Widget* w)
{
    makeBottomRow(w, toAdvanced, toOptions);
    makeButton(w[drvSelector], 40, 6.5f, 26, 3, 0, onDriverSelector);
    makeList(w[drvList], widgetHidden, 46, 10, 16, 12, 14, 2, 2);
    w[drvList].style = 1;
    w[drvList].callback = onDriverList;
    const float colourY[6] = {13, 16, 19, 23, 26, 29};
    for (int k = 0; k < 6; ++k) makeSlider(w[drvFirstColour + k], 40, colourY[k], 26, 2, 0, 255, onColour);
    for (int k = 0; k < 4; ++k) makeButton(w[drvFirstControl + k], 40, 36.5f + 3.0f * k, 26, 3, 0, onControl);
    makeButton(w[drvCreate], 10, 52, 20, 3, 0, onCreate);
    makeButton(w[drvDelete], 30, 52, 20, 3, 0, onDelete);
    makeButton(w[drvStats], 50, 52, 20, 3, 0, onDriverStats);
    makeTextField(w[drvName], widgetHidden, "", 38, 26.5f, 16, 3, 12);
    makeButton(w[drvType], 38, 30.5f, 16, 3, widgetHidden, onDriverType);
    makeButton(w[drvCreateOk], 40, 37, 20, 4, widgetHidden | widgetDefault, onCreateOk);
    makeButton(w[drvCreateCancel], 20, 37, 20, 4, widgetHidden | widgetCancel, onCreateCancel);
    makeSlider(w[drvSkill], 40, 37, 26, 2, skillMin, skillMax, onSkill);
    w[drvSkill].flags = widgetHidden;
    setDriverType(w[drvType], true);
}

void captionDriverPage(Widget* w)
{
    w[pageCancel].label = uiText(24);
    w[pageFirstLink].label = uiText(26);
    w[pageSecondLink].label = uiText(25);
    w[pageOk].label = uiText(28);
    w[drvCreate].label = uiText(70);
    w[drvDelete].label = uiText(71);
    w[drvStats].label = uiText(72);
    w[drvCreateOk].label = uiText(28);
    w[drvCreateCancel].label = uiText(24);
    setDriverType(w[drvType], w[drvType].style == 2);
}

void paintDriverPage()
{
    drawPanel(uiText(37));
    if (createBoxOpen) {
        bool lockedHere = !game.lockedSurface && lockDraw();
        paintCreateBox();
        if (lockedHere) unlockDraw();
        return;
    }
    if (openSelector == drvSelector) {
        drawCaptions(driverCaptions, 1);
        return;
    }
    drawCaptions(driverCaptions, int(std::size(driverCaptions)));
    PageDriver* d = currentDriver();
    if (d && isComputerDriver(d->profile)) drawCaptions(skillCaptions, 1);
    else drawCaptions(controlCaptions, int(std::size(controlCaptions)));
}

void openOptionPage(uint32_t id, bool fromPause)
{
    if (id != screenOptions && id != screenAdvancedOptions && id != screenDriverOptions) return;
    startVisit(fromPause);
    showPage(id);
}

void openDriverPageCreating()
{
    startVisit(false);
    openCreateBox();
    showPage(screenDriverOptions);
    focusForTyping(drvName);
}

void returnToDriverPage()
{
    if (game.dialog.active) closeDialog();
    showPage(screenDriverOptions);
}

void applyOptionPages()
{
    OptionsRecord old = game.options, next = game.options;
    // A season keeps the rules it started with.
    if (!fromPauseMenu) applyOptionsPage(next);
    applyAdvancedPage(next);
    for (PageDriver& d : pageDrivers)
        if (d.source) giveBack(d);
    game.options = next;
    storeMenuDrivers();
    // The main menu's race length names the unit chosen here.
    setRaceLengthLabel();

    bool display = old.resolution != next.resolution || old.windowedMode != next.windowedMode;
    bool language = std::strncmp(old.language, next.language, sizeof old.language) != 0;
    if (!display && !language) {
        reloadSoundSet();
        leavePages();
        return;
    }
    // A paused race does not survive a restart in memory: it goes through Autosave. Without
    // that file the display and language stay as they are, and the race with them.
    if (fromPauseMenu && !saveAutosave()) {
        game.options.resolution = old.resolution;
        game.options.windowedMode = old.windowedMode;
        std::memcpy(game.options.language, old.language, sizeof old.language);
        reloadSoundSet();
        leavePages();
        messageBox(messageBoxOk, uiText(168), uiText(97), redrawShownScreen);
        return;
    }
    bool reload = fromPauseMenu;
    restartGameSystem(display);
    if (!reload) {
        leavePages();
        return;
    }
    // The loaded game opens its own screen in place of the pause menu.
    leavePages(false);
    reloadAutosave();
}

void cancelOptionPages()
{
    storeMenuDrivers();
    // Colours tried on the page go back to what the seated drivers have.
    for (int k = 0; k < game.carCount && k < maxCars; ++k) seatDriver(k, game.driverNames[k], game.drivers[k]);
    leavePages();
}

void restartGameSystem(bool displayChanged)
{
    float oldX = game.guiOriginX, oldY = game.guiOriginY;
    int oldScale = game.guiScale;
    if (!game.systemHooks.shutdownGameSystem || !game.systemHooks.initGameSystem) return;
    game.systemHooks.shutdownGameSystem(true);
    if (displayChanged) screenSizeFor(game.options.resolution, game.screenWidth, game.screenHeight);
    game.systemHooks.initGameSystem();
    if (displayChanged) replaceScreens(oldX, oldY, oldScale);
    // The players' cars take their colours again in the new palette.
    for (int k = 0; k < game.carCount && k < maxCars; ++k) seatDriver(k, game.driverNames[k], game.drivers[k]);
    setRaceLengthLabel();
}

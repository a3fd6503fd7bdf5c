#include "ui/track_info.h"

#include "platform/name_compare.h"
#include "state/game_state.h"
#include "render/car_portrait.h"
#include "render/draw_access.h"
#include "render/number_format.h"
#include "render/palette.h"
#include "render/scenery.h"
#include "render/text.h"
#include "track/track_loader.h"
#include "season/driver_list.h"
#include "track/track_records.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/screens.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string shownEntry;
bool previewLoaded = false;
// The preview is drawn once per opening; boxes over the screen repaint it from here.
std::vector<uint8_t> previewPixels;

// The record holder's car is drawn in a seat's slots: the holder's own seat, else a seat whose
// slots are lent the holder's colours while the page is open.
int holderCar = 0;
bool slotsLent = false;
uint32_t lentSlots[8];
// Description lines: as wide as the page leaves beside x 15, as many as fit above the buttons.
constexpr int descriptionWidth = 62, descriptionLines = 4;

const ScreenCaption infoCaptions[] = {
    {40, 13, infoColour, 8, ""}, {40, 21, infoColour, 118, ""}, {15, 33, infoColour, 124, ""}, {15, 41, infoColour, 127, ""},
};

// The name after the last backslash.
std::string trackName(const std::string& entry)
{
    size_t slash = entry.find_last_of('\\');
    return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

std::string holder(int i)
{
    const char* name = game.trackRecords.name[i];
    return std::string(name, strnlen(name, sizeof game.trackRecords.name[i]));
}

void lendHolderColours()
{
    std::string name = holder(0);
    int seats = std::clamp(game.carCount, 0, maxCars);
    for (int k = 0; k < seats; ++k) {
        if (!name.empty() && equalNoCase(name, std::string(game.driverNames[k], strnlen(game.driverNames[k], sizeof game.driverNames[k])))) {
            holderCar = k;
            return;
        }
    }
    holderCar = seats < maxCars ? seats : maxCars - 1;
    uint32_t colours[paletteSize];
    readPalette(colours);
    std::copy(colours + carSlot(holderCar, 0), colours + carSlot(holderCar, 0) + 8, lentSlots);
    slotsLent = true;
    // A holder without a driver file (deleted since) races in grey.
    uint32_t colour1 = 0x909090, colour2 = 0x505050;
    int entry = findDriver(name);
    if (entry >= 0 && game.driverList[size_t(entry)].profile) {
        colour1 = game.driverList[size_t(entry)].profile->colour1;
        colour2 = game.driverList[size_t(entry)].profile->colour2;
    }
    setCarColours(holderCar, colour1, colour2);
}

void giveBackColours()
{
    if (!slotsLent) return;
    uint32_t colours[paletteSize];
    readPalette(colours);
    std::copy(lentSlots, lentSlots + 8, colours + carSlot(holderCar, 0));
    applyPalette(colours);
    slotsLent = false;
}

void drawRecords()
{
    const TrackRecords& r = game.trackRecords;
    if (r.time[0] < emptyLapTime) {
        drawUnitText(recordLine(holder(0).c_str(), r.time[0]), 40, 16, captionColour);
        float orientation[9];
        portraitOrientation(2.3f, 0.6f, orientation);
        float height = 3.0f * float(game.guiScale);
        if (height > 0 && game.screenScale > 0)
            drawCarPortrait(r.car[0], holderCar, float(unitX(72)), float(unitY(17)), orientation, game.screenScale * 4.0f / (1.2f * height));
    }
    for (int i = 1; i < recordCount; ++i) {
        if (r.time[i] >= emptyLapTime) continue;
        drawUnitText(recordLine(holder(i).c_str(), r.time[i]), 40, 24 + 3.0f * float(i - 1), captionColour);
    }
}

void drawDetails()
{
    drawUnitText(formatTrackLength(game.lapLength), 15, 36, captionColour);
    drawUnitText(std::string(game.trackAuthor, strnlen(game.trackAuthor, sizeof game.trackAuthor)), 15, 44, captionColour);
    std::vector<std::string> lines = breakMessageLines(std::string(game.trackInfo, strnlen(game.trackInfo, sizeof game.trackInfo)),
                                                       descriptionWidth, descriptionLines + 1);
    // A description longer than the page holds says so instead of stopping mid-sentence.
    if (lines.size() > size_t(descriptionLines)) {
        lines.resize(descriptionLines);
        std::string& last = lines.back();
        last = last.substr(0, std::min(last.size(), size_t(descriptionWidth - 3))) + "...";
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        // A line broken after a comma would start with its blank.
        size_t start = std::min(lines[i].find_first_not_of(' '), lines[i].size());
        drawUnitText(lines[i].substr(start), 15, 47 + 2.0f * float(i), captionColour);
    }
}

// Copies the area between the locked back buffer and the kept preview.
bool copyPreview(const DrawRect& area, bool keep)
{
    SDL_Surface* s = game.drawSurface;
    if (!s || !game.pixelBase || area.left < 0 || area.top < 0 || area.right > s->w || area.bottom > s->h) return false;
    size_t width = size_t(area.right - area.left), rows = size_t(area.bottom - area.top);
    if (keep) previewPixels.resize(width * rows);
    else if (previewPixels.size() != width * rows) return false;
    for (size_t y = 0; y < rows; ++y) {
        uint8_t* line = game.pixelBase + (size_t(area.top) + y) * size_t(game.pixelPitch) + size_t(area.left);
        if (keep) std::memcpy(&previewPixels[y * width], line, width);
        else std::memcpy(line, &previewPixels[y * width], width);
    }
    return true;
}

void paintPreview(const DrawRect& area)
{
    bool lockedHere = !game.lockedSurface && lockDraw();
    bool shown = !previewPixels.empty() && copyPreview(area, false);
    if (lockedHere) unlockDraw();
    if (shown) return;
    fillRect(&area, 240);
    drawTrackPreview(area);
    lockedHere = !game.lockedSurface && lockDraw();
    copyPreview(area, true);
    if (lockedHere) unlockDraw();
}

void onOk(Widget*)
{
    previewPixels.clear();
    giveBackColours();
    returnToParkedScreen();
}

void onReset(Widget*)
{
    if (messageBox(messageBoxYesNo, uiText(126), uiText(125), redrawShownScreen) != 1) return;
    resetTrackRecords(shownEntry);
    redrawShownScreen();
    redrawDialog();
}

}  // namespace

std::string recordLine(const char* name, int hundredths)
{
    char line[64];
    if (hundredths < 0) hundredths = 0;
    std::snprintf(line, sizeof line, "%-17.17s %2d.%02d", name ? name : "", hundredths / 100, hundredths % 100);
    return line;
}

void buildTrackInfo(Widget* w)
{
    makeButton(w[infoOk], 60, 56, 20, 4, widgetDefault | widgetCancel, onOk);
    makeButton(w[infoReset], 0, 56, 20, 4, 0, onReset);
    // The preview's place; nothing of the toolkit draws or hits it.
    w[infoPreview].x = 15, w[infoPreview].y = 13, w[infoPreview].w = 20, w[infoPreview].h = 15;
}

void captionTrackInfo(Widget* w)
{
    w[infoOk].label = uiText(28);
    w[infoReset].label = uiText(125);
}

void paintTrackInfo()
{
    drawPanel(uiText(123) + " - " + trackName(shownEntry));
    const Widget* w = screenWidgets(screenTrackInfo);
    if (w && previewLoaded) {
        const Widget& p = w[infoPreview];
        DrawRect area{int(p.x), int(p.y), int(p.x + p.w), int(p.y + p.h)};
        paintPreview(area);
    }
    bool lockedHere = !game.lockedSurface && lockDraw();
    drawCaptions(infoCaptions, int(std::size(infoCaptions)));
    if (previewLoaded) {
        drawRecords();
        drawDetails();
    }
    if (lockedHere) unlockDraw();
}

void openTrackInfo(const std::string& entry)
{
    if (game.raceRunning) return;
    shownEntry = entry;
    previewLoaded = loadTrackPreview(entry) == 0;
    previewPixels.clear();
    giveBackColours();
    if (previewLoaded) lendHolderColours();
    parkScreen();
    showScreen(screenTrackInfo);
}

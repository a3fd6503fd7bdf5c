#include "ui/track_info.h"

#include "state/game_state.h"
#include "render/car_portrait.h"
#include "render/draw_access.h"
#include "render/number_format.h"
#include "render/scenery.h"
#include "render/text.h"
#include "track/track_loader.h"
#include "track/track_records.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/screens.h"

#include <cstdio>
#include <cstring>

namespace {

std::string shownEntry;
bool previewLoaded = false;
// The preview is drawn once per opening; boxes over the screen repaint it from here.
std::vector<uint8_t> previewPixels;

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

void drawRecords()
{
    const TrackRecords& r = game.trackRecords;
    if (r.time[0] < emptyLapTime) {
        drawUnitText(recordLine(holder(0).c_str(), r.time[0]), 40, 16, captionColour);
        float orientation[9];
        portraitOrientation(2.3f, 0.6f, orientation);
        float height = 3.0f * float(game.guiScale);
        if (height > 0 && game.screenScale > 0)
            drawCarPortrait(r.car[0], 0, float(unitX(72)), float(unitY(17)), orientation, game.screenScale * 4.0f / (1.2f * height));
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
    std::vector<std::string> lines =
        breakMessageLines(std::string(game.trackInfo, strnlen(game.trackInfo, sizeof game.trackInfo)));
    for (size_t i = 0; i < lines.size() && i < 3; ++i) drawUnitText(lines[i], 15, 47 + 2.0f * float(i), captionColour);
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
    parkScreen();
    showScreen(screenTrackInfo);
}

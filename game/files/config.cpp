#include "files/config.h"

#include "state/game_state.h"
#include "files/ini_file.h"

#include <cstdint>

constexpr int32_t maxScreenshotWidth = 2560;
constexpr int32_t maxScreenshotHeight = 1920;

struct IntegerSetting {
    const char* section;
    const char* key;
    int32_t GameState::*field;
    int32_t defaultValue;
};

// In the order they are taken.
static const IntegerSetting integerSettings[] = {
    {"Replay", "FrameStep", &GameState::replayFrameStep, 5},
    {"Replay", "Length", &GameState::replayLength, 10},
    {"Graphics", "FasterTrackPreview", &GameState::fasterTrackPreview, 0},
    {"Graphics", "TyreAutoSort", &GameState::tyreAutoSort, 1},
    {"Viewport", "ViewAngle", &GameState::viewAngle, 32767},
    {"Viewport", "Rotation", &GameState::viewRotation, 32767},
    {"Viewport", "Zoom", &GameState::viewZoom, 0},
    {"Viewport", "RatioAdjust", &GameState::ratioAdjust, 1},
    {"Misc", "AlternativeSpeedSetting", &GameState::alternativeSpeedSetting, 0},
    {"Misc", "ScreenshotWidth", &GameState::screenshotWidth, 320},
    {"Misc", "ScreenshotHeight", &GameState::screenshotHeight, 240},
};

void loadConfig()
{
    for (const IntegerSetting& s : integerSettings) game.*s.field = s.defaultValue;
    game.paletteFile = "tm.pal";

    IniFile ini;
    if (!readIniFile(ini)) return;

    // A key of another kind (Zoom = 150.0, Rotation = -90) is not this setting.
    for (const IntegerSetting& s : integerSettings) {
        int32_t value = 0;
        int32_t type = -1;
        if (lookUpIniInteger(ini, s.section, s.key, value, type) && type == iniInteger) game.*s.field = value;
    }
    std::string text;
    int32_t type = -1;
    if (lookUpIniText(ini, "Misc", "PaletteFile", text, type) && type == iniText) game.paletteFile = text;

    if (game.screenshotWidth > maxScreenshotWidth) game.screenshotWidth = maxScreenshotWidth;
    if (game.screenshotHeight > maxScreenshotHeight) game.screenshotHeight = maxScreenshotHeight;
}

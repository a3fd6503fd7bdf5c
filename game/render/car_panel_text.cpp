#include "render/car_panel_text.h"

#include "render/draw_access.h"
#include "render/number_format.h"
#include "render/palette.h"
#include "render/scenery.h"
#include "render/text.h"
#include "state/game_state.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr uint8_t panelColour = 240, frameColour = 241, textColour = 242;
constexpr uint8_t lapTimeColours[3] = {textColour, 245, 244};  // normal, fastest lap, track record

// A text field of a panel up to its NUL or its end, whatever a saved game put there.
template <size_t N>
std::string_view field(const char (&s)[N])
{
    return std::string_view(s, strnlen(s, N));
}

// Car k's share of the panel: the eighth of the width its gauges start in.
int slotLeft(int k) { return int(int64_t(k + 2) * game.screenWidth / 8); }

}  // namespace

void drawCarPanelTexts()
{
    int c = game.guiScale, b = game.guiQuarter, h = game.screenHeight;
    if (c <= 0 || !game.lockedSurface) return;
    int top = bottomPanelTop(h), frame = std::max(b / 2, 1), line = 2 * c;
    int y = top + std::max((h - top - 2 * line) / 3, frame);

    // The record and the lap counter in the panel picture are those of the start.
    int x = std::max(c, 2 * frame);
    fillCorners(x, y, slotLeft(0), y + line, panelColour);
    drawText(formatTrackRecord(game.trackRecords.time[0]), x, y, textColour, frameColour);
    int leader = game.runningOrder[0];
    if (leader >= 0 && leader < maxCars && game.carPanels[leader].lapCounter[0]) {
        fillCorners(x, y + line + frame, slotLeft(0), y + 2 * line + frame, panelColour);
        drawText(field(game.carPanels[leader].lapCounter), x, y + line + frame, textColour, frameColour);
    }
    for (int k = 0; k < game.carCount && k < maxCars; ++k) {
        CarPanel& p = game.carPanels[k];
        // Right of the three bars of drawCarGauges.
        int bars = (3 * c - 10 * b - 1) / 2 + slotLeft(k) + c / 2;
        x = bars + 3 * (3 * b + 1) + c / 2;
        uint8_t timeColour = lapTimeColours[p.lapTimeColour < 3 ? p.lapTimeColour : 0];
        drawText(field(p.place), x, y, carSlot(k, 2), frameColour);
        drawText(field(p.lapCount), x + 2 * c, y, textColour, frameColour);
        drawText(field(p.lapTime), x, y + line + frame, timeColour, frameColour);
        p.changed = 0;
    }
}

#include "replay/replay_screen.h"

#include "race/race_screens.h"
#include "render/draw_access.h"
#include "render/number_format.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "replay/replay_playback.h"
#include "state/game_state.h"
#include "ui/screens.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr uint8_t panelColour = 240, frameColour = 241, textColour = 242, cutColour = 245;

// The key help, each key beside what it does (texts 154..161).
const char* const helpKeys[] = {"RIGHT", "DOWN", "LEFT", "PGUP", "PGDOWN", "NP +/-", "HOME/END", "C"};
constexpr int firstHelpText = 154;

int barX(int left, int right, float position)
{
    float end = replayEndPosition();
    float share = end > 0 ? std::clamp(position / end, 0.0f, 1.0f) : 0.0f;
    return left + int(share * float(right - left));
}

// Between the two corner panels: how far playback is, and the cut area once it is begun.
void drawProgressBar(int left, int right, int top, int bottom)
{
    const ReplayState& r = game.replay;
    int q = std::max(game.guiQuarter / 2, 1);
    if (right - left < 8 * q) return;
    fillCorners(left, top, right, bottom, frameColour);
    left += q, right -= q, top += q, bottom -= q;
    fillCorners(left, top, right, bottom, panelColour);
    fillCorners(left, top, barX(left, right, r.position), bottom, textColour);
    if (r.cutBegin >= 0) {
        float end = r.cutEnd >= 0 ? r.cutEnd : r.position;
        int a = barX(left, right, std::min(r.cutBegin, end)), b = barX(left, right, std::max(r.cutBegin, end));
        int mid = (top + bottom) / 2;
        fillCorners(a, mid - q, std::max(b, a + q), mid + q, cutColour);
    }
}

void drawHelp()
{
    int c = std::max(game.guiScale, 1), line = 2 * c;
    int keyWidth = 0, textWidthMax = 0;
    for (int i = 0; i < 8; ++i) {
        keyWidth = std::max(keyWidth, textWidth(helpKeys[i]));
        textWidthMax = std::max(textWidthMax, textWidth(uiText(firstHelpText + i)));
    }
    int width = keyWidth + textWidthMax + 4 * c, height = 8 * line + 2 * c;
    int x = (game.screenWidth - width) / 2, y = (game.screenHeight - height) / 2;
    fillCorners(x - c / 2, y - c / 2, x + width + c / 2, y + height + c / 2, frameColour);
    fillCorners(x, y, x + width, y + height, panelColour);
    for (int i = 0; i < 8; ++i) {
        int rowY = y + c + i * line;
        drawText(helpKeys[i], x + c, rowY, textColour, frameColour);
        drawText(uiText(firstHelpText + i), x + keyWidth + 3 * c, rowY, textColour, frameColour);
    }
}

void drawTexts()
{
    int c = std::max(game.guiScale, 1), line = 2 * c, w = game.screenWidth;
    int top = c / 2, bottom = top + 2 * line + c / 2;

    const std::string& title = uiText(151);
    const std::string& hint = uiText(152);
    int leftEnd = std::max(textWidth(title), textWidth(hint)) + 2 * c;
    fillCorners(0, 0, leftEnd, bottom, panelColour);
    drawText(title, c, top, textColour, frameColour);
    drawText(hint, c, top + line, textColour, frameColour);

    std::string time = replayTimeText();
    std::string rate = uiText(153) + " " + replayRateText();
    int rightStart = w - std::max(textWidth(time), textWidth(rate)) - 2 * c;
    fillCorners(rightStart, 0, w, bottom, panelColour);
    drawText(time, w - c - textWidth(time), top, textColour, frameColour);
    drawText(rate, w - c - textWidth(rate), top + line, textColour, frameColour);

    drawProgressBar(leftEnd + c, rightStart - c, top + line / 2, top + line + line / 2);
    if (game.keySnapshot && (game.keySnapshot[SDLK_F1] & 1)) drawHelp();
}

}  // namespace

std::string replayTimeText()
{
    const ReplayState& r = game.replay;
    double steps = std::max(double(r.position), 0.0) * std::max(r.frameStep, 1);
    return formatRaceClock(int32_t(std::min(steps, 2e9)));
}

std::string replayRateText()
{
    const ReplayState& r = game.replay;
    char text[16];
    std::snprintf(text, sizeof text, "%c%d:%d", r.speed < 0 ? '-' : ' ', r.rateNumerator, r.rateDenominator);
    return text;
}

void drawReplayScreen(int steps)
{
    replayLandingShown();
    if (!drawRacePicture(steps)) return;
    if (lockDraw()) {
        drawTexts();
        unlockDraw();
    }
    presentDrawSurface();
}

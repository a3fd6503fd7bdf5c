#include "ui/message_box.h"

#include "files/language.h"
#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/text.h"
#include "ui/dialog.h"
#include "ui/dialog_events.h"
#include "ui/widget_drawing.h"

#include <cstring>

namespace {

constexpr uint32_t boxDialogId = 11;
constexpr int boxWidgetCount = 3;
constexpr uint8_t boxFace = 100, boxFrame = 241, titleColour = 242, lineColour = 240;

enum { boxOk, boxYes, boxNo };
enum { promptField, promptOk, promptCancel };

Widget* boxWidgets = nullptr;
Widget* promptWidgets = nullptr;
int boxResult = 0;
bool running = false;

int px(float units) { return int(game.guiOriginX + units * game.guiScale); }
int py(float units) { return int(game.guiOriginY + units * game.guiScale); }

// Bit 0 of the style is the answer: 1 for OK and Yes.
void answer(Widget* w)
{
    boxResult = w->style & 1;
    closeDialog();
}

void makeButton(Widget& w, const std::string& label, int style, uint32_t flags)
{
    w = Widget{};
    w.kind = widgetButton;
    w.label = label;
    w.style = style;
    w.flags = flags;
    w.callback = answer;
}

// In pixels: the boxes' dialog has scale 1.
void placeButton(Widget& w, float x, float y)
{
    w.x = float(px(x));
    w.y = float(py(y));
    w.w = float(px(x + 12) - px(x));
    w.h = float(py(y + 3) - py(y));
}

// The frame, the title bar and the lines; buttons come with the dialog.
void drawBox(const std::string& title, const std::vector<std::string>& lines, float bottom)
{
    int n = int(lines.size());
    int q = std::max(game.guiQuarter, 1);
    int x0 = px(16), y0 = py(24.0f - n), x1 = px(64), y1 = py(bottom);
    bool lockedHere = !game.lockedSurface && lockDraw();
    fillCorners(x0 - q, y0 - q, x1 + q, y1 + q, boxFrame);
    fillCorners(x0, y0, x1, y1, boxFace);
    fillCorners(x0, y0, x1, py(27.0f - n), boxFrame);
    drawTextInBox(title, {x0, y0, x1 - 1, py(27.0f - n) - 1}, titleColour, centreHorizontally | centreVertically);
    for (int i = 0; i < n; ++i) drawText(lines[size_t(i)], px(20), py(30.0f - n + 2 * i), lineColour, 0);
    if (lockedHere) unlockDraw();
}

// Runs the pump until the box's dialog is closed or the program must end.
void runBox(Widget* widgets)
{
    while (game.dialog.active && game.dialog.widgets == widgets) {
        if (!game.systemHooks.pumpEvents || !game.systemHooks.pumpEvents(1)) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            boxResult = 0;
            break;
        }
    }
}

// Parks what is active and gives back whatever was parked before, for later.
DialogContext* parkActive()
{
    DialogContext* outer = game.parkedDialog;
    game.parkedDialog = suspendDialog();
    return outer;
}

void unpark(DialogContext* outer, void (*afterClose)())
{
    if (game.dialog.widgets == boxWidgets || game.dialog.widgets == promptWidgets) closeDialog();
    DialogContext* mine = game.parkedDialog;
    game.parkedDialog = outer;
    if (afterClose) afterClose();
    // A screen opened by afterClose takes the place of the parked one.
    if (!game.dialog.active) resumeDialog(mine);
    else delete mine;
}

}  // namespace

std::vector<std::string> breakMessageLines(const std::string& message, int width, int maxLines)
{
    std::vector<std::string> lines;
    size_t pos = 0, end = message.size();
    while (pos < end && int(lines.size()) < maxLines) {
        size_t rest = end - pos;
        size_t newline = message.find('\n', pos);
        if (newline != std::string::npos && newline - pos <= size_t(width)) {
            lines.push_back(message.substr(pos, newline - pos));
            pos = newline + 1;
            continue;
        }
        if (rest <= size_t(width)) {
            lines.push_back(message.substr(pos));
            break;
        }
        size_t cut = 0;
        for (size_t i = 0; i < size_t(width); ++i)
            if (std::strchr(" !,-.", message[pos + i]) && message[pos + i] != '\0') cut = i + 1;
        if (cut == 0) cut = size_t(width) + 1;
        lines.push_back(message.substr(pos, cut));
        pos += cut;
    }
    return lines;
}

bool modalBoxRunning()
{
    return running;
}

int messageBox(int kind, const std::string& message, const std::string& title, void (*afterClose)())
{
    if (running) return 0;  // never a box over a box: they share their widgets
    if (!boxWidgets) boxWidgets = newDialog(boxWidgetCount);
    Widget* w = boxWidgets;
    makeButton(w[boxOk], uiText(31, "OK"), 1 | 2, widgetDefault | widgetCancel);
    makeButton(w[boxYes], uiText(32, "Yes"), 1 | 2, widgetDefault);
    makeButton(w[boxNo], uiText(33, "No"), 0, widgetCancel);
    if (kind == messageBoxYesNo) w[boxOk].flags |= widgetHidden;
    else w[boxYes].flags |= widgetHidden, w[boxNo].flags |= widgetHidden;

    std::vector<std::string> lines = breakMessageLines(message);
    float n = float(lines.size());
    placeButton(w[boxOk], 34, n + 32);
    placeButton(w[boxYes], 26, n + 32);
    placeButton(w[boxNo], 42, n + 32);

    DialogContext* outer = parkActive();
    drawBox(title, lines, 36 + n);
    boxResult = 0;
    running = true;
    if (openDialog(boxWidgetCount, boxDialogId, 1, w, nullptr, nullptr, nullptr, dialogArrowKeys) == 0) runBox(w);
    running = false;
    unpark(outer, afterClose);
    return boxResult;
}

bool textPrompt(const std::string& message, const std::string& title, std::string& text, void (*afterClose)())
{
    if (running) return false;
    if (!promptWidgets) promptWidgets = newDialog(boxWidgetCount);
    Widget* w = promptWidgets;
    std::vector<std::string> lines = breakMessageLines(message);
    float n = float(lines.size());
    w[promptField] = Widget{};
    makeTextField(w[promptField], 0, "", 0, 0, 0, 0, promptMaxLength);
    w[promptField].x = float(px(20));
    w[promptField].y = float(py(n + 31));
    w[promptField].w = float(px(60) - px(20));
    w[promptField].h = float(py(n + 34) - py(n + 31));
    makeButton(w[promptOk], uiText(28, "OK"), 1 | 2, widgetDefault);
    makeButton(w[promptCancel], uiText(24, "Cancel"), 0, widgetCancel);
    placeButton(w[promptOk], 26, n + 36);
    placeButton(w[promptCancel], 42, n + 36);

    DialogContext* outer = parkActive();
    drawBox(title, lines, 40 + n);
    boxResult = 0;
    running = true;
    if (openDialog(boxWidgetCount, boxDialogId, 1, w, drawTextField, nullptr, nullptr, dialogArrowKeys) == 0) {
        focusForTyping(promptField);
        runBox(w);
    }
    running = false;
    bool ok = boxResult == 1;
    if (ok) text = w[promptField].label;
    unpark(outer, afterClose);
    return ok;
}

void freeModalBoxes()
{
    freeDialog(boxWidgetCount, boxWidgets);
    freeDialog(boxWidgetCount, promptWidgets);
    boxWidgets = promptWidgets = nullptr;
}

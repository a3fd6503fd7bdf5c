#include "ui/dialog_events.h"

#include "state/game_state.h"
#include "ui/dialog.h"
#include "ui/message_box.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// The cancel button that Escape pressed; its release counts only for that same press.
Widget* escapeArmed = nullptr;
// The list Enter or Space went down on, or the button Space pressed: the release takes it.
Widget* keyArmed = nullptr;

DialogContext& ctx() { return game.dialog; }

// The focused widget, or nullptr. A focused widget that was hidden meanwhile loses the focus.
Widget* focused()
{
    DialogContext& c = ctx();
    if (!c.active || c.focus < 0 || c.focus >= c.count) {
        c.focus = -1;
        return nullptr;
    }
    Widget& w = c.widgets[c.focus];
    if (widgetHiddenNow(w)) {
        w.state &= ~(stateFocused | statePressed);
        c.focus = -1;
        c.hover = 0;
        c.dragging = 0;
        return nullptr;
    }
    return &w;
}

bool inside(const Widget& w, float ux, float uy)
{
    return ux >= w.x && ux <= w.x + w.w && uy >= w.y && uy <= w.y + w.h;
}

float unitsX(int x) { return float(x) / ctx().scale; }
float unitsY(int y) { return float(y) / ctx().scale; }

// A callback may close the dialog or run a modal box; nothing of the old array is touched after.
void call(Widget& w)
{
    if (w.callback) w.callback(&w);
}

bool stillOpen(const Widget* widgets) { return ctx().active && ctx().widgets == widgets; }

void endEdit(int index, bool keepFocus)
{
    DialogContext& c = ctx();
    Widget& w = c.widgets[index];
    c.editing = -1;
    w.state &= ~stateEditing;
    if (!keepFocus) w.state &= ~stateFocused;
    redrawWidget(index, redrawEditing | redrawFocus);
    call(w);
}

// Only one field edits at a time: the one before ends first. False when its callback closed the
// dialog.
bool startEdit(int index)
{
    DialogContext& c = ctx();
    Widget* widgets = c.widgets;
    if (c.editing == index) return true;
    if (c.editing >= 0 && c.editing < c.count) {
        endEdit(c.editing, false);
        if (!stillOpen(widgets)) return false;
    }
    c.editing = index;
    c.widgets[index].state |= stateEditing | stateFocused;
    redrawWidget(index, redrawEditing);
    return true;
}

void unfocus(int index)
{
    DialogContext& c = ctx();
    if (index < 0 || index >= c.count) return;
    Widget& w = c.widgets[index];
    w.state &= ~(stateFocused | statePressed | stateKeyFocus);
    if (c.editing == index) w.state |= stateFocused;
    redrawWidget(index, redrawFocus | redrawPressed);
}

int itemCount(const Widget& w) { return w.list ? int(w.list->items.size()) : 0; }

// The widgets the arrow keys and Tab stop at; an empty list has nothing to take.
bool reachable(const Widget& w)
{
    if (w.flags & (widgetHidden | widgetUnreachable)) return false;
    if (w.kind == widgetList) return itemCount(w) > 0;
    return w.kind == widgetButton || w.kind == widgetTextField || w.kind == widgetSlider;
}

// The list's cursor on one of its items: where it was, within a list that may have shrunk, or
// else the first item shown.
void placeCursor(Widget& w)
{
    ListData* l = w.list;
    int n = itemCount(w);
    if (!l) return;
    if (n == 0) {
        l->cursor = -1;
        return;
    }
    int64_t first = int64_t(std::max(w.value, 0)) * std::max(l->columns, 1);
    l->cursor = l->cursor < 0 ? int(std::min<int64_t>(first, n - 1)) : std::min(l->cursor, n - 1);
}

// Scrolls the list so that the cursor's row shows.
void showCursor(Widget& w)
{
    const ListData& l = *w.list;
    if (l.cursor < 0) return;
    int row = l.cursor / std::max(l.columns, 1), first = w.value;
    if (row < first) first = row;
    else if (l.visibleRows > 0 && row >= first + l.visibleRows) first = row - l.visibleRows + 1;
    w.value = std::clamp(first, w.min, std::max(w.min, w.max));
}

// Moves the focus by keyboard: the pointer is not over the new widget.
void focusByKey(int index, bool pressed)
{
    DialogContext& c = ctx();
    if (c.focus != index) unfocus(c.focus);
    c.focus = index;
    c.hover = 0;
    Widget& w = c.widgets[index];
    w.state |= stateFocused | stateKeyFocus;
    if (w.kind == widgetList && w.list) {
        placeCursor(w);
        showCursor(w);
    }
    if (pressed) w.state |= statePressed;
    redrawWidget(index, redrawFocus | redrawPressed);
}

int lastVisibleButton(uint32_t flag)
{
    DialogContext& c = ctx();
    for (int i = c.count - 1; i >= 0; --i) {
        const Widget& w = c.widgets[i];
        if (w.kind == widgetButton && !widgetHiddenNow(w) && (w.flags & flag)) return i;
    }
    return -1;
}

// The value a pointer at position p along [from, to] stands for.
int32_t valueAlong(const Widget& w, float p, float from, float to)
{
    if (!(to > from) || w.max <= w.min) return w.min;
    double t = std::clamp(double(p - from) / double(to - from), 0.0, 1.0);
    if (!(t == t)) t = 0;
    int64_t span = int64_t(w.max) - w.min;
    return int32_t(std::clamp<int64_t>(w.min + std::llround(double(span) * t), w.min, w.max));
}

int32_t sliderValueAt(const Widget& w, float ux)
{
    float end = (w.flags & widgetShortArrows) ? w.h : 1.5f * w.h;
    return valueAlong(w, ux, w.x + end, w.x + w.w - end);
}

int32_t listRowAt(const Widget& w, float uy)
{
    float sw = w.list ? w.list->scrollbarWidth : 0;
    return valueAlong(w, uy, w.y + sw, w.y + w.h - sw);
}

bool onScrollbar(const Widget& w, float ux)
{
    return w.list && w.list->scrollbarWidth > 0 && ux >= w.x + w.w - w.list->scrollbarWidth;
}

// The item under a point of a list, -1 when there is none.
int listItemAt(const Widget& w, float ux, float uy)
{
    const ListData* l = w.list;
    if (!l || l->itemWidth <= 0 || l->itemHeight <= 0 || onScrollbar(w, ux)) return -1;
    // Compared as doubles first: a point far outside must not overflow an int.
    double column = std::floor((ux - w.x) / l->itemWidth), row = std::floor((uy - w.y) / l->itemHeight);
    if (!(column >= 0 && column < l->columns && row >= 0 && row < l->visibleRows)) return -1;
    int64_t index = int64_t(l->columns) * (int64_t(row) + w.value) + int64_t(column);
    return index >= 0 && index < int64_t(l->items.size()) ? int(index) : -1;
}

void stepValue(Widget& w, bool up)
{
    if (up) {
        if (w.value < w.max) ++w.value;
        w.state |= stateSteppedUp;
    } else {
        if (w.value > w.min) --w.value;
        w.state |= stateSteppedDown;
    }
}

void pressSlider(Widget& w, float ux)
{
    if (ux <= w.x + w.h) {
        stepValue(w, false);
    } else if (ux >= w.x + w.w - w.h) {
        stepValue(w, true);
    } else {
        w.value = sliderValueAt(w, ux);
        ctx().dragging = 1;
    }
    redrawWidget(ctx().focus, redrawValue | redrawFocus);
    call(w);
}

void pressList(Widget& w, float ux, float uy)
{
    DialogContext& c = ctx();
    int index = c.focus;
    if (onScrollbar(w, ux)) {
        float sw = w.list->scrollbarWidth;
        if (uy <= w.y + sw) stepValue(w, false);
        else if (uy >= w.y + w.h - sw) stepValue(w, true);
        else {
            w.value = listRowAt(w, uy);
            c.dragging = 1;
        }
        redrawWidget(index, redrawValue | redrawFocus);
        return;
    }
    int item = listItemAt(w, ux, uy);
    if (item < 0) {
        redrawWidget(index, redrawFocus);
        return;
    }
    ListData& l = *w.list;
    l.previousSelected = l.selected;
    l.selected = item;
    l.cursor = item;
    l.items[size_t(item)]->selected ^= 1;
    redrawWidget(index, redrawSelection | redrawFocus);
    if (w.flags & widgetEveryClick) call(w);
}

// Enter or Space on a list does what a click on the cursor's item does.
void takeCursor(Widget& w)
{
    placeCursor(w);
    ListData& l = *w.list;
    if (l.cursor < 0) return;
    l.previousSelected = l.selected;
    l.selected = l.cursor;
    l.items[size_t(l.cursor)]->selected ^= 1;
    redrawWidget(ctx().focus, redrawSelection);
    call(w);
}

// Up and Down move the cursor a row, Left and Right an item where a row holds several. False
// when the key is not the list's: Up from the first row, Down from the last, Left and Right in
// a list of one column.
bool moveCursor(Widget& w, int dx, int dy)
{
    int n = itemCount(w);
    if (n == 0) return false;
    placeCursor(w);
    ListData& l = *w.list;
    int columns = std::max(l.columns, 1);
    int64_t to = l.cursor;
    if (dy != 0) {
        to += int64_t(dy) * columns;
        // A shorter last row still takes a Down from the row above it.
        if (to >= n && l.cursor / columns < (n - 1) / columns) to = n - 1;
        if (to < 0 || to >= n) return false;
    } else {
        if (columns == 1) return false;
        to = std::clamp<int64_t>(to + dx, 0, n - 1);
    }
    l.cursor = int(to);
    showCursor(w);
    redrawWidget(ctx().focus, redrawValue | redrawFocus);
    return true;
}

// The keyboard acts on a widget the mouse focused: from now on it shows the mark.
void markKeyFocus(Widget& w)
{
    if (w.state & stateKeyFocus) return;
    w.state |= stateKeyFocus;
    redrawWidget(ctx().focus, redrawFocus);
}

void stepSlider(Widget& w, int delta)
{
    int32_t v = int32_t(std::clamp<int64_t>(int64_t(w.value) + delta, w.min, std::max(w.min, w.max)));
    if (v == w.value) return;
    w.value = v;
    redrawWidget(ctx().focus, redrawValue);
    call(w);
}

}  // namespace

int hitWidget(int x, int y)
{
    DialogContext& c = ctx();
    if (!c.active) return -1;
    float ux = unitsX(x), uy = unitsY(y);
    for (int i = 0; i < c.count; ++i) {
        const Widget& w = c.widgets[i];
        if (w.kind != widgetStatic && !widgetHiddenNow(w) && inside(w, ux, uy)) return i;
    }
    return -1;
}

void leftPress(int x, int y)
{
    DialogContext& c = ctx();
    if (!c.active) return;
    focused();
    Widget* widgets = c.widgets;
    escapeArmed = nullptr;
    keyArmed = nullptr;
    int hit = hitWidget(x, y);
    if (c.editing >= 0 && c.editing < c.count && c.editing != hit) {
        bool wasFocus = c.editing == c.focus;
        endEdit(c.editing, false);
        if (!stillOpen(widgets)) return;
        if (wasFocus) c.focus = -1;
    }
    if (c.focus >= 0 && c.focus != hit) unfocus(c.focus);
    c.focus = hit;
    c.dragging = 0;
    c.hover = hit >= 0;
    if (hit < 0) return;
    Widget& w = c.widgets[hit];
    w.state = (w.state | stateFocused) & ~stateKeyFocus;
    float ux = unitsX(x), uy = unitsY(y);
    switch (w.kind) {
    case widgetButton:
        w.state |= statePressed;
        redrawWidget(hit, redrawFocus | redrawPressed);
        break;
    case widgetTextField:
        if (c.editing == hit) redrawWidget(hit, redrawFocus);
        else startEdit(hit);
        break;
    case widgetSlider: pressSlider(w, ux); break;
    case widgetList: pressList(w, ux, uy); break;
    default: break;
    }
}

void pointerMove(int x, int y, bool leftHeld)
{
    DialogContext& c = ctx();
    if (!c.active || !leftHeld) return;
    Widget* w = focused();
    if (!w) return;
    float ux = unitsX(x), uy = unitsY(y);
    if (c.dragging) {
        if (w->kind == widgetSlider) {
            int32_t v = sliderValueAt(*w, ux);
            if (v == w->value) return;
            w->value = v;
            redrawWidget(c.focus, redrawValue);
            call(*w);
        } else if (w->kind == widgetList) {
            int32_t v = listRowAt(*w, uy);
            if (v == w->value) return;
            w->value = v;
            redrawWidget(c.focus, redrawValue);
        }
        return;
    }
    if (w->kind == widgetTextField) return;
    bool in = inside(*w, ux, uy);
    if (in == bool(c.hover)) return;
    c.hover = in;
    if (in) w->state |= statePressed;
    else w->state &= ~statePressed;
    redrawWidget(c.focus, redrawPressed);
}

void leftRelease(int x, int y)
{
    DialogContext& c = ctx();
    if (!c.active) return;
    Widget* w = focused();
    if (!w) return;
    bool dragged = c.dragging;
    c.dragging = 0;
    uint32_t stepped = w->state & (stateSteppedUp | stateSteppedDown);
    w->state &= ~(stateSteppedUp | stateSteppedDown);
    if (!c.hover) {
        if (stepped) redrawWidget(c.focus, redrawValue);
        return;
    }
    switch (w->kind) {
    case widgetButton:
        if (!(w->state & statePressed)) return;
        w->state &= ~statePressed;
        redrawWidget(c.focus, redrawPressed);
        call(*w);
        break;
    case widgetSlider:
        redrawWidget(c.focus, redrawValue);
        call(*w);
        break;
    case widgetList:
        if (stepped || dragged) redrawWidget(c.focus, redrawValue);
        if (!dragged && listItemAt(*w, unitsX(x), unitsY(y)) >= 0) {
            redrawWidget(c.focus, redrawSelection);
            call(*w);
        }
        break;
    default: break;
    }
}

void wheelStep(int step)
{
    DialogContext& c = ctx();
    if (!c.active) return;
    Widget* w = focused();
    if (!w || (w->kind != widgetSlider && w->kind != widgetList)) return;
    int rest = c.wheelRest + step;
    int notches = rest / 120;
    c.wheelRest = int16_t(rest - notches * 120);
    int32_t v = int32_t(std::clamp<int64_t>(int64_t(w->value) - notches, w->min, std::max(w->min, w->max)));
    if (v == w->value) return;
    w->value = v;
    redrawWidget(c.focus, redrawValue);
    if (w->kind == widgetSlider) call(*w);
}

void enterDown()
{
    DialogContext& c = ctx();
    if (!c.active) return;
    Widget* w = focused();
    escapeArmed = nullptr;
    keyArmed = nullptr;
    // Where arrow keys move the focus, Enter presses the focused button or takes the list's item.
    if ((c.flags & dialogArrowKeys) && w && w->kind == widgetButton) {
        focusByKey(c.focus, true);
        return;
    }
    if ((c.flags & dialogArrowKeys) && w && w->kind == widgetList && itemCount(*w) > 0) {
        markKeyFocus(*w);
        keyArmed = w;
        return;
    }
    int index = lastVisibleButton(widgetDefault);
    if (index >= 0) focusByKey(index, true);
}

void enterUp()
{
    DialogContext& c = ctx();
    if (!c.active) return;
    Widget* w = focused();
    if (c.editing >= 0 && c.editing < c.count) {
        // This Enter only confirms the text; a button it pressed on the way down is let go.
        if (w && w->kind == widgetButton && (w->state & statePressed)) {
            w->state &= ~statePressed;
            redrawWidget(c.focus, redrawPressed);
        }
        endEdit(c.editing, c.editing == c.focus);
        return;
    }
    if (!w) return;
    Widget* armed = keyArmed;
    keyArmed = nullptr;
    if (w->kind == widgetList) {
        if (w == armed) takeCursor(*w);
    } else if (w->kind == widgetTextField) {
        startEdit(c.focus);
    } else if (w->kind == widgetButton && (w->state & statePressed)) {
        w->state &= ~statePressed;
        redrawWidget(c.focus, redrawPressed);
        call(*w);
    }
}

void escapeDown()
{
    DialogContext& c = ctx();
    if (!c.active) return;
    focused();
    int index = lastVisibleButton(widgetCancel);
    escapeArmed = nullptr;
    keyArmed = nullptr;
    if (index < 0) return;
    focusByKey(index, true);
    escapeArmed = &c.widgets[index];
}

void escapeUp()
{
    DialogContext& c = ctx();
    Widget* armed = escapeArmed;
    escapeArmed = nullptr;
    if (!c.active) return;
    Widget* w = focused();
    if (!w || w != armed || !(w->state & statePressed)) return;
    w->state &= ~statePressed;
    redrawWidget(c.focus, redrawPressed);
    call(*w);
}

void stepFocus(int delta)
{
    DialogContext& c = ctx();
    if (!c.active || !(c.flags & dialogArrowKeys) || c.count <= 0 || delta == 0) return;
    focused();
    int step = delta > 0 ? 1 : -1;
    int from = c.focus >= 0 ? c.focus : (step > 0 ? -1 : c.count);
    for (int n = 1; n <= c.count; ++n) {
        int i = ((from + step * n) % c.count + c.count) % c.count;
        if (!reachable(c.widgets[i])) continue;
        if (i != c.focus) focusByKey(i, false);
        return;
    }
}

void arrowKey(int dx, int dy)
{
    DialogContext& c = ctx();
    if (!c.active || !(c.flags & dialogArrowKeys)) return;
    Widget* w = focused();
    if (w && w->kind == widgetSlider && dx != 0) {
        markKeyFocus(*w);
        stepSlider(*w, dx);
        return;
    }
    if (w && w->kind == widgetList) {
        markKeyFocus(*w);
        if (moveCursor(*w, dx, dy)) return;
    }
    // Up and Right go back, Down and Left on.
    stepFocus(dy != 0 ? dy : -dx);
}

void spaceDown()
{
    DialogContext& c = ctx();
    if (!c.active) return;
    Widget* w = focused();
    keyArmed = nullptr;
    if (!w) return;
    if (w->kind == widgetTextField) {
        typeCharacter(' ');
    } else if (w->kind == widgetButton) {
        focusByKey(c.focus, true);
        keyArmed = w;
    } else if (w->kind == widgetList && itemCount(*w) > 0) {
        markKeyFocus(*w);
        keyArmed = w;
    }
}

void spaceUp()
{
    DialogContext& c = ctx();
    Widget* armed = keyArmed;
    keyArmed = nullptr;
    if (!c.active) return;
    Widget* w = focused();
    if (!w || w != armed) return;
    if (w->kind == widgetList) {
        takeCursor(*w);
    } else if (w->kind == widgetButton && (w->state & statePressed)) {
        w->state &= ~statePressed;
        redrawWidget(c.focus, redrawPressed);
        call(*w);
    }
}

void focusWidget(int index)
{
    DialogContext& c = ctx();
    if (!c.active || index < 0 || index >= c.count || !reachable(c.widgets[index])) return;
    focusByKey(index, false);
}

void typeCharacter(int ch)
{
    DialogContext& c = ctx();
    if (!c.active) return;
    Widget* w = focused();
    if (!w || w->kind != widgetTextField) return;
    int index = c.focus;
    Widget* widgets = c.widgets;
    bool editing = c.editing == index;
    if (ch == 8) {
        if (!editing) {
            startEdit(index);
            return;
        }
        if (!w->label.empty()) w->label.pop_back();
    } else if (ch >= 32 && ch <= 126) {
        if (int(w->label.size()) >= w->max) return;
        if (!editing && (!startEdit(index) || !stillOpen(widgets))) return;
        w->label += char(ch);
    } else {
        return;
    }
    w->value = int32_t(w->label.size());
    redrawWidget(index, redrawValue);
}

void focusForTyping(int index)
{
    DialogContext& c = ctx();
    if (!c.active || index < 0 || index >= c.count || c.widgets[index].kind != widgetTextField) return;
    if (c.focus != index) unfocus(c.focus);
    c.focus = index;
    c.hover = 0;
    c.dragging = 0;
    if (!startEdit(index)) return;
    redrawWidget(index, redrawFocus | redrawEditing);
}

static bool dialogParked()
{
    return game.parkedDialog != nullptr || modalBoxRunning();
}

void connectDialogInput()
{
    DialogInput& d = game.dialogInput;
    d.escapeDown = escapeDown;
    d.enterDown = enterDown;
    d.stepFocus = stepFocus;
    d.arrowKey = arrowKey;
    d.spaceDown = spaceDown;
    d.spaceUp = spaceUp;
    d.character = typeCharacter;
    d.escapeUp = escapeUp;
    d.enterUp = enterUp;
    d.pointerMove = pointerMove;
    d.leftPress = leftPress;
    d.wheel = wheelStep;
    d.leftRelease = leftRelease;
    d.isParked = dialogParked;
}

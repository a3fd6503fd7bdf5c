#include "ui/dialog.h"

#include "state/game_state.h"
#include "render/draw_access.h"
#include "ui/widget_drawing.h"

#include <algorithm>
#include <cmath>

Widget* newDialog(int count)
{
    return count > 0 ? new Widget[count]() : nullptr;
}

static void freeItems(ListData& list)
{
    for (ListItem* item : list.items) delete item;
    list.items.clear();
}

void freeDialog(int count, Widget* widgets)
{
    if (!widgets) return;
    // Input must never reach a freed array.
    if (game.dialog.widgets == widgets) game.dialog = DialogContext{};
    for (int i = 0; i < count; ++i) {
        if (!widgets[i].list) continue;
        freeItems(*widgets[i].list);
        delete widgets[i].list;
        widgets[i].list = nullptr;
    }
    delete[] widgets;
}

static WidgetRoutine routineFor(const DialogContext& c, const Widget& w)
{
    switch (w.kind) {
    case widgetButton: return c.drawButton ? c.drawButton : drawButtonWidget;
    case widgetTextField: return c.drawText;
    case widgetSlider: return c.drawSlider;
    case widgetList: return c.drawList;
    default: return nullptr;
    }
}

void redrawWidget(int index, int32_t reason)
{
    DialogContext& c = game.dialog;
    if (!c.active || index < 0 || index >= c.count) return;
    Widget& w = c.widgets[index];
    WidgetRoutine draw = routineFor(c, w);
    if (!draw || widgetHiddenNow(w)) return;
    // Text needs the pixels; a caller that already holds the lock keeps it.
    bool lockedHere = !game.lockedSurface && lockDraw();
    w.redrawReason = reason;
    draw(&w);
    w.redrawReason = 0;
    if (lockedHere) unlockDraw();
}

void redrawDialog()
{
    for (int i = 0; i < game.dialog.count; ++i) redrawWidget(i, redrawFull);
}

int openDialog(int count, uint32_t dialogId, float scale, Widget* widgets, WidgetRoutine drawText,
               WidgetRoutine drawSlider, WidgetRoutine drawList, uint32_t flags)
{
    DialogContext& c = game.dialog;
    if (c.active) return -1;
    c = DialogContext{};
    c.dialogId = dialogId;
    c.scale = scale > 0 ? scale : 1;
    c.flags = flags;
    c.drawButton = drawButtonWidget;
    c.drawText = drawText;
    c.drawSlider = drawSlider;
    c.drawList = drawList;
    c.count = widgets ? std::max(count, 0) : 0;
    c.widgets = widgets;
    c.active = 1;
    // Nothing is focused yet: a focus or press left from the last time the screen was open goes.
    for (int i = 0; i < c.count; ++i) {
        c.widgets[i].id = (dialogId << 16) + uint32_t(i);
        c.widgets[i].state &= ~(stateFocused | statePressed | stateKeyFocus);
    }
    if (flags & dialogFocusFirstButton) {
        for (int i = 0; i < c.count; ++i) {
            Widget& w = c.widgets[i];
            if (w.kind != widgetButton || widgetHiddenNow(w)) continue;
            w.state |= stateFocused;
            c.focus = i;
            break;
        }
    }
    redrawDialog();
    return 0;
}

void closeDialog()
{
    DialogContext& c = game.dialog;
    for (int i = 0; i < c.count; ++i) {
        ListData* list = c.widgets[i].list;
        if (!list) continue;
        list->selected = list->previousSelected = -1;
        for (ListItem* item : list->items) item->selected = 0;
    }
    c = DialogContext{};
}

DialogContext* suspendDialog()
{
    if (!game.dialog.active) return nullptr;
    DialogContext* parked = new DialogContext(game.dialog);
    game.dialog = DialogContext{};
    return parked;
}

void resumeDialog(DialogContext* parked)
{
    if (!parked) return;
    game.dialog = *parked;
    delete parked;
    redrawDialog();
}

void makeTextField(Widget& w, uint32_t flags, const std::string& text, float x, float y, float width,
                   float height, int maxLength)
{
    w.kind = widgetTextField;
    w.flags = flags;
    w.label = text;
    w.x = x, w.y = y, w.h = height;
    w.w = std::max(width, 4 * height);
    w.value = int32_t(text.size());
    w.max = maxLength > 0 ? maxLength : 32;
    w.callback = nullptr;
}

void makeList(Widget& w, uint32_t flags, float x, float y, float width, float height, float itemWidth,
              float itemHeight, float scrollbarWidth)
{
    w.kind = widgetList;
    w.flags = flags;
    w.x = x, w.y = y, w.w = width, w.h = height;
    if (!w.list) w.list = new ListData();
    ListData& l = *w.list;
    l.scrollbarWidth = std::clamp(scrollbarWidth, 0.0f, width);
    l.itemWidth = std::min(itemWidth, width - l.scrollbarWidth);
    l.itemHeight = std::min(itemHeight, height);
    // A zero-sized item would make endless rows; such a list shows nothing.
    l.visibleRows = l.itemHeight > 0 ? int32_t(height / l.itemHeight) : 0;
    l.columns = l.itemWidth > 0 ? int32_t((width - l.scrollbarWidth) / l.itemWidth) : 0;
    updateListRange(w);
}

ListItem* addListItem(Widget& w, const std::string& text)
{
    if (!w.list) return nullptr;
    ListItem* item = new ListItem();
    item->text = text;
    w.list->items.push_back(item);
    updateListRange(w);
    return item;
}

void clearList(Widget& w)
{
    if (!w.list) return;
    freeItems(*w.list);
    w.list->selected = w.list->previousSelected = -1;
    updateListRange(w);
}

void updateListRange(Widget& w)
{
    if (!w.list) return;
    const ListData& l = *w.list;
    int columns = std::max(l.columns, 1);
    int rows = (int(l.items.size()) + columns - 1) / columns;
    w.min = 0;
    w.max = std::max(rows - l.visibleRows, 0);
    w.value = std::clamp(w.value, w.min, w.max);
}

void placeDialog(int count, Widget* widgets)
{
    float s = float(game.guiScale);
    for (int i = 0; widgets && i < count; ++i) {
        Widget& w = widgets[i];
        w.x = game.guiOriginX + w.x * s;
        w.y = game.guiOriginY + w.y * s;
        w.w *= s;
        w.h *= s;
        if (!w.list) continue;
        w.list->itemWidth *= s;
        w.list->itemHeight *= s;
        w.list->scrollbarWidth *= s;
    }
}

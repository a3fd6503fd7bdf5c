#pragma once
// The records of the retained GUI: every screen is a fixed array of widgets made once, and one
// DialogContext says which array takes the input. Widget positions are GUI units until a screen
// places them, pixels after.
#include <cstdint>
#include <string>
#include <vector>

struct DriverProfile;

enum WidgetKind : uint8_t { widgetStatic = 0, widgetButton = 1, widgetTextField = 2, widgetSlider = 3, widgetList = 4 };

// Widget::state
constexpr uint32_t stateFocused = 1u << 0;
constexpr uint32_t statePressed = 1u << 1;   // a pressed button, or the pointer inside
constexpr uint32_t stateEditing = 1u << 2;
constexpr uint32_t stateKeyFocus = 1u << 3;  // the keyboard gave or used the focus: it shows
constexpr uint32_t stateSteppedUp = 1u << 4;
constexpr uint32_t stateSteppedDown = 1u << 5;

// Widget::flags
constexpr uint32_t widgetHidden = 1u << 0;
constexpr uint32_t widgetUnreachable = 1u << 1;  // arrow keys pass it by
constexpr uint32_t widgetShortArrows = 1u << 2;  // slider track from x + h to x + w - h
constexpr uint32_t widgetEveryClick = 1u << 3;   // list callback on every press
constexpr uint32_t widgetDefault = 0x20;         // Enter
constexpr uint32_t widgetCancel = 0x40;          // Escape

// Widget::redrawReason
constexpr int32_t redrawFull = 0x0FFFFFFF;
constexpr int32_t redrawFocus = 1 << 0;
constexpr int32_t redrawPressed = 1 << 1;
constexpr int32_t redrawEditing = 1 << 2;
constexpr int32_t redrawValue = 1 << 3;
constexpr int32_t redrawSelection = 1 << 28;

struct ListItem {
    int32_t selected = 0;           // toggled by clicks
    std::string text;
    // What the screens keep with an entry.
    std::string fileName;
    uint8_t folder = 0;
    uint8_t computer = 0;           // drawn in the computer colour in driver lists
    DriverProfile* driver = nullptr;
};

struct ListData {
    int32_t selected = -1;
    int32_t previousSelected = -1;
    int32_t cursor = -1;            // the item the keyboard stands on, -1 none yet
    int32_t visibleRows = 0;        // int(h / itemHeight)
    int32_t columns = 0;            // int((w - scrollbarWidth) / itemWidth)
    float itemWidth = 0;
    float itemHeight = 0;
    float scrollbarWidth = 0;
    std::vector<ListItem*> items;   // owned
};

struct Widget;
using WidgetRoutine = void (*)(Widget*);

struct Widget {
    uint32_t id = 0;                // (dialog id << 16) + index, set on open
    int32_t redrawReason = 0;       // only while a drawing routine runs
    uint32_t state = 0;
    float x = 0, y = 0, w = 0, h = 0;
    int32_t min = 0;
    int32_t value = 0;              // slider value, first visible list row, text length
    int32_t max = 0;                // text fields: the longest text
    std::string label;
    uint8_t kind = widgetStatic;
    int16_t sub = 0;                // 1 option pages' OK, 3 pause-menu buttons
    int32_t style = 0;
    uint32_t flags = 0;
    ListData* list = nullptr;       // owned, lists only
    WidgetRoutine callback = nullptr;
};

// DialogContext::flags
constexpr uint32_t dialogArrowKeys = 1u << 0;
constexpr uint32_t dialogFocusFirstButton = 1u << 2;

struct DialogContext {
    uint32_t dialogId = 0;
    float scale = 1;                // pixels per unit of the widget rectangles
    int32_t focus = -1;
    uint8_t dragging = 0;
    uint8_t hover = 0;
    int32_t editing = -1;
    int16_t wheelRest = 0;
    uint32_t flags = 0;
    WidgetRoutine drawButton = nullptr;
    WidgetRoutine drawText = nullptr;
    WidgetRoutine drawSlider = nullptr;
    WidgetRoutine drawList = nullptr;
    int32_t count = 0;
    Widget* widgets = nullptr;
    uint8_t active = 0;
};

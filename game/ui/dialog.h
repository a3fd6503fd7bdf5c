#pragma once
// The active dialog: opening, closing, parking it behind a modal box, and redrawing its widgets
// through the routines of their kinds.
#include "state/widget.h"

#include <string>

// A counted array of count blank widgets, freed with freeDialog.
Widget* newDialog(int count);
// Frees every list's items and ListData, then the array.
void freeDialog(int count, Widget* widgets);

// 0, or -1 while another dialog is active. Draws every visible widget once.
int openDialog(int count, uint32_t dialogId, float scale, Widget* widgets, WidgetRoutine drawText,
               WidgetRoutine drawSlider, WidgetRoutine drawList, uint32_t flags);
// Clears every list's selection, then the context.
void closeDialog();
// The active context moved to the heap (nullptr when none is active); the context is cleared.
DialogContext* suspendDialog();
// Makes a parked context active again, frees the copy and redraws every visible widget.
void resumeDialog(DialogContext* parked);

// Draws widget index of the active dialog with the routine of its kind, telling it why.
void redrawWidget(int index, int32_t reason);
// Every visible widget of the active dialog, as on open.
void redrawDialog();

inline bool widgetHiddenNow(const Widget& w) { return (w.flags & widgetHidden) != 0; }

// Kind TextField holding text; at least 4 h wide; max = maxLength, or 32 when maxLength <= 0.
void makeTextField(Widget& w, uint32_t flags, const std::string& text, float x, float y, float width,
                   float height, int maxLength);
// Kind List with its ListData: rows and columns from the item size; an item is never wider
// than the list without its scrollbar nor taller than the list.
void makeList(Widget& w, uint32_t flags, float x, float y, float width, float height, float itemWidth,
              float itemHeight, float scrollbarWidth);
// Appends an item (owned by the list) and keeps the scroll range in step.
ListItem* addListItem(Widget& w, const std::string& text);
// Deletes every item; the selection goes with them.
void clearList(Widget& w);
// min 0 and max the last first row that still fills the list; value clamped into it.
void updateListRange(Widget& w);

// Turns rectangles and list metrics made in GUI units into pixels on the centred grid, as
// screens are placed once after they are built.
void placeDialog(int count, Widget* widgets);

#pragma once
// The standard look of the widget kinds, in the interface colours of the palette. Screens pass
// these routines to openDialog (buttons get drawButtonWidget unless a screen says otherwise).
#include "state/widget.h"

#include <string>

void drawButtonWidget(Widget* w);
void drawTextField(Widget* w);
void drawSlider(Widget* w);
void drawList(Widget* w);

// A box with a light top-left and a dark bottom-right edge (sunken: the other way round);
// right and bottom exclusive, in pixels.
void drawBevelBox(int x0, int y0, int x1, int y1, uint8_t face, bool sunken);

// What a slider shows: a resolution name for style 1, else the value and the label, whose
// "singular|plural" pair is chosen by the value.
std::string sliderText(const Widget& w);

#include "ui/widget_drawing.h"

#include "state/driver_profile.h"
#include "state/game_state.h"
#include "render/car_portrait.h"
#include "render/draw_access.h"
#include "render/text.h"
#include "files/options_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr uint8_t faceColour = 100, pressedFace = 95, focusedPauseFace = 97, markColour = 90;
constexpr uint8_t frameColour = 241, textColour = 240, lightEdge = 104, pauseFocusText = 115;
constexpr uint8_t computerColour = 90, focusColour = 115;

struct PixelRect {
    int x0, y0, x1, y1;  // right and bottom exclusive
};

// Widgets are in the active dialog's units; its scale makes them pixels.
PixelRect pixels(const Widget& w)
{
    float s = game.dialog.active && game.dialog.scale > 0 ? game.dialog.scale : 1;
    int x0 = int(std::lround(w.x * s)), y0 = int(std::lround(w.y * s));
    return {x0, y0, x0 + int(std::lround(w.w * s)), y0 + int(std::lround(w.h * s))};
}

void caption(const std::string& text, const PixelRect& r, uint8_t colour, int flags, int indent = 0)
{
    drawTextInBox(text, {r.x0 + indent, r.y0, r.x1 - 1, r.y1 - 1}, colour, flags);
}

// A frame of the given thickness around r, outside it.
void frameAround(const PixelRect& r, int thickness, uint8_t colour)
{
    int t = thickness;
    fillCorners(r.x0 - t, r.y0 - t, r.x1 + t, r.y0, colour);
    fillCorners(r.x0 - t, r.y1, r.x1 + t, r.y1 + t, colour);
    fillCorners(r.x0 - t, r.y0, r.x0, r.y1, colour);
    fillCorners(r.x1, r.y0, r.x1 + t, r.y1, colour);
}

int quarter() { return game.guiScale / 4; }

int bevel() { return std::max(1, game.guiScale / 8); }

// The keyboard's mark: a ring just inside the bevel, thick enough to see at 640 x 480, drawn
// under the caption so that no letter loses ink to it.
void focusRing(const PixelRect& r)
{
    int b = bevel(), t = std::max(2, game.guiScale / 4);
    PixelRect in{r.x0 + b, r.y0 + b, r.x1 - b, r.y1 - b};
    if (in.x1 - in.x0 <= 2 * t || in.y1 - in.y0 <= 2 * t) return;
    fillCorners(in.x0, in.y0, in.x1, in.y0 + t, focusColour);
    fillCorners(in.x0, in.y1 - t, in.x1, in.y1, focusColour);
    fillCorners(in.x0, in.y0 + t, in.x0 + t, in.y1 - t, focusColour);
    fillCorners(in.x1 - t, in.y0 + t, in.x1, in.y1 - t, focusColour);
}

// Sliders, lists and text fields show the focus in their outer frame.
bool keyFocused(const Widget& w) { return (w.state & (stateFocused | stateKeyFocus)) == (stateFocused | stateKeyFocus); }
uint8_t frameFor(const Widget& w) { return keyFocused(w) ? focusColour : frameColour; }

bool playerInUse(int k) { return k >= 0 && k < maxCars && k < game.carCount; }

uint8_t playerColour(int k)
{
    const DriverProfile* d = game.drivers[k];
    return d && isComputerDriver(*d) ? computerColour : textColour;
}

const CarModel* playerModel(int k)
{
    if (!game.models || game.modelCount <= 0) return nullptr;
    const DriverProfile* d = game.drivers[k];
    // A car type the list does not have races the first car.
    uint32_t type = d ? d->carType : 0;
    if (type >= uint32_t(game.modelCount)) type = 0;
    return &game.models[type];
}

void drawPlayerCar(int k, const PixelRect& r)
{
    const CarModel* model = playerModel(k);
    if (!model) return;
    size_t n = strnlen(model->name, sizeof model->name);
    caption(std::string(model->name, n), r, playerColour(k), centreVertically, game.guiScale / 2);
    float orientation[9];
    portraitOrientation(2.3f, 0.6f, orientation);
    // About three units across for a car of four metres.
    float height = float(r.y1 - r.y0);
    if (height <= 0 || game.screenScale <= 0) return;
    float distance = game.screenScale * 4.0f / (1.2f * height);
    drawCarPortrait(*model, k, float(r.x1) - 1.2f * height, float(r.y0 + r.y1) * 0.5f, orientation, distance);
}

}  // namespace

void drawBevelBox(int x0, int y0, int x1, int y1, uint8_t face, bool sunken)
{
    int b = bevel();
    uint8_t topLeft = sunken ? frameColour : lightEdge, bottomRight = sunken ? lightEdge : frameColour;
    fillCorners(x0, y0, x1, y1, face);
    fillCorners(x0, y0, x1, y0 + b, topLeft);
    fillCorners(x0, y0, x0 + b, y1, topLeft);
    fillCorners(x0, y1 - b, x1, y1, bottomRight);
    fillCorners(x1 - b, y0, x1, y1, bottomRight);
}

void drawButtonWidget(Widget* w)
{
    if (!w || w->kind != widgetButton || (w->flags & widgetHidden)) return;
    int style = w->style;
    int player = style >= 20 && style <= 25 ? style - 20 : style >= 10 && style <= 15 ? style - 10 : -1;
    if (player >= 0 && !playerInUse(player)) return;
    PixelRect r = pixels(*w);
    bool pressed = (w->state & statePressed) != 0, focused = (w->state & stateFocused) != 0;
    uint8_t face = pressed ? pressedFace : focused && w->sub == 3 ? focusedPauseFace : faceColour;
    int q = quarter(), indent = game.guiScale / 2;
    // The mouse's focus shows nothing, as it always did.
    bool ring = keyFocused(*w) && w->sub != 3;
    if (style == 7) {
        fillCorners(r.x0, r.y0, r.x1, r.y1, face);
        if (ring) focusRing(r);
        caption(w->label, r, markColour, centreVertically, indent);
        return;
    }
    if (style == 5 || style == 6) {
        if (style == 5) fillCorners(r.x0, r.y0, r.x1, r.y1, frameColour);
        PixelRect inset{r.x0 + q, r.y0 + q, r.x1 - q, r.y1 - q};
        drawBevelBox(inset.x0, inset.y0, inset.x1, inset.y1, face, pressed);
        if (ring) focusRing(inset);
        caption(w->label, inset, frameColour, centreHorizontally | centreVertically);
        return;
    }
    drawBevelBox(r.x0, r.y0, r.x1, r.y1, face, pressed);
    if (ring) focusRing(r);
    if (style >= 10 && style <= 15) {
        caption(game.driverNames[player], r, playerColour(player), centreVertically, indent);
    } else if (style >= 20 && style <= 25) {
        drawPlayerCar(player, r);
    } else if (w->sub == 3) {
        caption(w->label, r, focused ? pauseFocusText : frameColour, centreHorizontally | centreVertically);
    } else if (style == 1) {
        caption(w->label, r, frameColour, centreVertically, indent);
    } else {
        caption(w->label, r, frameColour, centreHorizontally | centreVertically);
    }
}

void drawTextField(Widget* w)
{
    if (!w || (w->flags & widgetHidden)) return;
    PixelRect r = pixels(*w);
    int q = quarter();
    frameAround(r, q, frameFor(*w));
    fillCorners(r.x0, r.y0, r.x1, r.y1, faceColour);
    std::string text = w->label;
    if (w->state & stateEditing) text += '|';
    caption(text, r, textColour, centreVertically, game.guiScale);
}

std::string sliderText(const Widget& w)
{
    if (w.style == 1) {
        if (w.value < 0 || w.value >= resolutionCount) return "???";
        const char* name = resolutionTable[w.value].name;
        return std::string(name, strnlen(name, sizeof resolutionTable[w.value].name));
    }
    std::string number = std::to_string(w.value);
    if (w.label.empty()) return number;
    size_t bar = w.label.find('|');
    if (bar == std::string::npos) return number + " " + w.label;
    return number + " " + (w.value == 1 ? w.label.substr(0, bar) : w.label.substr(bar + 1));
}

void drawSlider(Widget* w)
{
    if (!w || (w->flags & widgetHidden)) return;
    PixelRect r = pixels(*w);
    int q = quarter(), h = r.y1 - r.y0;
    frameAround(r, q, frameFor(*w));
    PixelRect minus{r.x0, r.y0, r.x0 + h, r.y1}, plus{r.x1 - h, r.y0, r.x1, r.y1};
    fillCorners(minus.x1, r.y0, plus.x0, r.y1, faceColour);
    bool shortArrows = (w->flags & widgetShortArrows) != 0;
    float start = float(r.x0) + (shortArrows ? 1.0f : 1.5f) * h;
    float span = float(r.x1 - r.x0) - (shortArrows ? 2.0f : 3.0f) * h;
    if (w->max > w->min && span > 0) {
        float t = std::clamp(float(w->value - w->min) / float(w->max - w->min), 0.0f, 1.0f);
        int inner = std::max(1, h / 4);
        fillCorners(int(start), r.y0 + inner, int(start + t * span), r.y1 - inner, markColour);
    }
    bool down = (w->state & stateSteppedDown) != 0, up = (w->state & stateSteppedUp) != 0;
    drawBevelBox(minus.x0, minus.y0, minus.x1, minus.y1, down ? markColour : faceColour, down);
    drawBevelBox(plus.x0, plus.y0, plus.x1, plus.y1, up ? markColour : faceColour, up);
    caption("-", minus, frameColour, centreHorizontally | centreVertically);
    caption("+", plus, frameColour, centreHorizontally | centreVertically);
    caption(sliderText(*w), r, frameColour, centreHorizontally | centreVertically);
}

void drawList(Widget* w)
{
    if (!w || (w->flags & widgetHidden) || !w->list) return;
    ListData& l = *w->list;
    PixelRect r = pixels(*w);
    float s = game.dialog.active && game.dialog.scale > 0 ? game.dialog.scale : 1;
    int q = quarter();
    frameAround(r, q, frameFor(*w));
    fillCorners(r.x0, r.y0, r.x1, r.y1, faceColour);

    int bar = int(std::lround(l.scrollbarWidth * s));
    if (bar > 0) {
        PixelRect top{r.x1 - bar, r.y0, r.x1, r.y0 + bar}, bottom{r.x1 - bar, r.y1 - bar, r.x1, r.y1};
        fillCorners(top.x0, top.y1, top.x1, bottom.y0, pressedFace);
        int track = bottom.y0 - top.y1;
        if (w->max > w->min && track > 0) {
            // The thumb covers the share of the rows that is visible.
            int64_t shown = std::max(l.visibleRows, 1), range = int64_t(w->max) - w->min;
            int thumb = int(std::max<int64_t>(bar / 2, track * shown / (range + shown)));
            int64_t offset = std::clamp<int64_t>(int64_t(w->value) - w->min, 0, range);
            int at = top.y1 + int((track - thumb) * offset / range);
            drawBevelBox(top.x0, at, top.x1, at + thumb, markColour, false);
        }
        drawBevelBox(top.x0, top.y0, top.x1, top.y1, (w->state & stateSteppedDown) ? markColour : faceColour, false);
        drawBevelBox(bottom.x0, bottom.y0, bottom.x1, bottom.y1, (w->state & stateSteppedUp) ? markColour : faceColour, false);
        caption("-", top, frameColour, centreHorizontally | centreVertically);
        caption("+", bottom, frameColour, centreHorizontally | centreVertically);
    }

    float iw = l.itemWidth * s, ih = l.itemHeight * s;
    int count = int(l.items.size());
    for (int row = 0; row < l.visibleRows; ++row) {
        for (int column = 0; column < l.columns; ++column) {
            int64_t index = int64_t(l.columns) * (int64_t(row) + w->value) + column;
            if (index < 0 || index >= count) continue;
            ListItem* item = l.items[size_t(index)];
            PixelRect box{r.x0 + int(column * iw), r.y0 + int(row * ih), r.x0 + int((column + 1) * iw),
                          r.y0 + int((row + 1) * ih)};
            uint8_t face = item->selected ? (w->style ? pressedFace : markColour) : faceColour;
            drawBevelBox(box.x0, box.y0, box.x1, box.y1, face, false);
            uint8_t colour = w->style == 1 && item->computer ? computerColour : textColour;
            if (keyFocused(*w) && index == l.cursor) focusRing(box);
            caption(item->text, box, colour, centreVertically, game.guiScale);
            // These lists mark only the last click.
            if (w->style) item->selected = 0;
        }
    }
}

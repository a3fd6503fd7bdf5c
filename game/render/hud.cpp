#include "render/hud.h"

#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/raster.h"

namespace {

struct LampDisc {
    float centreY, radius;  // in guiScale units
    uint8_t lit, dark;
};

const LampDisc lampDiscs[] = {
    {2.0f, 1.8f, 241, 241},  // rim
    {2.0f, 1.5f, 244, 1},    // lamp
    {1.7f, 1.0f, 243, 10},   // glow
    {1.4f, 0.3f, 242, 25},   // highlight
};

}  // namespace

void drawStartLights()
{
    if (game.startLight < 0) return;
    float a = float(game.guiScale);
    fillCorners(0, 0, 16 * game.guiScale, 4 * game.guiScale, 240);
    for (int i = 0; i < 3; ++i) {
        bool lit = i <= game.startLight && game.startLight <= 2;
        float x = 4 * a * (i + 1) - 0.5f;
        // A depth of screenScale makes the radius plain pixels.
        for (const LampDisc& d : lampDiscs)
            drawDisc(x, d.centreY * a - 0.5f, game.screenScale, d.radius * a, lit ? d.lit : d.dark, true);
    }
}

static void fillColumn(int x, int top, int bottomInclusive, int width, uint8_t colour)
{
    fillCorners(x, top, x + width, bottomInclusive + 1, colour);
}

void drawCarGauges(int car)
{
    if (car < 0 || car >= maxCars) return;
    const CarState& s = game.cars[car];
    int c = game.guiScale, b = game.guiQuarter, m = game.textShadowOffset, H = game.screenHeight;
    int top = H - 2 * c - 2 * b;
    int w = 3 * b;
    int x = (3 * c - 10 * b - 1) / 2 + (car + 2) * game.screenWidth / 8 + c / 2;
    struct Bar {
        uint16_t value;
        uint8_t colour;
    };
    const Bar bars[3] = {{s.tyres, 247}, {s.damage, 244}, {s.fuel, 245}};
    for (const Bar& bar : bars) {
        int level = top + 2 * c * (65535 - bar.value) / 65535;
        fillColumn(x, level - m, H + m - 2 * b - 1, w, 241);
        fillColumn(x + m, level, top + 2 * c - 1, w - 2 * m, bar.colour);
        x += w + 1;
    }
}

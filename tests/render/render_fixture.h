#pragma once
// A screen of a given size on SDL's dummy driver, with the drawing surfaces, the circle
// table and the built-in palette, as the game system would leave them.
#include "state/game_state.h"
#include "render/draw_access.h"
#include "render/palette.h"
#include "render/raster.h"
#include "render/surfaces.h"
#include "shell/game_system.h"
#include "support/harness.h"

#include <gtest/gtest.h>

class Screen {
public:
    Screen(int width, int height)
    {
        game.screenWidth = width;
        game.screenHeight = height;
        ok = sdl.ok() && setVideoMode(width, height, true);
        buildCircleTable();
        setProjectionScale(width, height);
        uint32_t colours[paletteSize] = {};
        builtInPalette(colours);
        applyPalette(colours);
    }
    ~Screen()
    {
        unlockDraw();
        freeSceneImages();
        freeDrawSurfaces();
        delete[] game.circleTable;
        game.circleTable = nullptr;
    }
    // The pixel of the locked drawSurface.
    static uint8_t& at(int x, int y) { return game.pixelBase[size_t(y) * game.pixelPitch + x]; }
    static int count(uint8_t colour)
    {
        int n = 0;
        for (int y = 0; y < game.drawSurface->h; ++y)
            for (int x = 0; x < game.drawSurface->w; ++x) n += at(x, y) == colour;
        return n;
    }
    bool ok = false;

private:
    SdlSession sdl{SDL_INIT_VIDEO};
};

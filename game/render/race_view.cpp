#include "render/race_view.h"

#include "state/game_state.h"
#include "render/car_view.h"
#include "render/draw_access.h"
#include "render/hud.h"
#include "render/particle_view.h"
#include "render/surfaces.h"

namespace {

bool copyBackground()
{
    if (!game.drawSurface || !game.backgroundSurface) return false;
    copyWholeSurface(game.backgroundSurface, game.drawSurface);
    return lockDraw();
}

}  // namespace

bool drawRaceView(int steps)
{
    if (!copyBackground()) return false;
    drawCars();
    drawParticles(steps);
    for (int k = 0; k < game.carCount && k < maxCars; ++k) drawCarGauges(k);
    drawStartLights();
    unlockDraw();
    return true;
}

bool drawFireworks(int steps)
{
    if (!copyBackground()) return false;
    drawParticles(steps);
    unlockDraw();
    return true;
}

#include "render/race_view.h"

#include "state/game_state.h"
#include "render/car_view.h"
#include "render/draw_access.h"
#include "render/frame_damage.h"
#include "render/hud.h"
#include "render/particle_view.h"
#include "render/surfaces.h"

namespace {

bool copyBackground()
{
    return restoreBackground() && lockDraw();
}

}  // namespace

bool drawRaceView(int steps)
{
    TrackedDrawing tracked;
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
    TrackedDrawing tracked;
    if (!copyBackground()) return false;
    drawParticles(steps);
    unlockDraw();
    return true;
}

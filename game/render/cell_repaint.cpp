#include "render/cell_repaint.h"

#include "state/game_state.h"
#include "render/frame_damage.h"
#include "render/ground_colours.h"
#include "render/raster.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint8_t firstNonGround = 120;  // water tints, objects, cars and the interface
constexpr uint8_t firstTyreMark = 40;

// The world point a pixel of the scene shows, from its depth.
Vec3 pixelWorld(int x, int y, uint16_t depth)
{
    const float* m = game.cameraMatrix;
    float z = (float(depth) + 0.5f) * depthUnit;
    float cx = (float(x) / game.screenScale - 0.5f) * z;
    float cy = (float(y) / game.screenScale - 0.5f * game.aspectRatio) * z;
    return game.cameraPosition + Vec3{m[0], m[1], m[2]} * cx + Vec3{m[3], m[4], m[5]} * cy + Vec3{m[6], m[7], m[8]} * z;
}

}  // namespace

void repaintCell(int cellX, int cellZ)
{
    SDL_Surface* bg = game.backgroundSurface;
    if (cellX < 0 || cellZ < 0 || cellX >= surfaceMapSide || cellZ >= surfaceMapSide) return;
    if (!bg || !game.surfaceMap || !game.depthImage || !game.shadeImage || !game.heightMap) return;
    if (game.sceneWidth != bg->w || game.sceneHeight != bg->h || !(game.surfaceCell > 0)) return;

    float cell = game.surfaceCell;
    float px = (cellX + 0.5f) * cell, pz = (cellZ + 0.5f) * cell;
    Vec3 centre{px, terrainHeight(px, pz), pz};
    float light = lightFactor(terrainNormal(px, pz));
    ScreenPoint s;
    if (!projectPoint(game.cameraPosition, game.cameraMatrix, centre, s)) return;

    // The disc of the cell's projected size, widened a pixel; each pixel is then held to the
    // cell by the ground point it shows, so neighbours and things in front stay.
    float radius = game.screenScale / s.z * cell * 0.75f + 1.0f;
    int32_t nearestDepth = depthValue(s.z - 2.0f * cell);
    int x0 = std::max(int(std::floor(s.x - radius)), 0), x1 = std::min(int(std::ceil(s.x + radius)), bg->w - 1);
    int y0 = std::max(int(std::floor(s.y - radius)), 0), y1 = std::min(int(std::ceil(s.y + radius)), bg->h - 1);
    if (x0 > x1 || y0 > y1) return;

    uint8_t value = std::min<uint8_t>(game.surfaceMap[cellZ * surfaceMapSide + cellX], groundValueCount - 1);
    uint8_t shadow = groundColours().shadow[value];
    bool marked = value >= firstTyreMark;
    float toCell = 1.0f / cell;
    if (SDL_LockSurface(bg) != 0) return;
    for (int y = y0; y <= y1; ++y) {
        uint8_t* line = static_cast<uint8_t*>(bg->pixels) + size_t(y) * bg->pitch;
        size_t row = size_t(y) * bg->w;
        for (int x = x0; x <= x1; ++x) {
            uint16_t d = game.depthImage[row + x];
            if (d == 0xFFFF || int32_t(d) < nearestDepth || line[x] >= firstNonGround) continue;
            Vec3 w = pixelWorld(x, y, d);
            if (int(std::floor(w.x * toCell)) != cellX || int(std::floor(w.z * toCell)) != cellZ) continue;
            if (std::abs(w.y - terrainHeight(w.x, w.z)) > cell) continue;
            uint8_t& shade = game.shadeImage[row + x];
            if (line[x] == shade) {
                line[x] = shadow;
            } else {
                float l = light;
                if (marked) l = std::clamp(l + (groundNoise(y, x) - 0.5f) * 0.3f, 0.0f, 1.0f);
                line[x] = groundShade(value, l, groundNoise(x, y));
            }
            shade = shadow;
        }
    }
    SDL_UnlockSurface(bg);
    markBackgroundChanged(x0, y0, x1 + 1, y1 + 1);
}

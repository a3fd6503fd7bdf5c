#include "render/scenery.h"

#include "state/game_state.h"
#include "render/frame_damage.h"
#include "render/ground_colours.h"
#include "render/number_format.h"
#include "render/object_models.h"
#include "render/raster.h"
#include "render/scene_raster.h"
#include "render/text.h"
#include "track/track_loader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t panelColour = 240, frameColour = 241, textColour = 242, postColour = 144;

float gridHeight(int column, int row)
{
    return game.heightMap[row * heightMapSide + column] * 0.05f;
}

// A vertex behind the camera keeps depth 0, which drawTriangle3D refuses.
SceneVertex vertexOf(const Vec3& world)
{
    SceneVertex v{};
    if (!sceneVertex(world, v)) v.z = 0;
    return v;
}

void drawTerrain()
{
    if (!game.heightMap) return;
    setSpanMode(spanTerrain);
    float cell = game.heightCell;
    std::vector<SceneVertex> grid(heightMapCells);
    for (int row = 0; row < heightMapSide; ++row)
        for (int column = 0; column < heightMapSide; ++column)
            grid[row * heightMapSide + column] = vertexOf({column * cell, gridHeight(column, row), row * cell});
    for (int i = 0; i < heightMapSide - 1; ++i)
        for (int k = 0; k < heightMapSide - 1; ++k) {
            const SceneVertex& a = grid[k * heightMapSide + i];
            const SceneVertex& b = grid[k * heightMapSide + i + 1];
            const SceneVertex& c = grid[(k + 1) * heightMapSide + i + 1];
            const SceneVertex& d = grid[(k + 1) * heightMapSide + i];
            float h = 0.25f * (gridHeight(i, k) + gridHeight(i + 1, k) + gridHeight(i + 1, k + 1) + gridHeight(i, k + 1));
            SceneVertex centre = vertexOf({(i + 0.5f) * cell, h, (k + 0.5f) * cell});
            drawTriangle3D(a, b, centre, 0);
            drawTriangle3D(b, c, centre, 0);
            drawTriangle3D(c, d, centre, 0);
            drawTriangle3D(d, a, centre, 0);
        }
}

// Posts just outside the corners, standing clear of the water, so the square's edge reads.
void drawCornerPosts()
{
    setSpanMode(spanFlat);
    float size = game.trackSize;
    for (int corner = 0; corner < 4; ++corner) {
        int column = (corner & 1) ? heightMapSide - 1 : 0, row = (corner & 2) ? heightMapSide - 1 : 0;
        float h = std::max(game.heightMap ? gridHeight(column, row) : 0.0f, game.waterLevel);
        Vec3 centre{(corner & 1) ? size + 0.4f : -0.4f, h / 2 + 1, (corner & 2) ? size + 0.4f : -0.4f};
        drawBox(centre, {0.4f, 0, 0}, {0, h / 2 + 1, 0}, {0, 0, 0.4f}, postColour);
    }
}

void drawWater()
{
    // Ground never lies below 0: a level of 0 would only tint where depths tie.
    if (!(game.waterLevel > 0)) return;
    setSpanMode(spanWater);
    float size = game.trackSize, y = game.waterLevel;
    SceneVertex a = vertexOf({0, y, 0}), b = vertexOf({size, y, 0}), c = vertexOf({size, y, size}), d = vertexOf({0, y, size});
    drawTriangle3D(a, b, c, 0);
    drawTriangle3D(a, c, d, 0);
}

void fillLocked(int x0, int y0, int x1, int y1, uint8_t colour)
{
    SDL_Surface* s = game.lockedSurface;
    x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, s->w), y1 = std::min(y1, s->h);
    for (int y = y0; y < y1; ++y)
        if (x1 > x0) std::memset(game.pixelBase + size_t(y) * game.pixelPitch + x0, colour, size_t(x1 - x0));
}

// Starts the locked surface empty in the panel colour; the scene images were started by
// allocateSceneImages, farthest depth and panel colour, so they are not filled twice.
void clearScene()
{
    SDL_Surface* s = game.lockedSurface;
    fillLocked(0, 0, s->w, s->h, panelColour);
}

}  // namespace

void drawScenery(bool withObjects)
{
    if (!game.lockedSurface || game.sceneWidth != game.lockedSurface->w || game.sceneHeight != game.lockedSurface->h) return;
    drawTerrain();
    setSpanMode(spanFlat);
    if (withObjects) drawTrackObjects();
    drawCornerPosts();
    drawWater();
    setSpanMode(spanFlat);
}

int bottomPanelTop(int screenHeight)
{
    return screenHeight - screenHeight / 12;
}

void drawBottomPanel()
{
    SDL_Surface* s = game.lockedSurface;
    if (!s) return;
    int top = bottomPanelTop(s->h), frame = std::max(game.guiQuarter / 2, 1);
    fillLocked(0, top, s->w, s->h, frameColour);
    fillLocked(frame, top + frame, s->w - frame, s->h - frame, panelColour);
    int x = std::max(game.guiScale, 2 * frame), line = 2 * game.guiScale;
    int y = top + std::max((s->h - top - 2 * line) / 3, frame);
    drawText(formatTrackRecord(game.trackRecords.time[0]), x, y, textColour, frameColour);
    drawText(formatCounter(std::max(game.leaderLaps, 0), game.raceLaps), x, y + line + frame, textColour, frameColour);
}

void buildRaceBackground()
{
    SDL_Surface* background = game.backgroundSurface;
    if (!background) return;
    buildGroundColours();
    bool drawLocked = game.lockedSurface && game.lockedSurface == game.drawSurface;
    unlockDraw();
    setProjectionScale(background->w, background->h);
    forgetFrames();  // race pictures so far were drawn over another background
    if (!allocateSceneImages(background->w, background->h, panelColour) || !lockBackground()) return;
    clearScene();
    drawScenery(true);
    drawBottomPanel();
    unlockDraw();
    if (drawLocked) lockDraw();
}

bool drawTrackPreview(const DrawRect& area)
{
    SDL_Surface* target = game.drawSurface;
    int w = area.right - area.left, h = area.bottom - area.top;
    if (!target || w <= 0 || h <= 0) return false;
    // The camera was framed for the screen's proportions: keep them, scaled into the area.
    float aspect = game.screenWidth > 0 && game.screenHeight > 0 ? float(game.screenHeight) / game.screenWidth : 0.75f;
    int pw = w, ph = int(w * aspect + 0.5f);
    if (ph > h) ph = h, pw = std::max(int(h / aspect + 0.5f), 1);
    if (ph <= 0) return false;
    SDL_Surface* picture = SDL_CreateRGBSurface(SDL_SWSURFACE, pw, ph, 8, 0, 0, 0, 0);
    if (!picture) return false;

    buildGroundColours();
    bool drawLocked = game.lockedSurface && game.lockedSurface == game.drawSurface;
    unlockDraw();
    float scale = game.screenScale, ratio = game.aspectRatio;
    setProjectionScale(pw, ph);
    bool drawn = allocateSceneImages(pw, ph, panelColour) && lockSurface(picture);
    if (drawn) {
        clearScene();
        drawScenery(game.fasterTrackPreview == 0);
        unlockDraw();
    }
    game.screenScale = scale, game.aspectRatio = ratio;

    if (drawn && lockDraw()) {
        int x0 = area.left + (w - pw) / 2, y0 = area.top + (h - ph) / 2;
        for (int y = 0; y < ph; ++y) {
            int ty = y0 + y;
            if (ty < 0 || ty >= target->h) continue;
            int from = std::max(0, -x0), to = std::min(pw, target->w - x0);
            if (to > from)
                std::memcpy(game.pixelBase + size_t(ty) * game.pixelPitch + x0 + from,
                            static_cast<uint8_t*>(picture->pixels) + size_t(y) * picture->pitch + from, size_t(to - from));
        }
        if (!drawLocked) unlockDraw();
    } else if (drawLocked) {
        lockDraw();
    }
    SDL_FreeSurface(picture);
    return drawn;
}

int showTrackPreview(const std::string& entry, const DrawRect& area)
{
    if (loadTrackPreview(entry) != 0) return -1;
    drawTrackPreview(area);
    return 0;
}

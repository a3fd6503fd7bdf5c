#include "track_render.h"

#include "track_examine.h"

#include "race/car_models.h"
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "state/random_table.h"
#include "render/car_view.h"
#include "render/draw_access.h"
#include "render/font.h"
#include "render/palette.h"
#include "render/particle_view.h"
#include "render/raster.h"
#include "render/scenery.h"
#include "render/surfaces.h"
#include "shell/game_system.h"
#include "files/options_file.h"
#include "track/terrain_height.h"

#include <algorithm>
#include <filesystem>

// Six colour pairs that tell the cars apart at a glance (red in the low byte, as driver files keep them).
static const uint32_t gridColours[maxCars][2] = {{0x2020D0, 0xF0F0F0}, {0xD04020, 0x202020}, {0x20B040, 0xF0E020},
                                                 {0x10C0F0, 0x6020A0}, {0xE0E0E0, 0x2020C0}, {0xC030C0, 0x20D0D0}};

// Car `car` standing on grid object `slot` as a race starts it: forward along the object's
// direction, up along the terrain, wheels on the ground.
static void standOnGrid(int car, const TrackObject& slot, const CarModel& model)
{
    game.carModels[car] = model;
    CarState& c = game.cars[car];
    c = CarState{};
    Vec3 up = terrainNormal(slot.position.x, slot.position.z);
    Vec3 ahead = slot.direction;
    ahead.y = 0;
    if (!(dot(ahead, ahead) > 0)) ahead = {1, 0, 0};
    c.rightAxis = normalised(cross(up, normalised(ahead)));
    c.forwardAxis = cross(c.rightAxis, up);
    c.upAxis = up;
    c.positionVector = {slot.position.x, terrainHeight(slot.position.x, slot.position.z) + model.ellipsoid.y,
                        slot.position.z};
    for (int w = 0; w < 4; ++w) {
        const Vec3& p = model.wheelPositions[w];
        Vec3 at = c.positionVector + c.rightAxis * p.x + c.forwardAxis * p.z;
        c.wheelPoints[w] = {at.x, terrainHeight(at.x, at.z), at.z};
    }
    c.tyres = c.fuel = 65535;
}

// A little of what a race leaves in the air: exhaust smoke behind each car, dust off the
// wheels, and splashes where the track has water.
static void scatterParticles()
{
    allocateParticleRing();
    clearParticles();
    for (int i = 0; i < game.carCount; ++i) {
        const CarState& c = game.cars[i];
        const CarModel& m = game.carModels[i];
        Vec3 tail = c.positionVector - c.forwardAxis * (m.ellipsoid.z + 0.3f);
        for (int k = 0; k < 3; ++k)
            startParticle(0, uint8_t(90 - 25 * k), tail - c.forwardAxis * (1.2f * k), c.forwardAxis * -2.0f);
        for (int w = 2; w < 4; ++w)
            startParticle(uint8_t(4 + i % 4), 70, c.wheelPoints[w] + Vec3{0, 0.3f, 0}, c.forwardAxis * -3.0f);
    }
    // Splashes on the first water the driving line passes.
    for (int i = 0; i < game.drivingLineCount; ++i) {
        Vec3 p = game.drivingLine[i];
        if (terrainHeight(p.x, p.z) >= game.waterLevel) continue;
        for (int k = 0; k < 6; ++k)
            startParticle(1, 60, {p.x + k * 0.4f, game.waterLevel + 0.2f * k, p.z}, {0, 6, 0});
        break;
    }
}

void drawRaceMovingThings()
{
    if (!game.models || game.modelCount <= 0) return;
    game.carCount = std::min<int>(maxCars, game.objectCount);
    for (int i = 0; i < game.carCount; ++i) {
        standOnGrid(i, game.trackObjects[i], game.models[i % game.modelCount]);
        setCarColours(i, gridColours[i][0], gridColours[i][1]);
    }
    // The first boxes serve cars, so their crews wear the cars' colours.
    for (int b = 0; b < game.pitBoxCount; ++b) game.pitBoxes[b].owner = uint8_t(b < game.carCount ? b : maxCars);
    scatterParticles();
    selectCarView(1);
    drawCars();
    drawParticles(1);
}

bool renderTrackPicture(const std::string& trackPath, const std::string& bmp, int width, int height,
                        const std::string& gameFolder, std::string& why)
{
    // Loading the font changes the working folder: settle the paths first.
    std::error_code ec;
    std::string track = std::filesystem::absolute(trackPath, ec).string();
    std::string out = std::filesystem::absolute(bmp, ec).string();
    if (width < 16 || height < 16 || width > 4096 || height > 4096) return why = "the picture size must lie in 16 .. 4096", false;
    game.screenWidth = width;
    game.screenHeight = height;
    game.exeFolder = gameFolder;
    if (game.paletteFile.empty()) game.paletteFile = "tm.pal";
    if (!createDrawSurfaces(width, height)) return why = "cannot make the drawing surfaces", false;
    loadPalette();
    if (loadFont() != 0) why = "no font.bmp beside tmtrack: the panel has no text";
    buildCircleTable();
    fillRandomTable();
    loadCarModels();
    setDefaultOptions(game.options);  // every effect slot and the shadows on, as a new player has them
    setProjectionScale(width, height);
    std::string loadWhy;
    bool ok = loadTrackForInspection(track, loadWhy);
    game.exeFolder = gameFolder;
    if (!ok) {
        freeCarModels();
        freeDrawSurfaces();
        freeFont();
        return why = loadWhy, false;
    }
    buildRaceBackground();
    SDL_BlitSurface(game.backgroundSurface, nullptr, game.drawSurface, nullptr);
    if (lockDraw()) {
        drawRaceMovingThings();
        unlockDraw();
    }
    ok = SDL_SaveBMP(game.drawSurface, out.c_str()) == 0;
    if (!ok) why = "cannot write " + bmp;
    freeParticleRing();
    freeCarModels();
    freeSceneImages();
    freeDrawSurfaces();
    freeFont();
    return ok;
}

#pragma once
// A race view without a track file: a flat square of ground framed by the race camera, with
// its picture, depth and shade images, and cars and pit crews standing on it. Needs the
// drawing surfaces of the screen's size (the Screen fixture, or the game system).
#include "state/game_state.h"
#include "state/particle_ring.h"
#include "render/frame_damage.h"
#include "render/raster.h"
#include "track/camera_framing.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace racescene {

// Light and shadowed slots of the ground: grass, with a tarmac band across the middle.
constexpr uint8_t grass = 40, grassShade = 33, tarmac = 14, tarmacShade = 6;

// trackSize, the camera looking down at angle degrees, and the ground y = 0 in all three images.
inline void flatGround(float trackSize, int angle = 60, int rotation = 20)
{
    game.trackSize = trackSize;
    game.surfaceCell = trackSize / 512;
    game.heightCell = trackSize / 63;
    game.waterLevel = -1;
    game.viewAngle = game.viewRotation = 0x7FFF;
    game.viewZoom = 0;
    frameTrackCamera(int16_t(angle), int16_t(rotation), 1.0f, game.aspectRatio);
    int w = game.screenWidth, h = game.screenHeight;
    allocateSceneImages(w, h);
    SDL_Surface* bg = game.backgroundSurface;
    SDL_LockSurface(bg);
    const float* m = game.cameraMatrix;
    const Vec3& eye = game.cameraPosition;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = static_cast<uint8_t*>(bg->pixels) + size_t(y) * bg->pitch;
        for (int x = 0; x < w; ++x) {
            // The ray through the pixel centre in camera terms, then in the world.
            float cx = x / game.screenScale - 0.5f, cy = y / game.screenScale - 0.5f * game.aspectRatio;
            Vec3 dir{m[0] * cx + m[3] * cy + m[6], m[1] * cx + m[4] * cy + m[7], m[2] * cx + m[5] * cy + m[8]};
            size_t i = size_t(y) * w + x;
            float t = dir.y < 0 ? -eye.y / dir.y : -1;
            Vec3 p = eye + dir * t;
            bool onGround = t > 0 && p.x >= 0 && p.z >= 0 && p.x <= trackSize && p.z <= trackSize;
            if (!onGround) {
                row[x] = 0;
                game.shadeImage[i] = 0;
                game.depthImage[i] = 0;  // nothing shows off the terrain
                continue;
            }
            bool road = std::fabs(p.z - trackSize * 0.5f) < trackSize * 0.2f;
            row[x] = road ? tarmac : grass;
            game.shadeImage[i] = road ? tarmacShade : grassShade;
            game.depthImage[i] = uint16_t(std::min<int32_t>(depthValue(t), 65535));
        }
    }
    SDL_UnlockSurface(bg);
    forgetFrames();  // painted behind the race pictures' bookkeeping
}

inline Vec3 heading(float radians) { return {std::cos(radians), 0, -std::sin(radians)}; }

// Car `car` of the race with its own copy of model, resting on the ground at (x, z) facing
// along heading; wheel contact points on the ground.
inline void placeCar(int car, const CarModel& model, float x, float z, float radians)
{
    game.carModels[car] = model;
    CarState& s = game.cars[car];
    s = CarState{};
    s.forwardAxis = heading(radians);
    s.upAxis = {0, 1, 0};
    s.rightAxis = cross(s.upAxis, s.forwardAxis);  // so that up = forward x right
    s.positionVector = {x, model.ellipsoid.y, z};
    for (int w = 0; w < 4; ++w) {
        const Vec3& p = model.wheelPositions[w];
        s.wheelPoints[w] = s.positionVector + s.rightAxis * p.x + s.forwardAxis * p.z;
        s.wheelPoints[w].y = 0;
    }
    s.tyres = s.fuel = 65535;
    game.carCount = std::max(game.carCount, car + 1);
}

// Pit box b at (x, z) along heading with its crew in their places, as the loader sets them.
inline void placePitBox(int b, float x, float z, float radians, uint8_t owner)
{
    if (!game.pitBoxes) game.pitBoxes = new PitBox[maxPitBoxes]();
    game.pitBoxCount = uint8_t(std::max<int>(game.pitBoxCount, b + 1));
    PitBox& box = game.pitBoxes[b];
    box = PitBox{};
    box.owner = owner;
    Vec3 p{x, 0, z}, f = heading(radians), r{f.z, 0, -f.x};
    box.stopPoint = p;
    box.axis = f;
    const Vec3 places[pitCrewSize] = {p + f * 2,         p - f * 3 + r * 3,   p + f * 1.5f + r * 3, p + f * 1.5f - r * 3,
                                      p - f * 1.5f + r * 3, p - f * 1.5f - r * 3, p - r * 3,            p + r * 3};
    for (int i = 0; i < pitCrewSize; ++i) box.crew[i].position = places[i] + Vec3{0, 0.7f, 0};
}

inline void clearScene()
{
    delete[] game.pitBoxes;
    game.pitBoxes = nullptr;
    game.pitBoxCount = 0;
    game.carCount = 0;
    freeParticleRing();
}

}  // namespace racescene

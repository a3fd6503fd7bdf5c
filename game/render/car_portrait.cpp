#include "render/car_portrait.h"

#include "state/game_state.h"
#include "render/palette.h"
#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Part {
    float depth;
    int face;         // -1: a disc
    ScreenPoint disc;
    float radius;
    uint8_t colour;
};

Vec3 apply(const float m[9], const Vec3& v)
{
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

}  // namespace

void portraitOrientation(float yaw, float pitch, float out[9])
{
    float cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    // Yaw about y, then pitch about x, then y turned downwards for the screen, as the race
    // camera's rows are.
    const float turn[9] = {cy, 0, sy, 0, 1, 0, -sy, 0, cy};
    const float tilt[9] = {1, 0, 0, 0, cp, sp, 0, -sp, cp};
    float r[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            float s = 0;
            for (int k = 0; k < 3; ++k) s += tilt[3 * i + k] * turn[3 * k + j];
            r[3 * i + j] = s;
        }
    for (int j = 0; j < 3; ++j) {
        out[j] = r[j];
        out[3 + j] = -r[3 + j];
        out[6 + j] = r[6 + j];
    }
}

void drawCarPortrait(const CarModel& model, int car, float x, float y, const float orientation[9], float distance)
{
    if (car < 0 || car >= maxCars || !(distance > 0)) return;
    int vertexCount = modelVertexCount(model);
    ScreenPoint points[30];
    bool visible[30];
    auto project = [&](const Vec3& v, ScreenPoint& p) {
        Vec3 q = apply(orientation, v);
        q.z += distance;
        if (!(q.z > 0.0001f)) return false;
        p = {x + game.screenScale * q.x / q.z, y + game.screenScale * q.y / q.z, q.z};
        return true;
    };
    for (int i = 0; i < vertexCount; ++i) visible[i] = project(model.vertices[i], points[i]);

    std::vector<Part> parts;
    eachModelFace(model, [&](int f, int a, int b, int c) {
        if (!visible[a] || !visible[b] || !visible[c]) return;
        float depth = (points[a].z + points[b].z + points[c].z) / 3;
        parts.push_back({depth, f, {}, 0, carFaceSlot(car, model.triangleColours[f])});
    });
    for (int w = 0; w < 4; ++w) {
        ScreenPoint p;
        if (project(model.wheelPositions[w], p)) parts.push_back({p.z, -1, p, model.wheelRadius[w], 169});
    }
    if (model.noHead == 0) {
        ScreenPoint p;
        if (project(model.headPosition, p)) parts.push_back({p.z, -1, p, 0.3f, carSlot(car, 5)});
    }
    // No depth image behind a portrait: the painter's order alone hides what lies behind.
    std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.depth > b.depth; });
    for (const Part& part : parts) {
        if (part.face >= 0) {
            const uint8_t* t = model.triangles + 3 * part.face;
            drawTriangle(points[t[0]], points[t[1]], points[t[2]], part.colour, true);
        } else {
            drawDisc(part.disc.x, part.disc.y, part.disc.z, part.radius, part.colour, true);
        }
    }
}

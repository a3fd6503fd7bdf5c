#include "track/camera_framing.h"

#include "state/game_state.h"

#include <cmath>

static constexpr int16_t viewportDefault = 0x7FFF;

float currentAspectRatio()
{
    if (game.screenWidth <= 0 || game.screenHeight <= 0) return 0.75f;
    return static_cast<float>(game.screenHeight) / static_cast<float>(game.screenWidth);
}

void frameTrackCamera(int16_t viewAngle, int16_t viewRotation, float zoom, float u)
{
    if (game.viewZoom >= 1) zoom = game.viewZoom * 0.01f;
    int angle = game.viewAngle != viewportDefault ? game.viewAngle : viewAngle;
    int rotation = game.viewRotation != viewportDefault ? game.viewRotation : viewRotation;

    double a1 = angle * 0.01745329252, a2 = rotation * 0.01745329252;
    float c1 = static_cast<float>(std::cos(a1)), s1 = static_cast<float>(std::sin(a1));
    float c2 = static_cast<float>(std::cos(a2)), s2 = static_cast<float>(std::sin(a2));
    float* m = game.cameraMatrix;
    m[0] = c2, m[1] = 0, m[2] = s2;
    m[3] = s2 * s1, m[4] = -c1, m[5] = -c2 * s1;
    m[6] = -s2 * c1, m[7] = -s1, m[8] = c2 * c1;

    float size = game.trackSize;
    auto h = [](int x, int z) { return game.heightMap ? game.heightMap[z * heightMapSide + x] * 0.05f + 2.0f : 2.0f; };
    Vec3 world[4] = {{0, h(0, 0), 0}, {size, h(63, 0), 0}, {0, h(0, 63), size}, {size, h(63, 63), size}};
    Vec3 cam[4];
    for (int i = 0; i < 4; ++i) {
        const Vec3& p = world[i];
        cam[i] = {m[0] * p.x + m[1] * p.y + m[2] * p.z, m[3] * p.x + m[4] * p.y + m[5] * p.z,
                  m[6] * p.x + m[7] * p.y + m[8] * p.z};
    }

    // Back the camera off along its view direction until every pair of corners fits the
    // screen's width and the top eleven twelfths of its height.
    float v = u * 11.0f / 12.0f;
    float bestA = 0, bestB = 0, x = 0, y = 0;
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b) {
            const Vec3& q = cam[a];
            const Vec3& r = cam[b];
            float mid = 0.5f * (q.z + r.z);
            if (q.x < r.x) {
                float d = mid + q.x - r.x;
                if (d < bestA) bestA = d, x = q.x + 0.5f * (q.z - d);
            } else {
                float d = mid + r.x - q.x;
                if (d < bestA) bestA = d, x = r.x + 0.5f * (r.z - d);
            }
            if (q.y < r.y) {
                float f = mid + (q.y - r.y) / v;
                if (f < bestB) bestB = f, y = q.y + 0.5f * u * (q.z - f);
            } else {
                float f = mid + (r.y - q.y) / v;
                if (f < bestB) bestB = f, y = r.y + 0.5f * u * (r.z - f);
            }
        }
    float dist = bestA < bestB ? bestA : bestB;

    if (game.ratioAdjust >= 1 && zoom < 1.0f) {
        if (u > 0.75f) zoom += (4.0f * u / 3.0f - 1.0f) * (1.0f - zoom) * s1;
        if (u < 0.75f) zoom += (1.0f - 4.0f * u / 3.0f) * (1.0f - zoom) * c1 / (1.0f - c1);
        if (zoom > 1.0f) zoom = 1.0f;
    }
    game.trackViewZoom = zoom;
    float z = dist * zoom;
    game.cameraPosition = {x * m[0] + y * m[3] + z * m[6], x * m[1] + y * m[4] + z * m[7], x * m[2] + y * m[5] + z * m[8]};
}

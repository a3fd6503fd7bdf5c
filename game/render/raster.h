#pragma once
// Projection and the primitives that draw moving things over the race view: discs, shadow
// discs, flat triangles and shadow triangles. All clip to the locked surface and test depth
// against depthImage; none writes it.
#include "state/vec3.h"

#include <cstdint>

// World depth of one depthImage step: depths 0..600 fit 16 bits.
constexpr float depthUnit = 0.0091552734375f;

struct ScreenPoint {
    float x, y, z;  // pixels, and the depth along the view direction
};

// screenScale and aspectRatio from the screen size.
void setProjectionScale(int screenWidth, int screenHeight);

// cameraMatrix rows: screen right, screen down, view direction. False, with out untouched,
// when the point lies at or behind the camera (z <= 0.0001).
bool projectPoint(const Vec3& cameraPosition, const float cameraMatrix[9], const Vec3& p, ScreenPoint& out);

// depthImage and shadeImage at the screen's size; depth all farthest, shade all the given
// colour. Images of that size already are kept and refilled.
bool allocateSceneImages(int width, int height, uint8_t shade = 0);
void freeSceneImages();

// depth value of a world depth, as the depth test compares it
int32_t depthValue(float z);

// Filled circle of radius screenScale / z * radius pixels.
void drawDisc(float x, float y, float z, float radius, uint8_t colour, bool ignoreDepth);
// The same circle, where the ground (tested one unit nearer) takes its shadow colour.
void drawShadowDisc(float x, float y, float z, float radius);
// Drawn only when its screen winding is counter-clockwise (negative signed area, y down); one
// depth for the whole face, and nothing at a face depth of 0 or less.
void drawTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c, uint8_t colour, bool ignoreDepth);
// Either winding; the ground under it, tested one unit nearer, takes its shadow colour.
void drawShadowTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c);

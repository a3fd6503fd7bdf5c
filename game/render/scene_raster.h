#pragma once
// The rasteriser of the static scenery: triangles filled span by span by the current span
// mode (textured ground, one flat colour, or the water plane), each testing and writing
// depthImage, and boxes made of such triangles.
#include "state/vec3.h"

#include <cstdint>

struct SceneVertex {
    float x, y, z;      // screen position and depth
    Vec3 rel;           // world position relative to cameraPosition
};

// One end of a span: screen x, 1/depth, and the relative world position over depth, which
// all change linearly across the screen. q and rq lead and travel as four floats together.
struct SpanEdge {
    float q;
    Vec3 rq;
    float x;
};

struct SpanStyle {
    uint8_t colour;
    float light;        // lightFactor of the triangle's upward normal
};

using SpanMode = void (*)(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);

// The SurfaceMap cell under each pixel, lit by the style's light, with noise; writes depth,
// colour and the cell's shadow colour.
void spanTerrain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);
// The style's colour; writes depth, and its darker shade into shadeImage.
void spanFlat(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);
// Where the plane is nearer than what is drawn, colour and shadow colour take their water
// tints. Writes no depth: what lies under water stays visible to the moving things.
void spanWater(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);
// The same three pixel by pixel: what processors without SSE2 draw, and the bits the four-wide
// forms above must match.
void spanTerrainPlain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);
void spanFlatPlain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);
void spanWaterPlain(int row, const SpanEdge& left, const SpanEdge& right, const SpanStyle& style);

void setSpanMode(SpanMode mode);

// The projected vertex of a world point; false when it lies at or behind the camera.
bool sceneVertex(const Vec3& world, SceneVertex& out);

// Fills the triangle scanline by scanline through the span mode, clipped to the locked
// surface. Nothing is drawn when a vertex lies at depth 0.0001 or less, or when the scene
// images do not match the locked surface.
void drawTriangle3D(const SceneVertex& a, const SceneVertex& b, const SceneVertex& c, uint8_t colour);

// A box around centre with three half-extent vectors; its faces that look towards the camera
// are drawn flat, each in the colour's shade for its normal. The span mode should be spanFlat.
void drawBox(const Vec3& centre, const Vec3& halfX, const Vec3& halfY, const Vec3& halfZ, uint8_t colour);

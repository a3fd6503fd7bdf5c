#pragma once
// The colours of the ground and of lit and shaded faces: the lit and shadow palette index of
// every ground value, the one light of the scenery, and the palette's darker and water-tinted
// counterparts of a colour.
#include "state/vec3.h"

#include <cstdint>

constexpr int groundValueCount = 48;       // 0..39 ground classes, 40..47 tyre marks

struct GroundColours {
    uint8_t lit[groundValueCount];
    uint8_t shadow[groundValueCount];
};

// Rebuilt whenever a race or the preview is prepared.
void buildGroundColours();
const GroundColours& groundColours();

// The direction the light travels (unit, pointing down).
Vec3 lightDirection();
// L = sqrt(1 - f^2) with f the cosine between the normal and the light, clamped to at most 0:
// 0 for a face turned straight at the light, 1 for one edge-on to it or turned away.
float lightFactor(Vec3 normal);

// The ground value's colour at light factor L: lit blended towards shadow, moved by a noise
// of about one shade (noise in [0, 1)), never leaving the two indices.
uint8_t groundShade(uint8_t value, float light, float noise);

// The fixed grain of the ground at a pixel, in [0, 1), from randomTable.
float groundNoise(int x, int y);

// A darker shade of the same colour: what a shadow makes of it.
uint8_t darkerShade(uint8_t colour);
// The palette's water-tinted form of a colour; interface colours stay.
uint8_t waterShade(uint8_t colour);
// The shade of a face of an object in the colour: brighter the more it faces the light.
uint8_t faceShade(uint8_t colour, Vec3 normal);

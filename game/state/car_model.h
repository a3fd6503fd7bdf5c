#pragma once
// A car type: name, collision ellipsoid, wheels, grip per surface band, engine and body.
// Stored in .car files, saved games and track records in this field order, 1344 bytes.
#include "state/vec3.h"

#include <cstdint>

// A name fills at most the 12 bytes the files give it; memory keeps one more for the NUL, so a
// name written without one (authors should leave room for it) reads back whole.
constexpr int carNameLength = 12;

struct CarModel {
    char name[carNameLength + 1];
    Vec3 ellipsoid;             // semi-axes x, y, z
    float wheelRadius[4];
    float gripTable[14];        // by surface band
    float contactTable[14];     // ground-contact factors by surface band
    float airDrag;
    float downforce;
    float enginePower;
    float topSpeed;
    float slipStiffness;
    float mass;                 // without fuel
    float corneringFactor;      // front wheels
    float lookAhead;            // computer driver's steering probe
    uint8_t vertexCount;        // at most 30
    uint8_t collisionPointCount;// at most 15
    uint8_t triangleIndexCount; // multiple of 3, at most 120
    uint8_t collisionIndexCount;// multiple of 3, at most 30
    uint8_t noHead;             // 0 draws the driver's head
    uint8_t triangles[120];
    uint8_t triangleColours[40];
    uint8_t collisionTriangles[30];
    Vec3 vertices[30];
    Vec3 normals[30];
    Vec3 collisionPoints[15];
    Vec3 wheelPositions[4];     // 0 and 1 are the steered front wheels
    Vec3 headPosition;
};

constexpr int carModelFileSize = 1344;

// Vertices within the array, whatever the count says.
inline int modelVertexCount(const CarModel& m) { return m.vertexCount < 30 ? m.vertexCount : 30; }

// Calls face(f, ia, ib, ic) for each face within the arrays whose three corners are vertices
// of the model: a model from a file may name any index.
template <class Face>
void eachModelFace(const CarModel& m, Face face)
{
    int vertices = modelVertexCount(m);
    int faces = (m.triangleIndexCount < 120 ? m.triangleIndexCount : 120) / 3;
    for (int f = 0; f < faces; ++f) {
        const uint8_t* t = m.triangles + 3 * f;
        if (t[0] < vertices && t[1] < vertices && t[2] < vertices) face(f, int(t[0]), int(t[1]), int(t[2]));
    }
}

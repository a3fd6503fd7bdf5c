#include "track/car_model_file.h"

static bool readVec3s(TrackFile& f, Vec3* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!f.readF32(v[i].x) || !f.readF32(v[i].y) || !f.readF32(v[i].z)) return false;
    return true;
}

static bool writeVec3s(TrackFile& f, const Vec3* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!f.writeF32(v[i].x) || !f.writeF32(v[i].y) || !f.writeF32(v[i].z)) return false;
    return true;
}

static bool readF32s(TrackFile& f, float* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!f.readF32(v[i])) return false;
    return true;
}

static bool writeF32s(TrackFile& f, const float* v, int n)
{
    for (int i = 0; i < n; ++i)
        if (!f.writeF32(v[i])) return false;
    return true;
}

// Files come from anywhere: keep every count and index inside the arrays that the renderer
// and the simulation walk, and the name a terminated string.
static void keepInBounds(CarModel& m)
{
    m.name[carNameLength] = 0;
    if (m.vertexCount > 30) m.vertexCount = 30;
    if (m.collisionPointCount > 15) m.collisionPointCount = 15;
    if (m.triangleIndexCount > 120) m.triangleIndexCount = 120;
    m.triangleIndexCount -= m.triangleIndexCount % 3;
    if (m.collisionIndexCount > 30) m.collisionIndexCount = 30;
    m.collisionIndexCount -= m.collisionIndexCount % 3;
    for (int i = 0; i < m.triangleIndexCount; ++i)
        if (m.triangles[i] >= m.vertexCount) m.triangles[i] = 0;
    for (int i = 0; i < m.collisionIndexCount; ++i)
        if (m.collisionTriangles[i] >= m.collisionPointCount) m.collisionTriangles[i] = 0;
}

bool readCarModel(TrackFile& f, CarModel& m)
{
    bool ok = f.readBytes(m.name, carNameLength) && f.skip(4);
    ok = ok && readVec3s(f, &m.ellipsoid, 1) && readF32s(f, m.wheelRadius, 4);
    ok = ok && readF32s(f, m.gripTable, 14) && readF32s(f, m.contactTable, 14);
    float* scalars[] = {&m.airDrag, &m.downforce, &m.enginePower, &m.topSpeed,      &m.slipStiffness,
                        &m.mass,    &m.corneringFactor, &m.lookAhead};
    for (float* s : scalars) ok = ok && f.readF32(*s);
    ok = ok && f.readU8(m.vertexCount) && f.readU8(m.collisionPointCount) && f.readU8(m.triangleIndexCount);
    ok = ok && f.readU8(m.collisionIndexCount) && f.readU8(m.noHead);
    ok = ok && f.readBytes(m.triangles, 120) && f.readBytes(m.triangleColours, 40);
    ok = ok && f.readBytes(m.collisionTriangles, 30) && f.skip(1);
    ok = ok && readVec3s(f, m.vertices, 30) && readVec3s(f, m.normals, 30);
    ok = ok && readVec3s(f, m.collisionPoints, 15) && readVec3s(f, m.wheelPositions, 4);
    ok = ok && readVec3s(f, &m.headPosition, 1);
    keepInBounds(m);
    return ok;
}

static bool writePadding(TrackFile& f, long n, CarPadding padding)
{
    return padding == carPaddingKept ? f.skip(n) : f.writeZeros(size_t(n));
}

bool writeCarModel(TrackFile& f, const CarModel& m, CarPadding padding)
{
    bool ok = f.writeBytes(m.name, carNameLength) && writePadding(f, 4, padding);
    ok = ok && writeVec3s(f, &m.ellipsoid, 1) && writeF32s(f, m.wheelRadius, 4);
    ok = ok && writeF32s(f, m.gripTable, 14) && writeF32s(f, m.contactTable, 14);
    const float scalars[] = {m.airDrag, m.downforce, m.enginePower, m.topSpeed, m.slipStiffness,
                             m.mass,    m.corneringFactor, m.lookAhead};
    for (float s : scalars) ok = ok && f.writeF32(s);
    ok = ok && f.writeU8(m.vertexCount) && f.writeU8(m.collisionPointCount) && f.writeU8(m.triangleIndexCount);
    ok = ok && f.writeU8(m.collisionIndexCount) && f.writeU8(m.noHead);
    ok = ok && f.writeBytes(m.triangles, 120) && f.writeBytes(m.triangleColours, 40);
    ok = ok && f.writeBytes(m.collisionTriangles, 30) && writePadding(f, 1, padding);
    ok = ok && writeVec3s(f, m.vertices, 30) && writeVec3s(f, m.normals, 30);
    ok = ok && writeVec3s(f, m.collisionPoints, 15) && writeVec3s(f, m.wheelPositions, 4);
    ok = ok && writeVec3s(f, &m.headPosition, 1);
    return ok;
}

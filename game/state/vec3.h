#pragma once
// World vectors in metres: x east, y up, z north (north lies at the top of the race view).

#include <cmath>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A zero vector stays zero rather than turning into NaN.
inline Vec3 normalised(Vec3 a)
{
    float l2 = dot(a, a);
    return l2 > 0 ? a * (1.0f / std::sqrt(l2)) : a;
}

// Along the ground only: what the drivers and the pit lane measure distances with.
inline float flatLength2(Vec3 a) { return a.x * a.x + a.z * a.z; }
inline float flatLength(Vec3 a) { return std::sqrt(flatLength2(a)); }

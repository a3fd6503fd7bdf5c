#pragma once
// Every solid contact treats the car as an ellipsoid and the other party as a plane slab, a
// sphere, an infinite cylinder or another car's ellipsoid.
#include "state/vec3.h"

struct ContactParams {
    float friction;   // scales the tangential impulse
    float bounce;     // scales the normal response
    float stiffness;  // share of the penetration removed in one step
};

// wheelFlag 0 books the load on the body; 1 (ground), 2 or 3 share it among the wheels and
// mark their contact kind.
void slabContact(int car, const Vec3& point, const Vec3& normal, float halfThickness,
                 const ContactParams& params, int wheelFlag);
void sphereContact(int car, const Vec3& centre, float radius, const ContactParams& params);
void cylinderContact(int car, const Vec3& point, const Vec3& axis, float radius,
                     const ContactParams& params);
// The car's bounding sphere reaches the sphere round the box: the first test of boxContact.
bool boxWithinReach(int car, const Vec3& centre, const float half[3]);
// A box of half extents along three unit axes (axes[1] its up): the car meets the face its
// centre lies in front of, or the nearest point of an edge or corner. The top uses its own
// arguments and wheel flag; a box that is only a floor (topOnly) is met from above alone.
void boxContact(int car, const Vec3& centre, const Vec3 axes[3], const float half[3],
                const ContactParams& sides, const ContactParams& top, int topWheelFlag, bool topOnly);
// boxContact for a box boxWithinReach has just let through, with the car not moved since.
void boxContactWithinReach(int car, const Vec3& centre, const Vec3 axes[3], const float half[3],
                           const ContactParams& sides, const ContactParams& top, int topWheelFlag, bool topOnly);

// The car's ellipsoid point touching an obstacle in direction n (unit, obstacle to car),
// relative to its centre; the centre itself when the car has no extent.
Vec3 supportPoint(int car, const Vec3& n);

// The ground under the car and the four walls around the square.
void groundAndWallContacts(int car);
// The same with the terrain height and normal under the car's centre already known.
void groundAndWallContacts(int car, float groundHeight, const Vec3& normal);
// The track objects from index 6 on (the first six are the grid).
void objectContacts(int car);
// Car i against car j, i < j.
void carCarContact(int i, int j);
// Every pair of the first `cars` cars, as carCarContact in the order (0, 1), (0, 2) .. (1, 2) ..;
// a contact moves no car's model, so each bounding radius is read once.
void carCarContacts(int cars);

#include "race/collisions.h"

// Filled in by the collision work.
void slabContact(int, const Vec3&, const Vec3&, float, const ContactParams&, int) {}
void sphereContact(int, const Vec3&, float, const ContactParams&) {}
void cylinderContact(int, const Vec3&, const Vec3&, float, const ContactParams&) {}
void groundAndWallContacts(int) {}
void objectContacts(int) {}
void carCarContact(int, int) {}

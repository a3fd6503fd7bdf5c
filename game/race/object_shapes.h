#pragma once
// The solid shapes of the track objects: for each kind a compound of posts, balls and boxes
// placed at the object and turned to its direction.
#include "state/track_data.h"

// How far from its position, across the ground, any part of a kind reaches.
float objectReach(int kind);
// Every part of the object against the car.
void objectShapeContacts(int car, const TrackObject& object);

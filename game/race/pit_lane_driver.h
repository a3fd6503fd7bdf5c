#pragma once
// How a computer car uses the pit lane: whether it goes in, which box it takes, how it rolls
// into that box behind the cars ahead, and when it drives off again.
#include "state/car_state.h"

// The driver's mode in the car's revving counter: on the line, on the lane, or bound for a box.
enum DriverMode : uint8_t { OnLine = 0, IntoPitLane = 1, OutOfPitLane = 2, FirstBoxMode = 3 };

// At the pit entry: whether the car goes in.
bool wantsPitStop(int car);
// The track has a lane and a box this car may use.
bool pitLaneUsable(int car);
// On the lane: the farthest free box ahead that the car can still stop at; the mode becomes
// that box's.
void chooseBox(int car);
// The crew have done what the car needs for the rest of the race.
bool serviceDone(int car, int box);
// The first lane point ahead of the car, where it drives on from its box.
int laneIndexAhead(const CarState& c);
// The side of the lane a car passing the boxes keeps to: +1 right of the lane's direction.
float laneClearSide();

// Bound for box b: false when the car gives the box up (passed it, knocked out of the lane,
// finished, or too long on the way) and drives on down the lane. While near the box it steers
// onto the stop point (near is set); throttle is the state that brings it to rest there.
bool approachBox(int car, int b, int& throttle, float& steering, bool& near);

// Being served: rolls on onto the stop point, well below the speed that would free the box, and
// stands there.
void standInBox(int car, int b, int& throttle, float& steering);

// On the lane: the throttle state that keeps the car within the lane's speed and from running
// into the car ahead of it.
int keepGap(int car, int throttle);
// On the line: the throttle state that keeps the car off a computer car ahead of it that slows
// for the pit lane.
int yieldToPitting(int car, int throttle);

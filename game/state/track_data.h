#pragma once
// The loaded track as the race uses it: objects, pit boxes, gates, the computer drivers'
// line, the records area and the ghost lap samples.
#include "platform/clock.h"
#include "state/car_model.h"
#include "state/vec3.h"

#include <cstdint>

constexpr int surfaceMapSide = 512;
constexpr int surfaceMapCells = surfaceMapSide * surfaceMapSide;
constexpr int heightMapSide = 64;
constexpr int heightMapCells = heightMapSide * heightMapSide;
constexpr int maxPitBoxes = 6;
constexpr int pitCrewSize = 8;
constexpr int recordCount = 7;             // 0 the lap record, 1..6 the best times
constexpr int recordNameSize = 13;
constexpr uint16_t trackVersionMax = 0x110;
constexpr uint16_t trackMagic = 0x4D54;
constexpr uint32_t recordsMarker = 0x544C;
constexpr int ghostCapacity = 6001;        // samples per ghost buffer
constexpr uint16_t ghostNone = 6000;

struct TrackObject {
    uint8_t kind;
    Vec3 position;                         // y is 0: objects stand on the terrain
    Vec3 direction;
};

struct PitCrewMember {
    float side, forward;                   // where the repair sparks fly, around the car
    Vec3 position;
    Vec3 velocity;
    Vec3 target;
};

struct PitBox {
    uint8_t owner;                         // car 0..5 being served; above 5 free
    uint8_t task[pitCrewSize];             // 0 idle, counting while working, 255 done
    PitCrewMember crew[pitCrewSize];
    Vec3 stopPoint;
    Vec3 axis;                             // the way a car stands in the box
};

struct Checkpoint {
    float x, z;                            // first end of the gate
    float ux, uz;                          // unit direction to the second end
    float length;
};

// Date of a record, UTC, as the operating system reports it.
using RecordDate = SystemTime;

struct TrackRecords {
    uint16_t time[recordCount];            // steps; emptyLapTime when empty
    char name[recordCount][recordNameSize];
    CarModel car[recordCount];
    RecordDate date[recordCount];
};

struct GhostSample {
    Vec3 position;
    Vec3 right, up, forward;
};

#pragma once
// A track in the units of its file, between the builder's design and the file writer.
#include <cstdint>
#include <string>
#include <vector>

struct ImagePoint {
    uint16_t x, z;                         // half surface cells
};

struct ImageObject {
    uint8_t kind;
    uint16_t x, z, heading;                // heading in 1/10000 radian
};

struct ImageBox {
    uint16_t x, z, heading;
};

struct ImageGate {
    ImagePoint a, b;
};

struct TrackImage {
    uint8_t size = 0;
    uint8_t waterByte = 0;                 // level x 20
    int16_t viewAngle = 60, viewRotation = 0;
    uint8_t zoom = 100;                    // percent
    uint8_t paintStartLine = 1;
    std::vector<uint16_t> runWords;
    std::vector<uint8_t> heights = std::vector<uint8_t>(4096, 0);
    std::vector<ImageObject> objects;      // the first six are the grid
    std::vector<ImageBox> pitBoxes;
    std::vector<ImageGate> checkpoints;    // the finish line last
    std::vector<ImagePoint> drivingLine;
    std::vector<ImagePoint> pitLane;
    std::string author, info;
    uint32_t lapLength = 0;
};

// The layouts the writer knows: the current one and the older ones the game still reads.
bool trackVersionWritable(uint16_t version);

// Writes the body, empty records and no trailer to a host path. False with a reason when the
// image does not fit the layout (the old ones have narrower counts) or the file cannot be written.
bool writeTrackImage(const std::string& hostPath, const TrackImage& image, uint16_t version, std::string& why);

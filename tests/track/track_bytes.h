#pragma once
// Small track files made byte by byte, in any of the layouts the game reads.
#include <cstdint>
#include <string>
#include <vector>

struct TestTrack {
    uint16_t version = 0x110;
    bool magic = true;
    uint8_t size = 128;
    uint8_t water = 0;
    int16_t angle = 60, rotation = 0;
    uint8_t zoom = 90, paint = 0;
    std::vector<uint16_t> runs;
    std::vector<uint8_t> heights = std::vector<uint8_t>(4096, 20);
    uint16_t heightCount = 4096;
    std::vector<std::vector<uint16_t>> objects;  // kind, x, z, heading
    std::vector<std::vector<uint16_t>> boxes;    // x, z, heading
    std::vector<std::vector<uint16_t>> gates;    // x0, z0, x1, z1
    std::vector<std::vector<uint16_t>> line, pit; // x, z
    std::string author = "Author", info = "Info";
    uint32_t lapLength = 777;
    bool records = true;                         // empty records after the body

    std::vector<uint8_t> bytes(uint32_t* bodyEnd = nullptr) const;
};

// Little-endian appends.
void put16(std::vector<uint8_t>& b, uint16_t v);
void put32(std::vector<uint8_t>& b, uint32_t v);

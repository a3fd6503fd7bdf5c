#pragma once
// The screenshot: a Windows bitmap decoded to RGB, and its JPEG copy (libjpeg).
#include <cstddef>
#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3, top row first
};

// Uncompressed bitmaps of 1, 4, 8, 16, 24 and 32 bits (the game writes 8 and 24). False for
// anything else or for a file that ends before its pixels.
bool decodeBmp(const uint8_t* data, size_t size, Picture& out);

// The picture as a baseline JPEG; false when libjpeg fails.
bool encodeJpeg(const Picture& picture, int quality, std::vector<uint8_t>& out);

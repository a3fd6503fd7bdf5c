#pragma once
// The tools' tests read their JPEGs back through libjpeg to look at the pixels.
#include <cstdint>
#include <vector>

// RGB pixels, top row first; false for bytes libjpeg cannot decode.
bool decodeJpeg(const std::vector<uint8_t>& data, int& width, int& height, std::vector<uint8_t>& rgb);

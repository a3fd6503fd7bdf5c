#pragma once
// RGB pictures as baseline JPEGs through libjpeg.
#include <cstddef>
#include <cstdint>
#include <vector>

// rgb holds width * height pixels of 3 bytes, top row first. False, with out untouched, when
// the sizes do not match the pixels or libjpeg fails.
bool encodeRgbJpeg(const uint8_t* rgb, size_t rgbSize, int width, int height, int quality,
                   std::vector<uint8_t>& out);

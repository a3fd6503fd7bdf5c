#pragma once
// The shown picture: the track map from the ground codes, the finish line and the first car's
// path, with the best time in the rows below the map; and its JPEG file.
#include "lap_analysis.h"
#include "track_reader.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int pictureWidth = 512;
constexpr int pictureHeight = 560;  // the map and 48 rows of text below it

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

struct PictureLook {
    Rgb palette[256];
    std::vector<uint8_t> glyphs;  // 160 glyphs of 10 x 20, one byte per pixel; empty: no text
};

// The game folder's palette (tm.ini's PaletteFile, else tm.pal) and font.bmp; what is missing
// or unreadable falls back to built-in colours and no text.
PictureLook loadPictureLook(const std::string& gameFolder);

struct Picture {
    int width = pictureWidth, height = pictureHeight;
    std::vector<uint8_t> rgb;  // top row first, 3 bytes a pixel
};

// track may be null (not found): the map stays in the background colour. selectedLap 0 draws
// the whole path, n > 0 only lap n. textLines go into the rows below the map.
void drawMapPicture(Picture& out, const TrackInfo* track, const LapAnalysis& laps, int selectedLap,
                    const std::vector<std::string>& textLines, const PictureLook& look);

// Whether a file name ends in .jpg or .jpeg, the only names the picture is written to.
bool isJpegName(const std::string& path);

// Writes the picture as a baseline JPEG; false with the reason when the file cannot be written.
bool writeJpeg(const Picture& picture, const std::string& path, int quality, std::string& why);

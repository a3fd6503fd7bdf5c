#pragma once
// Saved games, tracks and bitmaps composed byte by byte from their layouts, and a temporary
// game folder to put them in.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

using Bytes = std::vector<uint8_t>;

inline void putU16(Bytes& b, size_t at, uint32_t v)
{
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

inline void putU32(Bytes& b, size_t at, uint32_t v)
{
    if (b.size() < at + 4) b.resize(at + 4);
    for (int i = 0; i < 4; i++) b[at + i] = uint8_t(v >> (8 * i));
}

inline void putText(Bytes& b, size_t at, const std::string& s)
{
    if (b.size() < at + s.size()) b.resize(at + s.size());
    memcpy(b.data() + at, s.data(), s.size());
}

struct SaveSpec {
    uint16_t version = 0x0110;
    std::vector<std::string> drivers = {"Anna", "Bert"};
    uint16_t raceLength = 3;
    uint8_t distanceUnit = 0;
    std::vector<std::string> tracks = {"\\oval", "\\rally\\forest", "\\hills"};
    uint32_t race = 1;
    int32_t firstCarCrossing = 8345;
    int32_t raceLaps = 3;
    uint16_t firstCarLaps = 0;  // 0: as a file that does not say
    uint32_t checksum[4] = {0x12345678, 0, 0, 0};  // of the current race's track
};

// Offset of the first car state in a composed save.
inline size_t carStatesAt(const SaveSpec& s)
{
    return 82 + s.drivers.size() * (13 + 92 + 1344) + 8 + 56 * s.tracks.size();
}

inline Bytes composeSave(const SaveSpec& s)
{
    Bytes b;
    size_t n = s.drivers.size();
    putU16(b, 0, s.version);
    b.push_back(5);  // phase: results
    b.push_back(0);
    putU16(b, 4, s.raceLength);
    b.resize(78);
    b[17] = s.distanceUnit;
    putU32(b, 78, uint32_t(n));
    for (size_t i = 0; i < n; i++) putText(b, 82 + 13 * i, s.drivers[i].substr(0, 13));
    size_t season = 82 + n * (13 + 92 + 1344);
    b.resize(season);
    for (size_t i = 0; i < n * 1344; i += 97) b[82 + n * 105 + i] = uint8_t(i);  // car records
    putU32(b, season, uint32_t(s.tracks.size()));
    putU32(b, season + 4, s.race);
    for (size_t i = 0; i < s.tracks.size(); i++) {
        size_t at = season + 8 + 56 * i;
        b.resize(at + 56);
        putText(b, at, s.tracks[i].substr(0, s.version >= 0x0103 ? 40 : 56));
        for (int k = 0; k < 4 && s.version >= 0x0103; k++) putU32(b, at + 40 + 4 * k, s.checksum[k]);
    }
    size_t states = carStatesAt(s);
    b.resize(states + 348 * n + 8 * n + 24);
    putU32(b, states + 16, uint32_t(s.firstCarCrossing));
    putU16(b, states + 164, s.firstCarLaps);
    if (n > 1) putU32(b, states + 348 + 16, uint32_t(s.firstCarCrossing + 250));
    putU32(b, states + 348 * n + 8 * n, uint32_t(s.raceLaps));
    return b;
}

struct TrackSpec {
    uint16_t version = 0x0110;
    bool magic = true;
    uint32_t bodyEnd = 6000;
    uint32_t lapLength = 1250;
    uint16_t recordTime = 2345;
    std::string holder = "Carla";
};

inline Bytes composeTrack(const TrackSpec& t)
{
    Bytes b(t.bodyEnd + 14 + 91 + 7 * 1344 + 7 * 16, 0);
    size_t at = 0;
    if (t.magic) {
        putU16(b, 0, t.version);
        putU16(b, 2, 0x4D54);
        at = 4;
    }
    putU32(b, at, t.bodyEnd);
    b[at + 4] = 120;  // trackSize
    for (size_t i = at + 8; i < t.bodyEnd - 8; i++) b[i] = uint8_t(i * 7);
    if (t.version >= 0x102) {
        putU32(b, t.bodyEnd - 4, t.lapLength);
    } else {
        putU16(b, t.bodyEnd - 2, t.lapLength);
    }
    putU16(b, t.bodyEnd, t.recordTime);
    putText(b, t.bodyEnd + 14, t.holder.substr(0, 13));
    return b;
}

// A width x height bitmap of 8 or 24 bits; pixel (x, y) has colour (x * 8, y * 8, 100).
inline Bytes composeBmp(int width, int height, int bpp, bool topDown = false)
{
    int stride = (width * bpp + 31) / 32 * 4;
    int paletteSize = bpp == 8 ? 256 * 4 : 0;
    uint32_t offset = 54 + paletteSize;
    Bytes b(offset + size_t(stride) * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    putU32(b, 2, uint32_t(b.size()));
    putU32(b, 10, offset);
    putU32(b, 14, 40);
    putU32(b, 18, uint32_t(width));
    putU32(b, 22, uint32_t(topDown ? -height : height));
    putU16(b, 26, 1);
    putU16(b, 28, uint32_t(bpp));
    if (bpp == 8) {
        // Palette entry i: colour of pixel (i % 16, i / 16), so 16 x 16 pixels fit it.
        for (int i = 0; i < 256; i++) {
            b[54 + 4 * i] = 100;
            b[54 + 4 * i + 1] = uint8_t(i / 16 * 8);
            b[54 + 4 * i + 2] = uint8_t(i % 16 * 8);
        }
    }
    for (int y = 0; y < height; y++) {
        size_t row = offset + size_t(stride) * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; x++) {
            if (bpp == 8) {
                b[row + x] = uint8_t((y % 16) * 16 + x % 16);
            } else {
                b[row + 3 * x] = 100;
                b[row + 3 * x + 1] = uint8_t(y * 8);
                b[row + 3 * x + 2] = uint8_t(x * 8);
            }
        }
    }
    return b;
}

class TempFolder : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "zipper_test_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& rel) const { return dir + "/" + rel; }

    void put(const std::string& rel, const Bytes& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(path(rel)).parent_path());
        std::ofstream(path(rel), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                         std::streamsize(bytes.size()));
    }
    void put(const std::string& rel, const std::string& text) { put(rel, Bytes(text.begin(), text.end())); }
    Bytes get(const std::string& rel) const
    {
        std::ifstream in(path(rel), std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // Modification time, seconds since 1970.
    void age(const std::string& rel, time_t when)
    {
        struct timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path(rel).c_str(), times, 0), 0);
    }
};

// Reads a track file by its layout: header, run words, then walks the counted blocks to the
// last checkpoint, and reads the records at bodyEnd.
#include "track_reader.h"

#include "byte_reader.h"

#include <cstdio>

constexpr uint16_t trackMagic = 0x4D54;

bool readTrack(const uint8_t* data, size_t size, TrackInfo& out, std::string& why)
{
    out = TrackInfo();
    ByteView v{data, size};
    if (!v.holds(0, 20) || v.u16(2) != trackMagic) return why = "not a track file", false;
    out.version = v.u16(0);
    if (out.version != 0x105 && out.version != 0x110) {
        char s[64];
        std::snprintf(s, sizeof s, "track version 0x%X is not read", unsigned(out.version));
        return why = s, false;
    }
    uint32_t bodyEnd = v.u32(4);
    out.sizeByte = v.u8(8);

    out.surface.assign(size_t(mapSize) * mapSize, noSurface);
    uint32_t words = v.u32(16);
    uint64_t at = 20;
    size_t cell = 0;
    for (uint32_t i = 0; i < words && v.holds(at, 2) && cell < out.surface.size(); ++i, at += 2) {
        uint16_t w = v.u16(at);
        size_t run = w >> 4;
        uint8_t code = uint8_t(w & 15);
        for (size_t k = 0; k < run && cell < out.surface.size(); ++k) out.surface[cell++] = code;
    }
    at = 20 + 2 * uint64_t(words);
    // Records inside the header or the map would be the map's bytes read as times.
    bool recordsAfterMap = bodyEnd >= at;

    // Height grid, objects, pit boxes: only their counts matter here.
    at += 2 + uint64_t(v.u16(at));
    at += 2 + 8 * uint64_t(v.u16(at));
    at += 1 + 6 * uint64_t(v.u8(at));
    uint8_t checkpoints = v.u8(at);
    if (checkpoints > 0) {
        uint64_t last = at + 1 + 8 * uint64_t(checkpoints - 1);
        if (v.holds(last, 8)) {
            // Stored in half cells.
            for (int k = 0; k < 4; ++k) out.finish[k] = v.u16(last + 2 * k) * 0.5f;
            out.hasFinish = true;
        }
    }

    if (!recordsAfterMap) return true;
    out.lapLength = v.u32(uint64_t(bodyEnd) - 4);
    if (v.holds(bodyEnd, 14)) {
        out.recordTime = v.u16(bodyEnd);
        for (int i = 0; i < 6; ++i) out.bestTimes[i] = v.u16(uint64_t(bodyEnd) + 2 + 2 * i);
    }
    out.recordHolder = v.text(uint64_t(bodyEnd) + 14, 13);
    for (int i = 0; i < 6; ++i) out.bestHolders[i] = v.text(uint64_t(bodyEnd) + 14 + 13 * (i + 1), 13);
    return true;
}

static std::string recordText(int time, const std::string& holder)
{
    // Two widths, so the times line up under one another.
    char s[64];
    if (time < 1000) std::snprintf(s, sizeof s, " %d.%02d / ", time / 100, time % 100);
    else std::snprintf(s, sizeof s, "%d.%02d / ", time / 100, time % 100);
    return s + holder;
}

std::string bestTimeText(const TrackInfo& track)
{
    if (track.recordTime < 6000) return recordText(track.recordTime, track.recordHolder);
    if (track.bestTimes[0] < 6000) return recordText(track.bestTimes[0], track.bestHolders[0]);
    return "no Best Time";
}

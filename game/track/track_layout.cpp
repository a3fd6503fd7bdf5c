#include "track/track_layout.h"

bool readCount(TrackFile& f, bool wide, uint32_t& count)
{
    if (wide) {
        uint16_t v;
        if (!f.readU16(v)) return false;
        count = v;
    } else {
        uint8_t v;
        if (!f.readU8(v)) return false;
        count = v;
    }
    return true;
}

// Reads a count and steps over that many records of the given size.
static bool skipCounted(TrackFile& f, bool wide, uint64_t recordSize, uint64_t& at)
{
    uint32_t count = 0;
    if (!readCount(f, wide, count)) return false;
    at += (wide ? 2 : 1) + count * recordSize;
    return f.seek(long(at), SEEK_SET);
}

bool bodyFieldsEnd(TrackFile& f, const TrackHeader& h, uint64_t& end)
{
    long size = f.size();
    if (size < 0) return false;
    // Version, magic, bodyEnd, size, water, angle, rotation; zoom and paint from 0x105.
    uint64_t at = (h.magic ? 14 : 10) + (h.version >= 0x105 ? 2 : 0);
    if (!f.seek(long(at), SEEK_SET)) return false;
    uint32_t words = 0;
    if (h.version >= 0x103) {
        if (!f.readU32(words)) return false;
        at += 4;
    } else {
        uint16_t w = 0;
        if (!f.readU16(w)) return false;
        words = w;
        at += 2;
    }
    at += 2ull * words;
    // A count beyond the file is no body this file has; seeking there is harmless but say so.
    if (at > uint64_t(size) || !f.seek(long(at), SEEK_SET)) return false;
    bool wide = h.version >= 0x102;
    bool ok = skipCounted(f, true, 1, at) && skipCounted(f, wide, 8, at) && skipCounted(f, false, 6, at) &&
              skipCounted(f, false, 8, at) && skipCounted(f, wide, 4, at) && skipCounted(f, false, 4, at);
    if (!ok || at > uint64_t(size)) return false;
    end = at;
    return true;
}

bool recordsAreaIsOwn(TrackFile& f, const TrackHeader& h)
{
    uint64_t end = 0;
    return bodyFieldsEnd(f, h, end) && h.bodyEnd >= end && long(h.bodyEnd) <= f.size();
}

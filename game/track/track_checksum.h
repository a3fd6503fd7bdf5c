#pragma once
// The four sums that identify a track body: saved games name their track by them, and the
// records area is sealed with their continuation.
#include "track/track_file.h"

#include <cstdint>
#include <string>

// s[i mod 4] += (i + 1) x (byte + 1) for the bytes of [offset, offset + count) read from the
// file's current position, which must be offset. Returns the bytes summed.
uint64_t sumTrackBytes(TrackFile& file, uint64_t offset, uint64_t count, uint32_t sums[4]);

// The checksum of tracks + name + .trk (name begins with a backslash) over its body without
// the lap length. Returns the bytes summed; 0 with sums cleared when the file cannot be read
// to the end of its body or its version is newer than this game.
uint64_t trackChecksum(const std::string& name, uint32_t sums[4]);

// The track with this checksum: first tracks + the file name of path, then that name in each
// track folder in listing order. The found name (with its leading backslash) goes to found.
bool findTrackByChecksum(const std::string& path, const uint32_t checksum[4], std::string& found);

// Offset of the body fields and of the header's end for a file: version 0x100 when the magic
// is missing. False when the header cannot be read.
struct TrackHeader {
    uint16_t version;
    bool magic;
    uint32_t bodyEnd;
};
bool readTrackHeader(TrackFile& file, TrackHeader& header);

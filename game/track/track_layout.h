#pragma once
// Where the parts of a track file lie: the end of the body's fields as their counts place them,
// and whether bodyEnd leaves them alone, which decides if records may be written there.
#include "track/track_checksum.h"
#include "track/track_file.h"

#include <cstdint>

// A count of one byte, or of two where the layout widened it.
bool readCount(TrackFile& file, bool wide, uint32_t& count);

// Walks the header and the counted fields (ground runs, heights, objects, pit boxes, gates,
// driving line, pit lane) by their counts. False when the file ends before they do.
bool bodyFieldsEnd(TrackFile& file, const TrackHeader& header, uint64_t& end);

// True when the header's bodyEnd lies at or after the end of the fields and within the file,
// so that the records area it names holds nothing the track needs.
bool recordsAreaIsOwn(TrackFile& file, const TrackHeader& header);

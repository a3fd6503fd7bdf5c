// tmzipper's readers take saved games and tracks from anywhere: no input reads outside its
// bytes, and whatever they hold, the archive name stays a plain name.
#include "zipper_entry.h"
#include "zipper_game.h"
#include "zipper_profile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CompetitionEntry entry;
    std::string problem;
    entry.gameReadable = readSavedGameValues(data, size, entry.gameValues, problem);
    if (entry.gameReadable) {
        if (entry.gameValues.driverName.size() > 12 || entry.gameValues.trackEntry.size() > 55) std::abort();
        if (entry.gameValues.carCount < 1 || entry.gameValues.carCount > 6) std::abort();
    }
    entry.hasTrack = readTrackValues(data, size, entry.trackValues, problem);
    if (entry.trackValues.recordHolder.size() > 12) std::abort();
    // The checksum needs the whole body short of the lap length.
    uint32_t sums[4];
    uint32_t cut = entry.trackValues.version >= 0x102 ? 4 : 2;
    bool bodyThere = entry.hasTrack && entry.trackValues.bodyEnd >= cut && entry.trackValues.bodyEnd - cut <= size;
    if (trackBodyChecksum(data, size, sums) != bodyThere) std::abort();

    // The profile's own target gives it texts; here the archive name meets every entry.
    if (!plainArchiveName(suggestedArchiveName(ZipperProfile{}, entry))) std::abort();
    return 0;
}

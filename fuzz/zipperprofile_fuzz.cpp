// comp_zipper.prf is edited by hand: any text gives a profile, and whatever its free text and
// order values, the archive name stays one plain file name.
#include "zipper_entry.h"
#include "zipper_profile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZipperProfile profile = parseProfile(std::string(reinterpret_cast<const char*>(data), size));
    CompetitionEntry entry;
    if (!plainArchiveName(suggestedArchiveName(profile, entry))) std::abort();
    entry.gameReadable = entry.hasTrack = true;
    entry.gameValues.driverName = "Ann";
    entry.gameValues.trackEntry = "\\rally\\forest";
    entry.gameValues.carCount = 1;
    if (!plainArchiveName(suggestedArchiveName(profile, entry))) std::abort();
    return 0;
}

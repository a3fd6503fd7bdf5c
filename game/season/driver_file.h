#pragma once
// Driver files drivers\<name>.drv: a u32 record size (92) and one DriverProfile. The name is
// the file name without its extension.
#include "state/driver_profile.h"
#include "track/track_file.h"

#include <string>

// The profile a new driver starts with: no statistics, car type 0, white and blue, and either
// the cursor keys or a computer driver of skill 100.
DriverProfile newDriverProfile(bool human);

// The 92 bytes, field by field, as driver files and saved games store them. A short read
// leaves the profile as it was and returns false.
bool readDriverProfile(TrackFile& file, DriverProfile& profile);
bool writeDriverProfile(TrackFile& file, const DriverProfile& profile);

// True when the name may name a driver file: one safe file name of at most 12 characters.
// Names from saved games pass through here too, so none of them leads out of drivers\.
bool isDriverFileName(const std::string& name);

// 0 when the profile was read; -1 (profile untouched) when none is given, the name is not a
// driver file name, or the file does not open or is not exactly the size field 92 and its
// record. A car type beyond the loaded models becomes 0.
int readDriver(const std::string& name, DriverProfile* profile);

// Writes the profile through a temporary file renamed over the old one, so the file is always
// either the old profile or the new one. Creates drivers\ when missing. False when nothing was
// written; the game ignores that, the profile stays in memory.
bool writeDriver(const std::string& name, const DriverProfile* profile);

// Removes drivers\<name>.drv; false when the name is not a driver file name or nothing was
// removed.
bool deleteDriver(const std::string& name);

// The car type a profile races: its own, or 0 when the model list has no such type.
int driverCarType(const DriverProfile& profile);

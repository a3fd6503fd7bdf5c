#pragma once
// options.set: the menus' options, read once before SDL starts and written once at the end.
#include "state/options_record.h"
#include "track/track_file.h"

#include <cstdint>

constexpr int optionsFileSize = 78;
constexpr int optionsVersion = 74;
constexpr int resolutionCount = 23;
constexpr int defaultResolution = 2;

struct Resolution {
    int16_t width;
    int16_t height;
    char name[12];  // as the Resolution slider shows it
};

extern const Resolution resolutionTable[resolutionCount];

// The options of a first start.
void setDefaultOptions(OptionsRecord& options);

// game.options from options.set (or the defaults), then the screen size from it. A foreign
// version gives the defaults; a short file of the right version the defaults for the fields it
// lacks. stepRate is always 100 afterwards.
void loadOptions();
// Writes game.options to options.set; nothing happens when it cannot be written.
bool saveOptions();

// The 74 bytes after the version, field by field, as options.set and saved games hold them.
// Each read leaves its field as it was when the file ends; names are cut to 22 characters.
void readOptionsFields(TrackFile& f, OptionsRecord& o);
bool writeOptionsFields(TrackFile& f, const OptionsRecord& o);

// The screen size of a resolution index: 640 x 480 past the table.
void screenSizeFor(int resolution, int32_t& width, int32_t& height);

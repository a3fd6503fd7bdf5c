#pragma once
// comp_zipper.prf: the zipper's settings, "key = value" lines, read once at start.
#include <string>

struct ZipperProfile {
    bool track = true;     // initial state of the check boxes
    bool game = true;
    bool screen = true;
    bool jpg = true;       // convert the screenshot to JPEG
    std::string text;      // a free text for the archive name
    int textPos = 0;       // order value of the text
    int trackName = 1;     // order values of the parts of the archive name; 0 leaves a part out
    int driverName = 2;
    int timeKmh = 3;
};

// The profile of the text; missing keys and values that are not numbers keep their default.
ZipperProfile parseProfile(const std::string& text);

// The profile file at path; a missing or unreadable file gives the defaults.
ZipperProfile loadProfile(const std::string& path);

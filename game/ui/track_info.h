#pragma once
// Right-click on a track: its preview, length, author, description and records, which "Reset"
// empties in the track file.
#include "state/widget.h"

#include <string>

constexpr int trackInfoWidgetCount = 3;

enum TrackInfoWidget { infoOk, infoReset, infoPreview };

void buildTrackInfo(Widget* w);
void captionTrackInfo(Widget* w);
void paintTrackInfo();

// entry: the track below tracks, "\name" or "\folder\name". The main menu waits behind.
void openTrackInfo(const std::string& entry);

// A record line: the holder padded to 17 characters, then seconds and hundredths.
std::string recordLine(const char* name, int hundredths);

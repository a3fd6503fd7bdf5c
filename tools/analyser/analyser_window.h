#pragma once
// The analyser's window: the map, the car table, the gauges, the lap panel and the settings,
// with Load, Save JPEG and the lap selection.
#include <string>

// Opens the window (on file when it is not empty) and runs until it is closed.
int runAnalyserWindow(const std::string& gameFolder, const std::string& file, int argc, char** argv);

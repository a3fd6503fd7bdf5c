#pragma once
// The program's own folder, which is the game folder and the working folder of the game.
#include <string>

// The folder part of a Windows-style command line: a quoted program path runs to the next
// quote and loses its last backslash; an unquoted one runs to the first space and keeps it.
// Empty when the path holds no backslash (the current folder is then kept).
std::string folderFromCommandLine(const std::string& commandLine);

// Host path of the folder that holds the running program; empty when it cannot be found.
std::string programFolder();

// Makes a host folder the working folder; false when it cannot.
bool changeToFolder(const std::string& hostFolder);

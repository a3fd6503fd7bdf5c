#pragma once
// Moving, deleting and safely replacing files of the game folder.
#include <cstdio>
#include <string>

// Moves a file or folder; never overwrites: fails when the destination exists.
bool moveGameFile(const std::string& fromGamePath, const std::string& toGamePath);

// Deletes a folder and everything below it. Links are removed, never followed.
bool deleteGameTree(const std::string& gamePath);

// A whole-file write that replaces the old file only once the new one is complete: the data
// goes to a temporary file in the same folder, which is renamed over the old one.
struct SafeWrite {
    std::FILE* file = nullptr;
    std::string tempHost;
    std::string finalHost;
};
// Opens the temporary file for binary writing; false when it cannot be created.
bool beginSafeWrite(SafeWrite& w, const std::string& gamePath);
// The same for a host path already resolved, e.g. a new name chosen from a listing.
bool beginSafeWriteHost(SafeWrite& w, const std::string& hostFile);
// Flushes, closes and renames; on any failure the old file stays and false comes back.
bool commitSafeWrite(SafeWrite& w);
// Drops the temporary file; the old file stays.
void abandonSafeWrite(SafeWrite& w);

// The same for an update of an existing file: the temporary starts as a copy of it and is
// open for reading and writing; commitSafeWrite puts it in place.
bool beginSafeUpdate(SafeWrite& w, const std::string& gamePath);

// Removes the temporary files of safe writes that were killed before they could rename
// (NAME.tmpPID whose process is gone) from one folder of the game. Returns how many went.
int removeStaleTemporaries(const std::string& gameFolder);

// Cuts an open file at the given length in place.
bool truncateOpenFile(std::FILE* file, long length);

#pragma once
// Writing a ZIP archive through minizip: complete or not at all.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct ArchiveMember {
    std::string name;                    // a plain file name, no folders
    const std::vector<uint8_t>* data;
    time_t mtime;                        // stored as the member's DOS date and time
};

enum class ArchiveWrite {
    Written,
    Exists,   // path exists and overwrite was not allowed: nothing was touched
    Failed,   // nothing is left behind, an old archive at path stays as it was
};

// Deflate level 9, in the order given, into a temporary file of the same folder that is then
// renamed to path.
ArchiveWrite writeZipArchive(const std::string& path, const std::vector<ArchiveMember>& members,
                             bool overwrite);

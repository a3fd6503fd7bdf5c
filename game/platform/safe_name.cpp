#include "platform/safe_name.h"

#include "platform/name_compare.h"

#include <cstring>

// Windows opens a device, not a file, for these names whatever their extension.
static bool isDeviceName(const std::string& name)
{
    std::string stem = noCaseKey(name.substr(0, name.find('.')));
    static const char* const devices[] = {"con", "prn", "aux", "nul", "clock$"};
    for (const char* d : devices)
        if (stem == d) return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

bool isSafeFileName(const std::string& name, size_t maxLength)
{
    if (name.empty() || name.size() > maxLength || name.size() > maxFileNameLength) return false;
    if (name.front() == '.' || name.back() == '.' || name.back() == ' ') return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || std::strchr("/\\<>:\"|?*", c)) return false;
    }
    return !isDeviceName(name);
}

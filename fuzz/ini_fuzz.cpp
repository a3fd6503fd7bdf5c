// tm.ini is written by hand: any bytes must parse without harm, and every stored key must be
// found again under its own name.
#include "files/ini_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    IniFile ini;
    parseIniBuffer(ini, reinterpret_cast<const char*>(data), size);
    if (ini.count != int32_t(ini.sections.size()) || ini.count > ini.capacity) std::abort();
    for (const IniSection& s : ini.sections) {
        if (s.name.empty() || s.name.size() > iniMaxLength) std::abort();
        if (findIniSection(ini, s.name) != &s) std::abort();
        if (s.count != int32_t(s.entries.size()) || s.count > s.capacity) std::abort();
        for (const IniEntry& e : s.entries) {
            if (e.key.empty() || e.key.size() > iniMaxLength || e.text.size() > iniMaxLength) std::abort();
            if (findIniEntry(ini, s.name, e.key) != &e) std::abort();
            if (e.type == iniText && (e.intValue != 0 || e.realValue != 0.0f)) std::abort();
        }
    }
    return 0;
}

#pragma once
// tm.ini as read into memory: sections of keys, each key stored once, looked up without
// regard to letter case. The game only reads it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

constexpr int32_t iniInteger = 0;
constexpr int32_t iniReal = 1;
constexpr int32_t iniText = 2;

constexpr size_t iniMaxLength = 1023;  // longer keys, values and section names are cut

constexpr int32_t iniSectionsInitial = 32;
constexpr int32_t iniSectionsGrowth = 10;
constexpr int32_t iniEntriesInitial = 10;
constexpr int32_t iniEntriesGrowth = 10;

struct IniEntry {
    std::string key;            // as written
    int32_t type = iniInteger;  // iniInteger, iniReal or iniText
    int32_t intValue = 0;       // a real truncated toward zero; 0 for text
    float realValue = 0.0f;     // an integer as a float; 0 for text
    std::string text;           // the text, or the number in decimal
};

struct IniSection {
    std::string name;
    std::vector<IniEntry> entries;
    int32_t count = 0;
    int32_t capacity = iniEntriesInitial;
    std::unordered_map<std::string, int32_t> index;  // lower-case key -> entry
};

struct IniFile {
    std::vector<IniSection> sections;
    int32_t count = 0;
    int32_t capacity = iniSectionsInitial;
    std::unordered_map<std::string, int32_t> index;  // lower-case name -> section
};

void clearIniFile(IniFile& ini);

// Reads tm.ini of the current folder. False when it cannot be opened or read completely;
// the IniFile is empty then.
bool readIniFile(IniFile& ini);
// Parses tm.ini text held in memory; whatever parses is kept, the rest ignored.
void parseIniBuffer(IniFile& ini, const char* data, size_t size);

const IniSection* findIniSection(const IniFile& ini, const std::string& name);
const IniEntry* findIniEntry(const IniFile& ini, const std::string& section, const std::string& key);

// Callers take the value only when found and the type is the one they expect.
bool lookUpIniInteger(const IniFile& ini, const std::string& section, const std::string& key,
                      int32_t& value, int32_t& type);
bool lookUpIniText(const IniFile& ini, const std::string& section, const std::string& key,
                   std::string& text, int32_t& type);

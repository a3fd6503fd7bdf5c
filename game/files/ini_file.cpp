#include "files/ini_file.h"

#include "platform/game_path.h"

#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

static bool isBlank(char c) { return c == ' ' || c == '\t'; }
// A NUL ends a line too: the rest of a damaged file still parses.
static bool isLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }
static bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Names longer than the limit were stored cut, so they are looked up cut as well.
static std::string lowerAscii(const std::string& s)
{
    std::string out = s.substr(0, iniMaxLength);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

// Tabs count as spaces inside names and values, as everywhere else in the line.
static std::string takeText(const char* from, size_t length)
{
    if (length > iniMaxLength) length = iniMaxLength;
    std::string out(from, length);
    for (char& c : out)
        if (c == '\t') c = ' ';
    return out;
}

// The recorded capacity follows the file's growth rule; the vector below grows on its own,
// so a huge file does not turn into a quadratic number of copies.
static int32_t selectSection(IniFile& ini, const std::string& name)
{
    std::string lower = lowerAscii(name);
    auto found = ini.index.find(lower);
    if (found != ini.index.end()) return found->second;
    if (ini.count == ini.capacity) ini.capacity += iniSectionsGrowth;
    IniSection section;
    section.name = name;
    ini.sections.push_back(std::move(section));
    ini.index.emplace(std::move(lower), ini.count);
    return ini.count++;
}

// The first value of a key wins; later ones are ignored.
static void addEntry(IniSection& section, IniEntry&& entry)
{
    std::string lower = lowerAscii(entry.key);
    if (section.index.count(lower)) return;
    if (section.count == section.capacity) section.capacity += iniEntriesGrowth;
    section.entries.push_back(std::move(entry));
    section.index.emplace(std::move(lower), section.count);
    ++section.count;
}

// Digits, points and spaces only: an integer when there is no point, else a real. Values too
// large for their type are held at the type's limit.
static void setNumber(IniEntry& entry, const std::string& value)
{
    if (value.find('.') == std::string::npos) {
        long long n = 0;
        for (size_t i = 0; i < value.size() && isDigit(value[i]); ++i) {
            n = n * 10 + (value[i] - '0');
            if (n > INT32_MAX) {
                n = INT32_MAX;
                break;
            }
        }
        entry.type = iniInteger;
        entry.intValue = int32_t(n);
        entry.realValue = float(entry.intValue);
        entry.text = std::to_string(entry.intValue);
        return;
    }
    double d = std::strtod(value.c_str(), nullptr);
    if (d > FLT_MAX) d = FLT_MAX;
    entry.type = iniReal;
    entry.realValue = float(d);
    entry.intValue = d >= double(INT32_MAX) ? INT32_MAX : int32_t(d);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", double(entry.realValue));
    entry.text = buffer;
}

// "key = value": the key runs to the first blank or '=', blanks around the '=' are skipped and
// the value runs to a comment or the line's end. A key not followed by '=' is no key.
static void readKeyLine(IniSection& section, const char* line, size_t length, bool isText)
{
    size_t p = 0;
    while (p < length && !isBlank(line[p]) && line[p] != '=') ++p;
    if (p == 0) return;
    size_t keyLength = p;
    while (p < length && isBlank(line[p])) ++p;
    if (p == length || line[p] != '=') return;
    ++p;
    while (p < length && isBlank(line[p])) ++p;
    size_t valueStart = p;
    while (p < length && line[p] != ';') ++p;

    IniEntry entry;
    entry.key = takeText(line, keyLength);
    std::string value = takeText(line + valueStart, p - valueStart);
    if (isText) {
        while (!value.empty() && value.back() == ' ') value.pop_back();
        entry.type = iniText;
        entry.text = std::move(value);
    } else {
        setNumber(entry, value);
    }
    addEntry(section, std::move(entry));
}

static void parseLines(IniFile& ini, const char* data, size_t size)
{
    int32_t current = -1;  // key lines before the first header belong nowhere
    size_t pos = 0;
    while (pos < size) {
        while (pos < size && isBlank(data[pos])) ++pos;
        size_t start = pos;
        bool keyLine = false;
        bool inComment = false;
        bool isText = false;
        while (pos < size && !isLineEnd(data[pos])) {
            char c = data[pos++];
            if (inComment) continue;
            if (c == ';')
                inComment = true;
            else if (!keyLine)
                keyLine = c == '=';
            else if (!isDigit(c) && c != '.' && !isBlank(c))
                isText = true;
        }
        size_t end = pos;
        while (pos < size && isLineEnd(data[pos])) ++pos;

        const char* line = data + start;
        size_t length = end - start;
        if (length > 0 && line[0] == '[') {
            // The name runs to the first ']'; a header left open takes the rest of its line.
            size_t close = 1;
            while (close < length && line[close] != ']') ++close;
            if (close > 1) current = selectSection(ini, takeText(line + 1, close - 1));
        } else if (keyLine && current >= 0) {
            readKeyLine(ini.sections[current], line, length, isText);
        }
    }
}

void clearIniFile(IniFile& ini)
{
    ini.sections.clear();
    ini.index.clear();
    ini.count = 0;
    ini.capacity = iniSectionsInitial;
}

void parseIniBuffer(IniFile& ini, const char* data, size_t size)
{
    clearIniFile(ini);
    if (data == nullptr) return;
    try {
        parseLines(ini, data, size);
    } catch (const std::bad_alloc&) {
        clearIniFile(ini);
    }
}

bool readIniFile(IniFile& ini)
{
    clearIniFile(ini);
    if (isGameFolder("tm.ini")) return false;
    std::FILE* f = openGameFile("tm.ini", "rb");
    if (f == nullptr) return false;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    bool ok = length >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    std::vector<char> buffer;
    if (ok) {
        try {
            buffer.assign(size_t(length) + 1, '\0');
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (ok) ok = std::fread(buffer.data(), 1, size_t(length), f) == size_t(length);
    std::fclose(f);
    if (!ok) return false;
    parseIniBuffer(ini, buffer.data(), size_t(length));
    return true;
}

const IniSection* findIniSection(const IniFile& ini, const std::string& name)
{
    auto found = ini.index.find(lowerAscii(name));
    return found == ini.index.end() ? nullptr : &ini.sections[found->second];
}

const IniEntry* findIniEntry(const IniFile& ini, const std::string& section, const std::string& key)
{
    const IniSection* s = findIniSection(ini, section);
    if (s == nullptr) return nullptr;
    auto found = s->index.find(lowerAscii(key));
    return found == s->index.end() ? nullptr : &s->entries[found->second];
}

bool lookUpIniInteger(const IniFile& ini, const std::string& section, const std::string& key,
                      int32_t& value, int32_t& type)
{
    const IniEntry* e = findIniEntry(ini, section, key);
    if (e == nullptr) return false;
    value = e->intValue;
    type = e->type;
    return true;
}

bool lookUpIniText(const IniFile& ini, const std::string& section, const std::string& key,
                   std::string& text, int32_t& type)
{
    const IniEntry* e = findIniEntry(ini, section, key);
    if (e == nullptr) return false;
    text = e->text;
    type = e->type;
    return true;
}

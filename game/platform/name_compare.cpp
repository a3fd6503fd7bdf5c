#include "platform/name_compare.h"

#include <cctype>
#include <clocale>
#include <cstring>

void initPlatformLocale()
{
    std::setlocale(LC_COLLATE, "");
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_TIME, "");
}

static std::string folded(const std::string& s)
{
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

int compareNamesNoCase(const std::string& a, const std::string& b)
{
    std::string fa = folded(a), fb = folded(b);
    int r = std::strcoll(fa.c_str(), fb.c_str());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::string nameSortKey(const std::string& name)
{
    std::string f = folded(name);
    size_t n = std::strxfrm(nullptr, f.c_str(), 0);
    std::string key(n + 1, '\0');
    std::strxfrm(&key[0], f.c_str(), key.size());
    key.resize(n);
    return key;
}

static char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string noCaseKey(const std::string& name)
{
    std::string out(name);
    for (char& c : out) c = asciiLower(c);
    return out;
}

bool equalNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

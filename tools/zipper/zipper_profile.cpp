// Reading comp_zipper.prf.
#include "zipper_profile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

static std::string trimmed(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) {
        return "";
    }
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

static void readNumber(const std::string& value, int& into)
{
    const char* s = value.c_str();
    char* end = nullptr;
    errno = 0;
    long v = strtol(s, &end, 10);
    if (end == s || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) {
        return;
    }
    into = int(v);
}

static void readFlag(const std::string& value, bool& into)
{
    int v = into ? 1 : 0;
    readNumber(value, v);
    into = v != 0;
}

ZipperProfile parseProfile(const std::string& text)
{
    ZipperProfile p;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(i, end - i);
        i = end + 1;
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        std::string key = trimmed(line.substr(0, eq));
        std::string value = trimmed(line.substr(eq + 1));
        auto is = [&](const char* k) { return strcasecmp(key.c_str(), k) == 0; };
        if (is("Track")) {
            readFlag(value, p.track);
        } else if (is("Game")) {
            readFlag(value, p.game);
        } else if (is("Screen")) {
            readFlag(value, p.screen);
        } else if (is("bmp/jpg")) {
            readFlag(value, p.jpg);
        } else if (is("text")) {
            p.text = value;
        } else if (is("TextPos")) {
            readNumber(value, p.textPos);
        } else if (is("trackname")) {
            readNumber(value, p.trackName);
        } else if (is("drivername")) {
            readNumber(value, p.driverName);
        } else if (is("time/kmh")) {
            readNumber(value, p.timeKmh);
        }
    }
    return p;
}

ZipperProfile loadProfile(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        return ZipperProfile();
    }
    std::string text;
    char buf[4096];
    size_t got;
    // A settings file is small; the rest of an oversized one is not settings.
    while ((got = fread(buf, 1, sizeof buf, f)) > 0 && text.size() < 65536) {
        text.append(buf, got);
    }
    fclose(f);
    return parseProfile(text);
}

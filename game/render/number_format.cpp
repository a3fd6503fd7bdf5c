#include "render/number_format.h"

#include <cmath>
#include <cstdio>

template <class... Args>
static std::string format(const char* f, Args... args)
{
    char text[64];
    std::snprintf(text, sizeof text, f, args...);
    return text;
}

// Negative times never come from the race; show them as zero rather than as minus signs
// in the middle of the digits.
static int32_t notNegative(int32_t t) { return t < 0 ? 0 : t; }

std::string formatLapTime(int32_t t)
{
    t = notNegative(t);
    return format("%2d.%d%ds", t / 100 % 100, t / 10 % 10, t % 10);
}

std::string formatTime(int32_t t)
{
    t = notNegative(t);
    return format("%d.%d%ds", t / 100 % 100, t / 10 % 10, t % 10);
}

std::string formatGap(int32_t d)
{
    d = notNegative(d);
    // The short form drops whole hundreds of seconds, so longer gaps are written out.
    if (d >= 10000) return "+" + formatTotalTime(d);
    return format("+%d.%d%ds", d / 100 % 100, d / 10 % 10, d % 10);
}

std::string formatTotalTime(int32_t t)
{
    t = notNegative(t);
    int32_t s = t / 100;
    if (s < 3600) return format("%d:%02d.%02d", s / 60, s % 60, t % 100);
    return format("%d:%02d:%02d.%02d", s / 3600, s / 60 % 60, s % 60, t % 100);
}

std::string formatLapsBehind(int32_t laps, const std::string& lap, const std::string& lapsWord)
{
    return format("-%d %s", laps, (laps == 1 ? lap : lapsWord).c_str());
}

std::string formatAverageSpeed(int32_t laps, uint32_t lapLength, int32_t time)
{
    int64_t v = 0;
    if (time > 0) v = int64_t(double(laps) * lapLength * 360.0 / time * 100.0 + 0.5);
    if (v < 0) v = 0;
    return format("%3d.%d%d kph", int(v / 100 % 1000), int(v / 10 % 10), int(v % 10));
}

std::string formatDistance(uint32_t m)
{
    return format("%u.%u%u%u km", m / 1000, m / 100 % 10, m / 10 % 10, m % 10);
}

std::string formatPoints(int32_t points) { return format("%d p", points); }

std::string formatRank(int rank) { return rank == 0 ? std::string("TR") : format("%d.", rank); }

std::string formatCounter(int32_t n, int32_t of) { return format("%d/%d", n, of); }

std::string formatTrackRecord(int32_t t)
{
    t = notNegative(t);
    return format("TR: %d.%d%ds", t / 100 % 100, t / 10 % 10, t % 10);
}

std::string formatRaceClock(int32_t hundredths)
{
    int32_t s = notNegative(hundredths) / 100;
    if (s < 3600) return format(" %2d:%02d", s / 60, s % 60);
    return format("%2d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
}

std::string formatTrackLength(uint32_t metres) { return format("%u m", metres); }

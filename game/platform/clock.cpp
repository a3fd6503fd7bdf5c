#include "platform/clock.h"

#include <SDL.h>
#include <ctime>
#include <sys/time.h>

static TickFunction tickFunction = nullptr;

uint32_t ticks()
{
    return tickFunction ? tickFunction() : SDL_GetTicks();
}

void setTickFunction(TickFunction f)
{
    tickFunction = f;
}

SystemTime currentUtcTime()
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t seconds = tv.tv_sec;
    tm utc;
    gmtime_r(&seconds, &utc);
    SystemTime t;
    t.year = static_cast<uint16_t>(utc.tm_year + 1900);
    t.month = static_cast<uint16_t>(utc.tm_mon + 1);
    t.dayOfWeek = static_cast<uint16_t>(utc.tm_wday);
    t.day = static_cast<uint16_t>(utc.tm_mday);
    t.hour = static_cast<uint16_t>(utc.tm_hour);
    t.minute = static_cast<uint16_t>(utc.tm_min);
    t.second = static_cast<uint16_t>(utc.tm_sec);
    t.millisecond = static_cast<uint16_t>(tv.tv_usec / 1000);
    return t;
}

std::string formatUserDate(const SystemTime& t)
{
    tm date{};
    date.tm_year = t.year - 1900;
    date.tm_mon = t.month > 0 ? t.month - 1 : 0;
    date.tm_mday = t.day > 0 ? t.day : 1;
    date.tm_wday = t.dayOfWeek % 7;
    char buffer[64];
    size_t n = std::strftime(buffer, sizeof buffer, "%x", &date);
    return std::string(buffer, n);
}

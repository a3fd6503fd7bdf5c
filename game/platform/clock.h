#pragma once
// Time: the millisecond ticks that the race and the menus run on, and the calendar.
#include <cstdint>
#include <string>

// Milliseconds since an arbitrary start. SDL's timer unless a test put its own clock in.
uint32_t ticks();
using TickFunction = uint32_t (*)();
// Replaces the tick source; nullptr restores SDL's.
void setTickFunction(TickFunction f);

struct SystemTime {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    uint16_t hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The current UTC date and time; dayOfWeek 0 is Sunday.
SystemTime currentUtcTime();

// A date as the user's locale writes a short date.
std::string formatUserDate(const SystemTime& t);

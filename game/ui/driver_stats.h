#pragma once
// Right-click on a driver: the career in places of races and seasons, points and fastest laps,
// with "Reset" to start it again.
#include "state/widget.h"

#include <string>

struct DriverProfile;

constexpr int driverStatsWidgetCount = 2;

enum DriverStatsWidget { statsOk, statsReset };

void buildDriverStats(Widget* w);
void captionDriverStats(Widget* w);
void paintDriverStats();

// From the main menu, which waits parked. profile may be null (a driver without a file yet).
void openDriverStats(const std::string& name, DriverProfile* profile);
// From the Driver options page, which comes back afterwards.
void openDriverStatsFromPage(const std::string& name, DriverProfile* profile);

// The 16 counters back to zero; car, colours and controls stay.
void resetDriverStatistics(DriverProfile& profile);

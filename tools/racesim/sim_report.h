#pragma once
// tmsim's two forms of a race result: a table for people and one JSON object for programs.
#include "race_sim.h"

#include <string>

std::string simReportText(const SimResult& r);
std::string simReportJson(const SimResult& r);

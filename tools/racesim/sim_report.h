#pragma once
// tmsim's two forms of a race result: a table for people and one JSON object for programs.
#include "race_sim.h"
#include "sim_soak.h"

#include <string>

std::string simReportText(const SimResult& r);
std::string simReportJson(const SimResult& r);

// The soak's figures: one line each for people, one JSON object for programs.
std::string soakReportText(const SoakResult& r);
std::string soakReportJson(const SoakResult& r);

#pragma once
// The alias health check against the catalogue load it follows at start-up.
#include <string>

#include "bench/Measure.h"

class frmMain;

void BenchHealth(Report& report, frmMain& main, const std::wstring& work, int reps);

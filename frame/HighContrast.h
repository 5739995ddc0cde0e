#pragma once
// Whether the user has turned high contrast on. The frame then wears the
// system's colours instead of its skin.
//
// Tests replace the query: Wine answers SPI_GETHIGHCONTRAST but refuses
// SPI_SETHIGHCONTRAST, so the setting cannot be turned on there.
using HighContrastQuery = bool (*)();

// SystemParametersInfo(SPI_GETHIGHCONTRAST) has HCF_HIGHCONTRASTON, or what
// the replacement query answers.
bool HighContrastOn();

// Replaces the query; null puts the system's back. Returns the one before.
HighContrastQuery SetHighContrastQuery(HighContrastQuery query);

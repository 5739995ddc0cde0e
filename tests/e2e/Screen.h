#pragma once
// Saves what is on the (virtual) screen as a BMP file, for a person to look at.
#include <string>

bool SaveScreenshot(const std::wstring& file);

// The screen's pixels (24-bit rows, bottom-up), to tell when it holds still.
std::string ScreenPixels();

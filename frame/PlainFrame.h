#pragma once
// The non-client engine's own frame, drawn in the system's colours when the
// window has no skin (no partner, or high contrast): borders of the system's
// frame width, a caption of the system's height with the icon, the title and
// three buttons. Where its parts lie for a window of a given size, at the
// system's measures for the window's DPI.
#include <windows.h>

#include <array>

struct PlainMetrics {
    int frameX = 0;   // SM_CXFRAME
    int frameY = 0;   // SM_CYFRAME
    int caption = 0;  // SM_CYCAPTION
};

// The system's measures at dpi.
PlainMetrics PlainMetricsForDpi(int dpi) noexcept;

// The caption (without the borders around it) of a window `width` wide, in
// window coordinates.
RECT PlainCaptionRect(const PlainMetrics& m, int width) noexcept;

// The [close, maximize, minimize] buttons in window coordinates: square-ish
// cells at the caption's right end, the close button apart from the others.
std::array<RECT, 3> PlainButtonRects(const PlainMetrics& m, int width) noexcept;

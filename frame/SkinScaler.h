#pragma once
// Redraws a skin bitmap for another DPI, once, when the skin is attached:
// the painter then blits the result at 1:1 like a 96-DPI skin, and nothing
// is stretched per paint.
#include <windows.h>

#include <vector>

#include "frame/CaptionLayout.h"
#include "frame/cMemDC.h"

// The width and height of a bitmap; 0 x 0 when it is none.
SIZE BitmapSize(HBITMAP bitmap) noexcept;

// Grows `into` to hold all the pieces and draws source's pieces into it,
// stretched as listed. smooth averages the pixels (HALFTONE), for fractional
// factors; otherwise each pixel is repeated (nearest neighbour), which keeps
// a whole-number factor crisp. False when nothing could be drawn.
bool StretchSkin(HBITMAP source, const std::vector<CaptionLayout::Stretch>& pieces, bool smooth, cMemDC& into);

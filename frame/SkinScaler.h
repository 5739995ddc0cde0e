#pragma once
// Redraws a skin bitmap for another DPI, once per DPI the window meets: the
// painter then blits the result at 1:1 like a 96-DPI skin, and nothing is
// stretched per paint.
#include <windows.h>

#include <vector>

#include "frame/CaptionLayout.h"
#include "frame/cMemDC.h"

// Grows `into` to hold all the pieces and draws the pieces of `from` (a DC
// holding the 96-DPI skin) into it, stretched as listed. smooth averages the
// pixels (HALFTONE), for fractional factors; otherwise each pixel is
// repeated (nearest neighbour), which keeps a whole-number factor crisp.
// False when nothing could be drawn.
bool StretchSkin(HDC from, const std::vector<CaptionLayout::Stretch>& pieces, bool smooth, cMemDC& into);

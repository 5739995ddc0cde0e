#include "frame/SkinScaler.h"

bool StretchSkin(HDC from, const std::vector<CaptionLayout::Stretch>& pieces, bool smooth, cMemDC& into) {
    const SIZE size = CaptionLayout::StretchedSize(pieces);
    if (!from || size.cx <= 0 || size.cy <= 0) return false;
    into.Grow(size.cx, size.cy);
    const HDC to = into.hDC();
    if (!to) return false;

    // HALFTONE wants the brush origin set again after the mode.
    const int oldMode = SetStretchBltMode(to, smooth ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    for (const CaptionLayout::Stretch& p : pieces) {
        StretchBlt(to, p.to.left, p.to.top, p.to.right - p.to.left, p.to.bottom - p.to.top, from, p.from.left,
                   p.from.top, p.from.right - p.from.left, p.from.bottom - p.from.top, SRCCOPY);
    }
    SetStretchBltMode(to, oldMode);
    return true;
}

#include "frame/SkinScaler.h"

#include "plumbing/GdiGuards.h"

SIZE BitmapSize(HBITMAP bitmap) noexcept {
    BITMAP bm{};
    if (GetObjectType(bitmap) != OBJ_BITMAP || GetObjectW(bitmap, sizeof(bm), &bm) == 0) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

bool StretchSkin(HBITMAP source, const std::vector<CaptionLayout::Stretch>& pieces, bool smooth, cMemDC& into) {
    const SIZE size = CaptionLayout::StretchedSize(pieces);
    if (size.cx <= 0 || size.cy <= 0 || BitmapSize(source).cx <= 0) return false;
    into.Grow(size.cx, size.cy);
    const HDC to = into.hDC();
    if (!to) return false;

    const CreatedDC display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    const CreatedDC from(CreateCompatibleDC(display.get()));
    const SelectedObject sourceIn(from.get(), source);
    if (!sourceIn.selected()) return false;
    // HALFTONE wants the brush origin set again after the mode.
    const int oldMode = SetStretchBltMode(to, smooth ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(to, 0, 0, nullptr);
    for (const CaptionLayout::Stretch& p : pieces) {
        StretchBlt(to, p.to.left, p.to.top, p.to.right - p.to.left, p.to.bottom - p.to.top, from.get(), p.from.left,
                   p.from.top, p.from.right - p.from.left, p.from.bottom - p.from.top, SRCCOPY);
    }
    SetStretchBltMode(to, oldMode);
    return true;
}

#include "frame/cMemDC.h"

#include "plumbing/GdiGuards.h"

#include <algorithm>
#include <utility>

namespace {

CreatedDC DisplayDC() {
    return CreatedDC(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
}

}  // namespace

cMemDC::~cMemDC() {
    ReleaseSurface();
}

void cMemDC::Width(int lW) {
    if (lW > width_) CreateSurface(lW, height_);
}

void cMemDC::Height(int lH) {
    if (lH > height_) CreateSurface(width_, lH);
}

void cMemDC::Grow(int cx, int cy) {
    if (cx > width_ || cy > height_) CreateSurface(std::max(cx, width_), std::max(cy, height_));
}

void cMemDC::CreateSurface(int cx, int cy) {
    ReleaseSurface();
    const CreatedDC display = DisplayDC();
    hDC_ = CreateCompatibleDC(display.get());
    // Compatible with the display, not with the memory DC (which starts with
    // a monochrome bitmap), so the surface has the screen's colour depth.
    bitmap_ = CreateCompatibleBitmap(display.get(), cx, cy);
    previousBitmap_ = SelectObject(hDC_, bitmap_);
    if (previousBitmap_) {
        width_ = cx;
        height_ = cy;
    } else {
        ReleaseSurface();
    }
}

void cMemDC::ReleaseSurface() noexcept {
    // The bitmap must be out of the DC before it can be deleted.
    if (previousBitmap_) {
        SelectObject(hDC_, previousBitmap_);
        previousBitmap_ = nullptr;
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    width_ = 0;
    height_ = 0;
    if (hDC_) {
        DeleteDC(hDC_);
        hDC_ = nullptr;
    }
}

void cMemDC::CreateFromPicture(HBITMAP sPic) {
    BITMAP bm{};
    // Not a bitmap: nothing to copy, and the surface is left as it was.
    if (GetObjectType(sPic) != OBJ_BITMAP || GetObjectW(sPic, sizeof(bm), &bm) == 0) return;
    Grow(bm.bmWidth, bm.bmHeight);

    const CreatedDC display = DisplayDC();
    const CreatedDC source(CreateCompatibleDC(display.get()));
    const SelectedObject picture(source.get(), sPic);
    BitBlt(hDC_, 0, 0, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY);
}

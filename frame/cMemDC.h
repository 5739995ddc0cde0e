#pragma once
// An off-screen drawing surface: a display-compatible memory DC with a bitmap
// of its own selected into it. The surface only grows; every re-creation
// loses what was drawn. Owns the DC and the bitmap.
#include <windows.h>

class cMemDC {
public:
    cMemDC() = default;
    ~cMemDC();
    cMemDC(const cMemDC&) = delete;
    cMemDC& operator=(const cMemDC&) = delete;

    // Grows the surface to at least the bitmap's size and copies the bitmap
    // into its top-left corner. The bitmap stays the caller's.
    void CreateFromPicture(HBITMAP sPic);

    // The memory DC (null when no surface exists), to draw into and blit from.
    HDC hDC() const noexcept { return hDC_; }

    int Width() const noexcept { return width_; }
    // Re-creates the surface as lW x Height() when lW is larger; else nothing.
    void Width(int lW);
    int Height() const noexcept { return height_; }
    // Re-creates the surface as Width() x lH when lH is larger; else nothing.
    void Height(int lH);
    // Both at once: one re-creation, as the larger of each, when either is
    // larger; else nothing. (Width then Height would make the surface twice.)
    void Grow(int cx, int cy);

private:
    void CreateSurface(int cx, int cy);
    void ReleaseSurface() noexcept;

    HDC hDC_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;  // non-null exactly while bitmap_ is selected
    int width_ = 0;
    int height_ = 0;
};

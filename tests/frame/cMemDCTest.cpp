#include "frame/cMemDC.h"

#include <gtest/gtest.h>

#include "tests/support/ObjectCounts.h"

#include <array>
#include <memory>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A display-compatible bitmap filled with one colour, with a marker pixel in
// its bottom-right corner.
HBITMAP MakePicture(int cx, int cy, COLORREF fill, COLORREF corner) {
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(fill);
    const RECT all{0, 0, cx, cy};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SetPixel(dc, cx - 1, cy - 1, corner);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}


}  // namespace

TEST(cMemDC, SurfaceOnlyGrows) {
    cMemDC m;
    EXPECT_EQ(m.hDC(), nullptr);
    const struct {
        char which;
        int value, width, height;
    } steps[] = {
        {'W', 100, 100, 0},  // a 100 x 0 request until the height is set
        {'H', 40, 100, 40},  {'W', 50, 100, 40},  {'W', 100, 100, 40}, {'H', 40, 100, 40},
        {'H', -3, 100, 40},  {'H', 60, 100, 60},  {'W', 101, 101, 60},
    };
    for (const auto& s : steps) {
        if (s.which == 'W') m.Width(s.value);
        else m.Height(s.value);
        EXPECT_EQ(m.Width(), s.width) << s.which << s.value;
        EXPECT_EQ(m.Height(), s.height) << s.which << s.value;
        EXPECT_NE(m.hDC(), nullptr);
    }
    // Both at once: each side the larger of asked and had.
    for (const auto& [cx, cy, width, height] :
         {std::array{90, 50, 101, 60}, std::array{90, 70, 101, 70}, std::array{120, 10, 120, 70}}) {
        m.Grow(cx, cy);
        EXPECT_EQ(m.Width(), width) << "G" << cx << "," << cy;
        EXPECT_EQ(m.Height(), height) << "G" << cx << "," << cy;
    }
    BITMAP bm{};
    GetObjectW(GetCurrentObject(m.hDC(), OBJ_BITMAP), sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 120);
    EXPECT_EQ(bm.bmHeight, 70);
    EXPECT_EQ(bm.bmBitsPixel, GetDeviceCaps(m.hDC(), BITSPIXEL));  // the screen's depth, not monochrome
    EXPECT_GT(bm.bmBitsPixel, 1);
}

TEST(cMemDC, ContentsSurviveRequestsThatDoNotGrowAndAreLostOnGrowth) {
    cMemDC m;
    m.Width(100);
    m.Height(40);
    SetPixel(m.hDC(), 5, 5, kRed);
    m.Width(80);
    m.Height(40);
    EXPECT_EQ(GetPixel(m.hDC(), 5, 5), kRed);
    m.Grow(100, 40);
    EXPECT_EQ(GetPixel(m.hDC(), 5, 5), kRed);
    m.Height(41);
    EXPECT_NE(GetPixel(m.hDC(), 5, 5), kRed);
}

TEST(cMemDC, PictureIsCopiedToTheTopLeftOfAGrownSurface) {
    HBITMAP picture = MakePicture(300, 60, kBlue, kRed);
    cMemDC m;
    m.Width(400);
    m.Height(40);
    m.CreateFromPicture(picture);
    EXPECT_EQ(m.Width(), 400);
    EXPECT_EQ(m.Height(), 60);
    EXPECT_EQ(GetPixel(m.hDC(), 0, 0), kBlue);
    EXPECT_EQ(GetPixel(m.hDC(), 150, 30), kBlue);
    EXPECT_EQ(GetPixel(m.hDC(), 299, 59), kRed);

    // The picture is still the caller's, intact and selectable elsewhere.
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(dc, picture), nullptr);
    EXPECT_EQ(GetPixel(dc, 299, 59), kRed);
    DeleteDC(dc);
    DeleteObject(picture);
}

TEST(cMemDC, SmallerPictureKeepsTheSurfaceAndNotABitmapChangesNothing) {
    HBITMAP picture = MakePicture(20, 10, kRed, kRed);
    cMemDC m;
    m.Width(50);
    m.Height(50);
    const HDC before = m.hDC();
    SetPixel(m.hDC(), 40, 40, kBlue);
    m.CreateFromPicture(picture);
    EXPECT_EQ(m.hDC(), before);
    EXPECT_EQ(GetPixel(m.hDC(), 40, 40), kBlue);
    EXPECT_EQ(GetPixel(m.hDC(), 19, 9), kRed);

    m.CreateFromPicture(nullptr);
    HBRUSH brush = CreateSolidBrush(kRed);  // a GDI object, but no bitmap
    m.CreateFromPicture(reinterpret_cast<HBITMAP>(brush));
    DeleteObject(brush);
    EXPECT_EQ(m.Width(), 50);
    EXPECT_EQ(m.Height(), 50);
    EXPECT_EQ(GetPixel(m.hDC(), 40, 40), kBlue);
    DeleteObject(picture);
}

TEST(cMemDC, DestructionLeavesNoGdiObjectBehind) {
    HBITMAP picture = MakePicture(30, 20, kBlue, kRed);
    const int before = CountGdiObjects();
    HDC dc;
    HGDIOBJ bitmap;
    {
        auto m = std::make_unique<cMemDC>();
        m->Width(10);
        m->Height(10);
        m->CreateFromPicture(picture);
        m->Width(64);
        dc = m->hDC();
        bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
    DeleteObject(picture);
}

// The skin's layout and bitmaps redrawn for another DPI: lengths grow with
// the DPI, 96 stays exactly as drawn, and the stretched pieces land where the
// scaled layout reads them.
#include "frame/CaptionLayout.h"
#include "frame/DpiScale.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace CaptionLayout;

constexpr CaptionSkin kSkin{19, 20, 90, 140, 240, 400, 48, 10};
constexpr int kBitmapWidth = 640;

auto Tie(const CaptionSkin& s) {
    return std::make_tuple(s.buttonWidth, s.buttonHeight, s.leftEnd, s.rightStart, s.rightEnd,
                           s.inactiveOffset, s.captionHeight, s.borderSize);
}
auto Tie(const RECT& r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); }
auto Tie(LONG l, LONG t, LONG r, LONG b) { return std::make_tuple(l, t, r, b); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

TEST(CaptionScale, ScaleToDpiRoundsToTheNearestPixel) {
    const struct {
        int px, dpi, scaled;
    } cases[] = {
        {19, 96, 19},   {19, 0, 19},    {19, -5, 19},   // 0 or less counts as 96
        {19, 120, 24},  {19, 144, 29},  {19, 192, 38},  // 23.75, 28.5 (half up), 38
        {48, 144, 72},  {10, 144, 15},  {5, 120, 6},    // 6.25
        {-3, 144, -5},  {0, 192, 0},                    // -4.5: away from zero
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleToDpi(c.px, c.dpi), c.scaled) << c.px << " at " << c.dpi;
    EXPECT_TRUE(IsWholeScale(96) && IsWholeScale(192) && IsWholeScale(288));
    EXPECT_FALSE(IsWholeScale(120) || IsWholeScale(144) || IsWholeScale(0));
}

TEST(CaptionScale, At96NothingMoves) {
    EXPECT_EQ(Tie(ScaleSkin(kSkin, 96)), Tie(kSkin));
    EXPECT_EQ(Tie(SysMenuHotSpot(96)), Tie(kSysMenuHotSpot));
    for (const Stretch& s : CaptionStretches(kSkin, kBitmapWidth, 96)) EXPECT_EQ(Tie(s.from), Tie(s.to));
    for (const Stretch& s : BorderStretches(10, 7, 96)) EXPECT_EQ(Tie(s.from), Tie(s.to));
    EXPECT_EQ(StretchedSize(BorderStretches(10, 7, 96)).cx, 70);
}

TEST(CaptionScale, MarginsButtonsAndBarGrowWithTheDpi) {
    const CaptionSkin base = ScaleSkin(kSkin, 96);
    const int W = 800;
    const auto buttons96 = ButtonRects(base, PlaceRightPiece(base, 0, W), 0, {true, true, true});
    const MenuBarPlacement bar96 = PlaceMenuBar(base, PlaceRightPiece(base, 0, W));
    for (const int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const double factor = dpi / 96.0;
        const double least = dpi >= 144 ? 1.4 : 1.2;
        const CaptionSkin s = ScaleSkin(kSkin, dpi);
        EXPECT_EQ(s.dpi, dpi);
        EXPECT_GE(s.captionHeight, least * 48);
        EXPECT_GE(s.borderSize, least * 10);
        EXPECT_NEAR(s.captionHeight, factor * 48, 0.5);

        const RightPiece piece = PlaceRightPiece(s, 0, W);
        const auto buttons = ButtonRects(s, piece, 0, {true, true, true});
        for (int i = kClose; i <= kMinimize; ++i) {
            EXPECT_GE(Width(buttons[i]), least * Width(buttons96[i])) << i;
            EXPECT_GE(Height(buttons[i]), least * Height(buttons96[i])) << i;
            EXPECT_GE(W - buttons[i].right, least * (W - buttons96[i].right)) << i;  // still inside the right piece
            EXPECT_LE(buttons[i].bottom, s.captionHeight / 2 + ScaleToDpi(2, dpi)) << i;  // above the bar's rows
        }
        // Side by side without gaps, as at 96.
        EXPECT_EQ(buttons[kMaximize].right, buttons[kClose].left);
        EXPECT_EQ(buttons[kMinimize].right, buttons[kMaximize].left);

        const MenuBarPlacement bar = PlaceMenuBar(s, piece);
        EXPECT_GE(bar.height, least * bar96.height);
        EXPECT_GE(bar.top, least * bar96.top);
        EXPECT_EQ(bar.top + bar.yOffset, ScaleToDpi(2, dpi));  // bar row 0 sits right under the band's top rows
        EXPECT_GE(bar.left, least * bar96.left);

        const RECT text = CaptionTextRect(s, 0, W);
        EXPECT_GE(Height(text), least * Height(CaptionTextRect(base, 0, W)) - 1);
        EXPECT_LT(text.top, bar.top);  // the title starts above the bar
        EXPECT_GE(SysMenuHotSpot(dpi).bottom, least * kSysMenuHotSpot.bottom);
        const auto tiles = MiddleTiles(0, piece.x, dpi);
        ASSERT_FALSE(tiles.empty());
        EXPECT_EQ(tiles.front().x, ScaleToDpi(90, dpi));
        EXPECT_EQ(tiles.front().width, ScaleToDpi(52, dpi));
    }
}

TEST(CaptionScale, StretchedPiecesLandWhereTheScaledLayoutReadsThem) {
    for (const int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const CaptionSkin s = ScaleSkin(kSkin, dpi);
        const auto pieces = CaptionStretches(kSkin, kBitmapWidth, dpi);
        ASSERT_EQ(pieces.size(), 2u + 8u);  // active and inactive band, 4 cells x 2 rows
        // The active band covers everything the painter copies from it.
        EXPECT_EQ(Tie(pieces[0].from), Tie(0, 0, 241, 48));
        EXPECT_GE(pieces[0].to.right, s.rightEnd + 1);
        EXPECT_EQ(pieces[0].to.bottom, s.captionHeight);
        EXPECT_EQ(pieces[1].to.left, s.inactiveOffset);
        EXPECT_EQ(pieces[1].from.right, kBitmapWidth);  // clipped to the bitmap
        // Every cell exactly where ButtonSourceX and the button height put it.
        for (int k = 0; k < 4; ++k) {
            for (int row = 0; row < 2; ++row) {
                const Stretch& c = pieces[2 + 2 * k + row];
                EXPECT_EQ(Tie(c.from), Tie(240 + 19 * k, 20 * row, 259 + 19 * k, 20 * (row + 1)));
                EXPECT_EQ(c.to.left, ButtonSourceX(s, kClose, false) + k * s.buttonWidth);
                EXPECT_EQ(Width(c.to), s.buttonWidth);
                EXPECT_EQ(c.to.top, row * s.buttonHeight);
                EXPECT_EQ(Height(c.to), s.buttonHeight);
            }
        }
        EXPECT_EQ(ButtonSourceX(s, kMinimize, false), pieces[2 + 6].to.left);
        EXPECT_EQ(ButtonSourceX(s, kMaximize, true), pieces[2 + 2].to.left);  // restore image

        // Border cells side by side, each B' square, so cell n is at n * B'.
        const auto cells = BorderStretches(10, 7, dpi);
        ASSERT_EQ(cells.size(), 7u);
        for (int n = 0; n < 7; ++n) {
            EXPECT_EQ(Tie(cells[n].to), Tie(n * s.borderSize, 0, (n + 1) * s.borderSize, s.borderSize));
        }
        EXPECT_EQ(StretchedSize(cells).cy, s.borderSize);
    }
    // At a whole factor every length is exactly doubled.
    const CaptionSkin twice = ScaleSkin(kSkin, 192);
    EXPECT_EQ(Tie(twice), std::make_tuple(38, 40, 180, 280, 481, 800, 96, 20));
}

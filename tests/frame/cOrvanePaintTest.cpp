// What the caption painter puts on the window: the skin's pieces, active and
// inactive, the title, the borders of narrow, short and tall windows, and no
// GDI objects left behind.
#include "tests/frame/cOrvaneTestFixture.h"
#include "tests/support/ObjectCounts.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace captiontest;

namespace {

// Window pixels of the title rectangle that differ from the bare band: the
// leftmost, rightmost and lowest of them, and how many.
struct Ink {
    int count = 0;
    int left = INT_MAX;
    int right = -1;
    int bottom = -1;
};

Ink TitleInk(const SkinnedWindow& w, int width, int offset) {
    Ink ink;
    const int pieceX = std::max(width - 100, 101);  // where the right end piece starts
    for (int y = 11; y < 29; ++y) {
        for (int x = 92; x < std::min(width - 96, pieceX); ++x) {
            // The band under the title is the middle tile.
            const COLORREF bare = w.Caption(91 + (x - 90) % 52 + offset, y);
            if (w.Pixel(x, y) == bare) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.bottom = std::max(ink.bottom, y);
        }
    }
    return ink;
}

// GDI handles are slots of one table that reuses freed slots first; a slot
// number far above the one before means handles were left behind.
unsigned NextGdiSlot() {
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    const unsigned slot = LOWORD(reinterpret_cast<ULONG_PTR>(probe));
    DeleteObject(probe);
    return slot;
}

}  // namespace

TEST(cOrvanePaint, PiecesComeFromTheActiveOrInactiveImage) {
    SkinnedWindow w(400, 300);
    const SIZE s = w.Size();
    const int W = s.cx, Ht = s.cy;
    for (const bool active : {true, false}) {
        w.Activate(active);
        w.Paint();
        const int o = active ? 0 : 400;
        SCOPED_TRACE(active ? "active" : "inactive");
        const struct {
            int x, y;     // window
            int cx, cy;   // caption bitmap, before the state offset
        } band[] = {
            {0, 0, 0, 0},          {5, 5, 5, 5},          {27, 25, 27, 25},  // left end and badge
            {89, 47, 89, 47},      {60, 40, 60, 40},
            {90, 5, 91, 5},        {141, 46, 142, 46},    {142, 5, 91, 5},   // tiles, 52 apart
            {200, 8, 91 + 6, 8},   {200, 40, 97, 40},
            {W - 100, 5, 140, 5},  {W - 70, 30, 170, 30}, {W - 1, 47, 239, 47},  // right end
            {W - 1, 0, 239, 0},    {W - 80, 3, 160, 3},
        };
        for (const auto& p : band) {
            EXPECT_EQ(w.Pixel(p.x, p.y), w.Caption(p.cx + o, p.cy)) << p.x << "," << p.y;
        }
        // The buttons are the same in both states.
        EXPECT_EQ(w.Pixel(W - 25 + 9, 5 + 9), w.Caption(240 + 9, 9));
        EXPECT_EQ(w.Pixel(W - 65 + 9, 5 + 12), w.Caption(240 + 57 + 9, 12));
        // So are the borders: tiles repeat from the caption's bottom down.
        const struct {
            int x, y;
            int bx, by;
        } frame[] = {
            {0, 48, 0, 0},           {3, 100, 3, 2},           {9, Ht - 11, 9, (Ht - 11 - 48) % 10},
            {W - 10, 60, 40, 2},     {W - 1, 123, 49, 5},      {15, Ht - 10, 35, 0},
            {W / 2, Ht - 1, 30 + (W / 2 - 10) % 10, 9},       {W - 15, Ht - 3, 30 + (W - 25) % 10, 7},
            {0, Ht - 10, 20, 0},     {9, Ht - 1, 29, 9},       {W - 10, Ht - 10, 60, 0},
            {W - 1, Ht - 1, 69, 9},
        };
        for (const auto& p : frame) {
            EXPECT_EQ(w.Pixel(p.x, p.y), w.Border(p.bx, p.by)) << p.x << "," << p.y;
        }
    }
}

// The painter keeps the borders and the band's background from one paint to
// the next: after every change of size or state the frame is that size's
// and that state's, growing, shrinking and coming back.
TEST(cOrvanePaint, EverySizeAndStateGetsItsOwnFrame) {
    SkinnedWindow w(400, 300);
    const struct {
        int cx, cy;
        bool active;
    } steps[] = {{400, 300, true}, {600, 500, true},  {600, 500, false},
                 {300, 200, false}, {400, 300, true}, {400, 300, false}};
    for (const auto& step : steps) {
        SetWindowPos(w.hwnd(), nullptr, 0, 0, step.cx, step.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        w.Activate(step.active);
        w.Paint();
        const SIZE s = w.Size();
        const int W = s.cx, Ht = s.cy, o = step.active ? 0 : 400;
        SCOPED_TRACE(std::to_string(W) + " x " + std::to_string(Ht) + (step.active ? " active" : " inactive"));
        EXPECT_EQ(w.Pixel(W - 1, 47), w.Caption(239 + o, 47));
        EXPECT_EQ(w.Pixel(W - 100, 5), w.Caption(140 + o, 5));
        EXPECT_EQ(w.Pixel(142, 5), w.Caption(91 + o, 5));
        EXPECT_EQ(w.Pixel(W - 1, Ht - 1), w.Border(69, 9));
        EXPECT_EQ(w.Pixel(0, Ht - 10), w.Border(20, 0));
        EXPECT_EQ(w.Pixel(W / 2, Ht - 1), w.Border(30 + (W / 2 - 10) % 10, 9));
        EXPECT_EQ(w.Pixel(9, Ht - 11), w.Border(9, (Ht - 11 - 48) % 10));
        EXPECT_EQ(w.Pixel(W - 1, 123), w.Border(49, 5));
    }
}

// The band keeps its last frame and puts back only what the title and the
// menu bar drew over the background: a title and a menu item that get
// shorter leave nothing of their longer selves, as a fresh window shows.
TEST(cOrvanePaint, ATitleOrMenuItemThatGetsShorterLeavesNothingBehind) {
    const auto band = [](const SkinnedWindow& w) {
        std::vector<COLORREF> pixels;
        HDC dc = GetWindowDC(w.hwnd());
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < w.Size().cx; ++x) pixels.push_back(GetPixel(dc, x, y));
        }
        ReleaseDC(w.hwnd(), dc);
        return pixels;
    };
    const auto helpText = [](const SkinnedWindow& w, const wchar_t* text) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<wchar_t*>(text);
        SetMenuItemInfoW(w.menu(), 1, TRUE, &info);
    };
    std::vector<COLORREF> changed;
    {
        SkinnedWindow w(400, 300, WS_OVERLAPPEDWINDOW, L"一个很长很长的标题 WWWWWWWWWWWW");
        helpText(w, L"&Help and a long tail");
        w.Activate(true);
        w.Paint();
        SetWindowTextW(w.hwnd(), L"AB");
        helpText(w, L"&H");
        w.Paint();
        changed = band(w);
    }
    SkinnedWindow fresh(400, 300, WS_OVERLAPPEDWINDOW, L"AB");
    helpText(fresh, L"&H");
    fresh.Activate(true);
    fresh.Paint();
    const std::vector<COLORREF> expected = band(fresh);
    ASSERT_EQ(changed.size(), expected.size());
    int differing = 0;
    for (size_t i = 0; i < changed.size(); ++i) differing += changed[i] != expected[i];
    EXPECT_EQ(differing, 0);
}

TEST(cOrvanePaint, TitleIsBoldWhileActiveAndUsesTheStateColour) {
    SkinnedWindow w(400, 300);
    const int W = w.Size().cx;
    w.Activate(true);
    w.Paint();
    const Ink active = TitleInk(w, W, 0);
    EXPECT_GT(active.count, 30);
    EXPECT_GE(active.left, 92);
    EXPECT_LT(active.right, W - 96);

    w.Activate(false);
    w.Paint();
    const Ink inactive = TitleInk(w, W, 400);
    EXPECT_GT(inactive.count, 30);
    EXPECT_GT(active.count, inactive.count);  // bold only while active
    EXPECT_NEAR(inactive.left, active.left, 2);  // same place, glyphs of another weight

    // Caption colours and font are read at every paint; the font is shared.
    w.painter().InActiveCaptionColor(0x80000000 | COLOR_HIGHLIGHT);
    w.painter().CaptionFont()->Size(18);
    w.Paint();
    const Ink big = TitleInk(w, W, 400);
    EXPECT_GT(big.bottom, inactive.bottom);
    bool highlight = false;
    for (int x = big.left; x <= big.right && !highlight; ++x) {
        for (int y = 11; y < 29 && !highlight; ++y) highlight = w.Pixel(x, y) == GetSysColor(COLOR_HIGHLIGHT);
    }
    EXPECT_TRUE(highlight);
}

TEST(cOrvanePaint, TitleTextIsDrawnAsIsAndCutWithAnEllipsis) {
    const auto inkOf = [](const wchar_t* title) {
        SkinnedWindow w(400, 300, WS_OVERLAPPEDWINDOW, title);
        w.Activate(true);
        w.Paint();
        return TitleInk(w, w.Size().cx, 0);
    };
    // "&" is a character here, not a mnemonic marker.
    const Ink amp = inkOf(L"A&B"), plain = inkOf(L"AB");
    EXPECT_GT(amp.right - amp.left, plain.right - plain.left);
    // A title longer than the band stops short of the buttons.
    const Ink longTitle = inkOf(std::wstring(200, L'W').c_str());
    EXPECT_LT(longTitle.right, 400 - 96);
    EXPECT_GT(longTitle.right, 400 - 96 - 30);
    EXPECT_EQ(inkOf(L"").count, 0);
}

TEST(cOrvanePaint, NarrowBandKeepsTheRightPieceAtItsWidthAndDrawsNoTitle) {
    SkinnedWindow w(400, 300, WS_OVERLAPPEDWINDOW, L"WWWW");
    w.Activate(true);
    // 201 wide: the right piece fits exactly (x = 101) and the title is drawn.
    w.Paint(201, 300);
    EXPECT_EQ(w.Pixel(101, 5), w.Caption(140, 5));
    EXPECT_GT(TitleInk(w, 201, 0).count, 0);
    // 200 wide: too narrow; the piece stays at x = 101, no title.
    w.Paint(200, 300);
    EXPECT_EQ(w.Pixel(101, 5), w.Caption(140, 5));
    EXPECT_EQ(w.Pixel(150, 40), w.Caption(189, 40));
    EXPECT_EQ(TitleInk(w, 200, 0).count, 0);
    // Far narrower than the pieces: still a frame, no crash.
    w.Paint(30, 300);
    EXPECT_EQ(w.Pixel(3, 100), w.Border(3, 2));
}

TEST(cOrvanePaint, ShortWindowGetsItsBottomBorderRightUnderTheCaption) {
    SkinnedWindow w(400, 300);
    w.Activate(true);
    for (const int height : {52, 48, 20}) {
        w.Paint(400, 300);
        w.Paint(400, height);
        SCOPED_TRACE(height);
        EXPECT_EQ(w.Pixel(55, 48), w.Border(35, 0));
        EXPECT_EQ(w.Pixel(55, 51), w.Border(35, 3));
        EXPECT_EQ(w.Pixel(5, 5), w.Caption(5, 5));
    }
}

TEST(cOrvanePaint, TallWindowsSideBordersRepeatAllTheWayDown) {
    SkinnedWindow w(300, 700);
    const SIZE s = w.Size();
    w.Paint();
    for (int y = 48; y < s.cy - 10; y += 37) {
        EXPECT_EQ(w.Pixel(1, y), w.Border(1, (y - 48) % 10)) << y;
        EXPECT_EQ(w.Pixel(s.cx - 2, y), w.Border(48, (y - 48) % 10)) << y;
    }
}

TEST(cOrvanePaint, AThousandPaintsLeaveNoGdiObjects) {
    SkinnedWindow w(400, 300);
    HDC dc = GetWindowDC(w.hwnd());
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    // Five hundred paints in each look, at seven widths.
    const auto thousandPaints = [&] {
        for (int i = 0; i < 1000; ++i) {
            if (i == 0 || i == 500) w.Activate(i == 0);
            w.painter().NCPaint(dc, 0, 0, 400 + i % 7, 300);
        }
    };
    // A first round makes what the painter and the system make once and
    // keep (caches, the other look's pieces): that is no leak.
    thousandPaints();
    const int objectsBefore = CountGdiObjects();
    const unsigned slotBefore = NextGdiSlot();
    thousandPaints();
    const unsigned slotAfter = NextGdiSlot();
    EXPECT_LT(slotAfter, slotBefore + 16);
    EXPECT_LE(CountGdiObjects(), objectsBefore);
    // Nothing was left selected into the window's DC either.
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    ReleaseDC(w.hwnd(), dc);
}

namespace {

// A display-compatible memory surface and its pixels as 32-bit values.
class Surface {
public:
    Surface(int cx, int cy) : cx_(cx), cy_(cy) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, cx, cy);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    HDC dc() const { return dc_; }
    std::vector<DWORD> Bits() const {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx_, -cy_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<DWORD> bits(static_cast<size_t>(cx_) * static_cast<size_t>(cy_));
        SelectObject(dc_, old_);  // GetDIBits wants the bitmap out of the DC
        GetDIBits(dc_, bitmap_, 0, static_cast<UINT>(cy_), bits.data(), &bi, DIB_RGB_COLORS);
        SelectObject(dc_, bitmap_);
        return bits;
    }

private:
    int cx_, cy_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

}  // namespace

// The middle tiles and the bottom strip are painted as one tile doubled; the
// picture must be the one the tiles give drawn one by one from the skin.
TEST(cOrvanePaint, DoubledTilesGiveThePixelsOfTheTilesOneByOne) {
    SkinnedWindow w(400, 300, WS_OVERLAPPEDWINDOW, L" TarvoloV1.2", true, 96);
    w.Activate(true);
    const CaptionSkin layout{19, 20, 90, 140, 240, 400, kH, kB};
    HDC skin = CreateCompatibleDC(nullptr);
    for (const int width : {150, 200, 201, 257, 523, 1601}) {
        SCOPED_TRACE(width);
        const int height = 300;
        Surface painted(width, height), reference(width, height);
        w.painter().NCPaint(painted.dc(), 0, 0, width, height);
        BitBlt(reference.dc(), 0, 0, width, height, painted.dc(), 0, 0, SRCCOPY);

        // Rows above the title, where nothing is drawn over the tiles.
        const HGDIOBJ old = SelectObject(skin, w.captionSkin());
        for (const CaptionLayout::Span& t :
             CaptionLayout::MiddleTiles(0, CaptionLayout::PlaceRightPiece(layout, 0, width).x)) {
            BitBlt(reference.dc(), t.x, 0, t.width, kB + 1, skin, 91, 0, SRCCOPY);
        }
        SelectObject(skin, w.borderSkin());
        const int y = height - kB;
        for (const int x : CaptionLayout::BottomTiles(0, width, kB)) {
            BitBlt(reference.dc(), x, y, kB, kB, skin, 3 * kB, 0, SRCCOPY);
        }
        BitBlt(reference.dc(), 0, y, kB, kB, skin, 2 * kB, 0, SRCCOPY);
        BitBlt(reference.dc(), width - kB, y, kB, kB, skin, 6 * kB, 0, SRCCOPY);
        SelectObject(skin, old);

        const std::vector<DWORD> got = painted.Bits(), want = reference.Bits();
        const auto diff = std::mismatch(got.begin(), got.end(), want.begin());
        if (diff.first != got.end()) {
            const auto at = diff.first - got.begin();
            ADD_FAILURE() << "first differing pixel at " << at % width << "," << at / width;
        }
    }
    DeleteDC(skin);
}

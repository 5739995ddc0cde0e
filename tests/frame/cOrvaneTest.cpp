// The caption painter's properties, helpers, margins, hit testing and the
// caption buttons' clicks, on real windows.
#include "tests/frame/cOrvaneTestFixture.h"

#include <algorithm>
#include <string>
#include <tuple>

using namespace captiontest;
using CaptionLayout::kClose;
using CaptionLayout::kMaximize;
using CaptionLayout::kMinimize;

namespace {

auto Tie(const RECT& r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); }

}  // namespace

TEST(cOrvane, DefaultsAndSharedFonts) {
    const Ref<cOrvane> p = MakeRef<cOrvane>();
    EXPECT_EQ(p->ActiveCaptionColor(), 0xCCCCCCu);
    EXPECT_EQ(p->InActiveCaptionColor(), 0x999999u);
    EXPECT_EQ(p->ActiveMenuColor(), 0u);
    EXPECT_EQ(p->ActiveMenuColorOver(), 0u);
    EXPECT_EQ(p->InActiveMenuColor(), 0x808080u);
    EXPECT_EQ(p->MenuBackgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(p->CaptionFont()->Name(), L"MS Sans Serif");
    EXPECT_EQ(p->MenuFont()->Name(), L"MS Sans Serif");
    EXPECT_NE(p->CaptionFont().get(), p->MenuFont().get());
    EXPECT_EQ(p->hWnd(), nullptr);

    // The property hands out the painter's own object, and set stores the reference.
    p->CaptionFont()->Size(14);
    EXPECT_EQ(p->CaptionFont()->Size(), 14);
    const Ref<StdFont> mine = MakeRef<StdFont>(L"宋体", 9);
    p->MenuFont(mine);
    mine->Bold(true);
    EXPECT_TRUE(p->MenuFont()->Bold());
    EXPECT_EQ(p->MenuFont().get(), mine.get());
}

TEST(cOrvane, FontToLogFontFollowsTheFontObject) {
    const struct {
        double size;
        int rounded;  // halves to even
    } sizes[] = {{9, 9}, {8.25, 8}, {8.5, 8}, {9.5, 10}, {10.5, 10}, {11.5, 12}, {12.49, 12}};
    for (const auto& s : sizes) {
        for (const int dpi : {96, 144}) {  // the window's DPI, whatever the screen's
            StdFont font(L"宋体", s.size);
            LOGFONTW lf{};
            cOrvaneTestPeer::FontToLogFont(&font, dpi, lf);
            EXPECT_EQ(lf.lfHeight, -MulDiv(s.rounded, dpi, 72)) << s.size << " at " << dpi;
            EXPECT_STREQ(lf.lfFaceName, L"宋体");  // a double-byte name, whole
            EXPECT_EQ(lf.lfWeight, FW_NORMAL);
            EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
        }
    }

    StdFont styled(L"Arial", 9);
    styled.Bold(true);
    styled.Italic(true);
    styled.Underline(true);
    styled.Strikethrough(true);
    styled.Charset(GB2312_CHARSET);
    LOGFONTW lf{};
    lf.lfQuality = ANTIALIASED_QUALITY;  // fields the font does not name are the caller's
    cOrvaneTestPeer::FontToLogFont(&styled, 96, lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic && lf.lfUnderline && lf.lfStrikeOut);
    EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(lf.lfQuality, ANTIALIASED_QUALITY);

    // Over-long names are cut to what the face-name field holds, never in the
    // middle of a surrogate pair.
    const struct {
        std::wstring name, face;
    } names[] = {
        {std::wstring(31, L'a'), std::wstring(31, L'a')},
        {std::wstring(40, L'b'), std::wstring(31, L'b')},
        {std::wstring(20, L'宋'), std::wstring(20, L'宋')},  // 40 ANSI bytes, 20 characters
        {std::wstring(30, L'c') + L"\U00020000", std::wstring(30, L'c')},
        {std::wstring(29, L'd') + L"\U00020000", std::wstring(29, L'd') + L"\U00020000"},
    };
    for (const auto& n : names) {
        StdFont font(n.name, 9);
        LOGFONTW named{};
        std::fill(std::begin(named.lfFaceName), std::end(named.lfFaceName), L'x');
        cOrvaneTestPeer::FontToLogFont(&font, 96, named);
        EXPECT_EQ(std::wstring(named.lfFaceName), n.face) << n.name.size();
    }
}

TEST(cOrvane, MarginsComeFromTheSkinSizes) {
    SkinnedWindow w(400, 300);
    int top = 1, left = 2, right = 3, bottom = 4;
    w.painter().GetTopMarginHeight(top);
    w.painter().GetLeftMarginWidth(left);
    w.painter().GetRightMarginWidth(right);
    w.painter().GetBottomMarginHeight(bottom);
    EXPECT_EQ(std::make_tuple(top, left, right, bottom), std::make_tuple(48, 10, 10, 10));
    EXPECT_EQ(w.painter().hWnd(), w.hwnd());

    // The engine reserved them: the client area sits inside the frame.
    RECT wr{}, cr{};
    GetWindowRect(w.hwnd(), &wr);
    GetClientRect(w.hwnd(), &cr);
    POINT origin{0, 0};
    ClientToScreen(w.hwnd(), &origin);
    EXPECT_EQ(origin.x - wr.left, 10);
    EXPECT_EQ(origin.y - wr.top, 48);
    EXPECT_EQ(cr.right, (wr.right - wr.left) - 20);
    EXPECT_EQ(cr.bottom, (wr.bottom - wr.top) - 58);

    // An unattached painter leaves the engine's defaults alone.
    const Ref<cOrvane> fresh = MakeRef<cOrvane>();
    int cy = 23;
    fresh->GetTopMarginHeight(cy);
    EXPECT_EQ(cy, 23);
}

// One window whose style changes between paints at the same size: the
// painter keeps the band's background, buttons included, from paint to
// paint, and each style must still get its own buttons.
TEST(cOrvane, ButtonRectanglesFollowTheWindowStyle) {
    const struct {
        DWORD style;
        int close, maximize, minimize;  // distance of the left edge from W; 0 = not shown
    } cases[] = {
        {WS_OVERLAPPEDWINDOW, 25, 45, 65},
        {WS_OVERLAPPEDWINDOW & ~WS_SYSMENU, 0, 25, 45},
        {WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX, 25, 0, 45},
        {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 25, 0, 0},
        {WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 25, 45, 65},  // the maximize button shows restore
        {WS_OVERLAPPEDWINDOW, 25, 45, 65},
    };
    SkinnedWindow w(420, 260, WS_OVERLAPPEDWINDOW);
    const int W = w.Size().cx;
    for (const auto& c : cases) {
        const LONG_PTR kept = GetWindowLongPtrW(w.hwnd(), GWL_STYLE) & (WS_VISIBLE | WS_CLIPSIBLINGS);
        SetWindowLongPtrW(w.hwnd(), GWL_STYLE, static_cast<LONG_PTR>(c.style) | kept);
        ASSERT_EQ(w.Size().cx, W);
        w.Paint();
        const int expected[3] = {c.close, c.maximize, c.minimize};
        for (int i = kClose; i <= kMinimize; ++i) {
            const RECT r = cOrvaneTestPeer::Button(w.painter(), i);
            SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style << " button " << i);
            if (expected[i] == 0) {
                EXPECT_TRUE(IsRectEmpty(&r));
                continue;
            }
            EXPECT_EQ(Tie(r), std::make_tuple(W - expected[i], 5, W - expected[i] + 20, 25));
            // Its image is the normal cell: close, maximize (or restore), minimize by role.
            const int cell = i == kClose ? 0 : i == kMaximize ? ((c.style & WS_MAXIMIZE) ? 1 : 2) : 3;
            for (const POINT p : {POINT{0, 0}, POINT{9, 9}, POINT{18, 19}, POINT{4, 12}}) {
                EXPECT_EQ(w.Pixel(r.left + p.x, 5 + p.y), w.Caption(240 + cell * 19 + p.x, p.y))
                    << p.x << "," << p.y;
            }
        }
    }
}

TEST(cOrvane, HitTestClaimsTheHotSpotAndTheButtons) {
    SkinnedWindow w(400, 300, WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX);
    const int W = w.Size().cx;
    w.Paint();
    const struct {
        int x, y;
        int code;
    } cases[] = {
        {12, 11, HTSYSMENU},      {41, 42, HTSYSMENU},  {27, 25, HTSYSMENU},
        {11, 20, HTCAPTION},      {42, 20, HTCAPTION},  {20, 43, HTCAPTION},  // hot spot is end-exclusive
        {W - 25, 5, HTSYSMENU},   {W - 6, 24, HTSYSMENU},                     // close
        {W - 45, 5, HTSYSMENU},   {W - 26, 24, HTSYSMENU},                    // minimize, in maximize's place
        {W - 46, 15, HTCAPTION},  {W - 5, 15, HTCAPTION}, {W - 15, 25, HTCAPTION},
        {W - 15, 4, HTCAPTION},   {200, 15, HTCAPTION},
    };
    for (const auto& c : cases) {
        int code = HTCAPTION;  // the engine's proposal
        w.painter().HitTest(c.x, c.y, code);
        EXPECT_EQ(code, c.code) << c.x << "," << c.y;
    }
    int client = HTCLIENT;
    w.painter().HitTest(200, 100, client);
    EXPECT_EQ(client, HTCLIENT);
}

TEST(cOrvane, EveryPointOfAMenuBarItemIsTheBarsWhateverTheCaptionHeight) {
    // The engine's caption line lies SM_CYCAPTION below the top border,
    // which differs from system to system; an item's upper rows must not
    // become caption (a press there would drag the window).
    SkinnedWindow w(400, 300);
    w.Paint();
    cMenuBar& bar = cOrvaneTestPeer::Bar(w.painter());
    ASSERT_EQ(bar.ItemCount(), 2);
    RECT window{};
    GetWindowRect(w.hwnd(), &window);
    for (int k = 1; k <= bar.ItemCount(); ++k) {
        RECT item{};
        bar.ItemScreenRect(k, item);
        OffsetRect(&item, -window.left, -window.top);
        const POINT corners[] = {{item.left, item.top},
                                 {item.right - 1, item.top},
                                 {(item.left + item.right) / 2, (item.top + item.bottom) / 2},
                                 {item.left, item.bottom - 1}};
        for (const POINT& p : corners) {
            for (const int proposal : {HTCAPTION, HTCLIENT}) {
                int code = proposal;
                w.painter().HitTest(p.x, p.y, code);
                EXPECT_EQ(code, HTMENU) << "item " << k << " at " << p.x << "," << p.y;
            }
        }
        // Beside the items the caption stays the caption.
        int code = HTCAPTION;
        w.painter().HitTest(item.left, item.top - 3, code);
        EXPECT_EQ(code, HTCAPTION) << "above item " << k;
    }
    int right = HTCAPTION;
    w.painter().HitTest(300, 20, right);
    EXPECT_EQ(right, HTCAPTION);
}

TEST(cOrvane, ReleaseOverThePressedButtonPostsItsCommand) {
    SkinnedWindow w(400, 300);
    const int W = w.Size().cx;
    const POINT close{W - 15, 15}, maximize{W - 35, 15}, minimize{W - 55, 15}, caption{200, 15},
        hotSpot{20, 20};
    const struct {
        POINT down, up;
        WPARAM command;
        bool handled;
    } cases[] = {
        {close, close, SC_CLOSE, true},
        {maximize, maximize, SC_MAXIMIZE, true},
        {minimize, minimize, SC_MINIMIZE, true},
        {close, caption, 0, true},  // pressed, then released elsewhere
        {close, maximize, 0, true},  // released over another button
        {caption, close, 0, false},  // no press started on the button
        {hotSpot, hotSpot, 0, false},  // left to the engine: the system menu
    };
    w.Paint();
    TakeSysCommand(w.hwnd());
    HDC dc = GetWindowDC(w.hwnd());
    for (const auto& c : cases) {
        const SIZE s = w.Size();
        bool handled = false;
        w.painter().NCMouseDown(c.down.x, c.down.y, handled, dc, 0, 0, s.cx, s.cy);
        w.painter().NCMouseUp(c.up.x, c.up.y, dc, 0, 0, s.cx, s.cy);
        EXPECT_EQ(handled, c.handled) << c.down.x << " -> " << c.up.x;
        // Posted, not sent: nothing has happened to the window yet.
        EXPECT_EQ(TakeSysCommand(w.hwnd()), c.command) << c.down.x << " -> " << c.up.x;
        EXPECT_TRUE(IsWindow(w.hwnd()));
    }
    ReleaseDC(w.hwnd(), dc);

    // The release cleared every press: a later release alone posts nothing.
    dc = GetWindowDC(w.hwnd());
    bool handled = false;
    w.painter().NCMouseDown(minimize.x, minimize.y, handled, dc, 0, 0, W, 300);
    w.painter().NCMouseUp(caption.x, caption.y, dc, 0, 0, W, 300);
    w.painter().NCMouseUp(minimize.x, minimize.y, dc, 0, 0, W, 300);
    ReleaseDC(w.hwnd(), dc);
    EXPECT_EQ(TakeSysCommand(w.hwnd()), 0u);
}

TEST(cOrvane, PressedButtonShowsItsPressedCellUntilReleasedOrLeft) {
    SkinnedWindow w(400, 300);
    const int W = w.Size().cx;
    w.Paint();
    const auto closeShows = [&](int row) {
        for (const POINT p : {POINT{9, 9}, POINT{3, 3}, POINT{12, 15}}) {
            if (w.Pixel(W - 25 + p.x, 5 + p.y) != w.Caption(240 + p.x, row + p.y)) return false;
        }
        return true;
    };
    ASSERT_TRUE(closeShows(0));
    HDC dc = GetWindowDC(w.hwnd());
    bool handled = false;
    w.painter().NCMouseDown(W - 15, 15, handled, dc, 0, 0, W, 300);
    EXPECT_TRUE(closeShows(20));
    ReleaseDC(w.hwnd(), dc);

    // Moving off shows it unpressed; moving back does not press it again.
    int code = HTCAPTION;
    w.painter().HitTest(200, 15, code);
    EXPECT_TRUE(closeShows(0));
    code = HTCAPTION;
    w.painter().HitTest(W - 15, 15, code);
    EXPECT_TRUE(closeShows(0));

    dc = GetWindowDC(w.hwnd());
    w.painter().NCMouseUp(200, 15, dc, 0, 0, W, 300);
    ReleaseDC(w.hwnd(), dc);
    EXPECT_TRUE(closeShows(0));
    EXPECT_EQ(TakeSysCommand(w.hwnd()), 0u);
}

TEST(cOrvane, MaximizedWindowShowsRestoreAndPostsRestore) {
    SkinnedWindow w(400, 300);
    ShowWindow(w.hwnd(), SW_MAXIMIZE);
    testsupport::PumpMessages();
    ASSERT_TRUE(IsZoomed(w.hwnd()));
    const SIZE s = w.Size();
    w.Paint();
    const RECT r = cOrvaneTestPeer::Button(w.painter(), kMaximize);
    EXPECT_EQ(Tie(r), std::make_tuple(s.cx - 45, 5, s.cx - 25, 25));
    for (const POINT p : {POINT{4, 4}, POINT{10, 8}, POINT{8, 11}}) {
        EXPECT_EQ(w.Pixel(r.left + p.x, 5 + p.y), w.Caption(240 + 19 + p.x, p.y));  // restore cell
    }
    TakeSysCommand(w.hwnd());
    HDC dc = GetWindowDC(w.hwnd());
    bool handled = false;
    w.painter().NCMouseDown(s.cx - 35, 15, handled, dc, 0, 0, s.cx, s.cy);
    EXPECT_EQ(w.Pixel(r.left + 10, 5 + 8), w.Caption(240 + 19 + 10, 20 + 8));  // pressed restore
    w.painter().NCMouseUp(s.cx - 35, 15, dc, 0, 0, s.cx, s.cy);
    ReleaseDC(w.hwnd(), dc);
    EXPECT_EQ(TakeSysCommand(w.hwnd()), static_cast<WPARAM>(SC_RESTORE));
}

TEST(cOrvane, DetachGivesTheWindowItsMenuBack) {
    for (const bool visible : {true, false}) {
        SkinnedWindow w(400, 300, WS_OVERLAPPEDWINDOW, L" TarvoloV1.2", visible);
        if (visible) w.Paint();
        SetMenu(w.hwnd(), nullptr);  // what the engine does with the menu
        w.painter().Detach();
        EXPECT_EQ(GetMenu(w.hwnd()), w.menu()) << visible;
        w.painter().Detach();  // again: harmless
        EXPECT_EQ(GetMenu(w.hwnd()), w.menu()) << visible;
        // Attach may follow.
        w.painter().Attach(w.hwnd(), w.captionSkin(), w.borderSkin(), 19, 20, 90, 140, 240, 400);
        int top = 0;
        w.painter().GetTopMarginHeight(top);
        EXPECT_EQ(top, 48);
    }
}

TEST(cOrvane, ReleasedWithoutDetachStopsTheEngineCallingBack) {
    SkinnedWindow w(400, 300);
    w.painterRef().reset();
    // The engine would answer these with calls into the painter.
    SendMessageW(w.hwnd(), WM_NCACTIVATE, FALSE, 0);
    SendMessageW(w.hwnd(), WM_NCPAINT, 1, 0);
    SetWindowPos(w.hwnd(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    testsupport::PumpMessages();
    EXPECT_EQ(GetPropW(w.hwnd(), L"teskCNCImplementation"), nullptr);
    EXPECT_TRUE(IsWindow(w.hwnd()));
}

TEST(cOrvane, MenuTrafficReachesTheMenuBar) {
    SkinnedWindow w(400, 300);
    w.Paint();
    HMENU file = GetSubMenu(w.menu(), 0);
    const auto ownerDrawn = [file] {
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(file, 0, TRUE, &mii);
        return (mii.fType & MFT_OWNERDRAW) != 0;
    };
    ASSERT_FALSE(ownerDrawn());
    w.painter().InitMenuPopup(reinterpret_cast<WPARAM>(file), 0);
    EXPECT_TRUE(ownerDrawn());
    w.painter().ExitMenuLoop();
    EXPECT_FALSE(ownerDrawn());

    // Alt + a top-level mnemonic opens its popup (closed here by a timer)
    // and answers true as -1; any other letter is left to the window.
    EXPECT_EQ(w.painter().AltKeyAccelerator('Q'), 0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    EXPECT_EQ(w.painter().AltKeyAccelerator('F'), -1);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(ownerDrawn());

    const Ref<cOrvane> fresh = MakeRef<cOrvane>();  // no menu bar yet
    EXPECT_EQ(fresh->AltKeyAccelerator('F'), 0);
    fresh->InitMenuPopup(reinterpret_cast<WPARAM>(file), 0);
    fresh->ExitMenuLoop();
}

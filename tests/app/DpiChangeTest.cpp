// The main window moved to a monitor of another DPI: WM_DPICHANGED with 144
// and a suggested rectangle to a window started at 96, and back.
//
// Wine never sends WM_DPICHANGED (it has one DPI for all its monitors) and
// GetDpiForWindow keeps answering the prefix's LogPixels, so the tests send
// the message themselves. What they show is what the window does with it:
// everything follows the message's DPI, and nothing reads the system's back
// afterwards (such a read would show as a 96-DPI measure at 144).
// With TARVOLO_SHOTS set to a folder, the looks are saved there.
#include <windows.h>
#include <commctrl.h>

#include <tuple>

#include "frame/DpiScale.h"
#include "plumbing/DpiAware.h"
#include "tests/app/AppFixture.h"
#include "tests/frame/cOrvaneTestFixture.h"
#include "tests/support/WindowCapture.h"

using testsupport::CaptureWindow;
using testsupport::FirstDifference;
using testsupport::ShotIfAsked;

namespace {

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// A control's rectangle in its parent's client area.
RECT PlaceOf(HWND control) {
    RECT r = WindowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT TwipsAt(int dpi, int x, int y, int cx, int cy) {
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    return RECT{px(x), px(y), px(x) + px(cx), px(y) + px(cy)};
}

LONG FontHeight(HWND control) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return lf.lfHeight;
}

auto Tie(const RECT& r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void ChangeDpi(HWND hwnd, int dpi, RECT suggested) {
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    testsupport::PumpMessages();
}

// r's size scaled to dpi from 96, its top-left corner kept.
RECT Scaled(const RECT& r, int dpi) {
    return RECT{r.left, r.top, r.left + MulDiv(Width(r), dpi, 96), r.top + MulDiv(Height(r), dpi, 96)};
}

// The main window's controls and their places in twips, as the layout has them.
constexpr struct {
    int id, x, y, cx, cy;
} kPlaces[] = {
    {frmMain::IdFrame1, 120, 120, 7935, 3855},  {frmMain::IdLabel5, 2400, 300, 3360, 210},
    {frmMain::IdList1, 240, 600, 6975, 3015},   {frmMain::IdCmdUp, 7360, 600, 375, 1335},
    {frmMain::IdCmdDown, 7360, 2280, 375, 1335}, {frmMain::IdFrame2, 120, 4080, 7935, 735},
    {frmMain::IdCmdAddP, 240, 240, 1455, 375},  {frmMain::IdCmdDel, 6120, 240, 1455, 375},
    {frmMain::IdFrame3, 120, 4800, 7935, 615},  {frmMain::IdLabel2, 360, 240, 630, 210},
    {frmMain::IdXLinkLabel1, 1080, 240, 1695, 255}, {frmMain::IdxLabel2, 3600, 240, 4935, 255},
};
constexpr int kColumnTwips[] = {330, 1000, 1500, 4891, 4600, 1500, 4000};

// The frame's measures: margins (client area inside the window), the close
// button and the first menu bar item (window-relative).
struct Frame {
    int left, top, right, bottom;
    RECT close, barItem;
};

Frame FrameOf(frmMain& main) {
    const RECT window = WindowRect(main.hWnd());
    RECT client{};
    GetClientRect(main.hWnd(), &client);
    MapWindowPoints(main.hWnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    Frame f{client.left - window.left, client.top - window.top, window.right - client.right,
            window.bottom - client.bottom, cOrvaneTestPeer::Button(*main.Painter(), CaptionLayout::kClose), {}};
    cOrvaneTestPeer::Bar(*main.Painter()).ItemScreenRect(1, f.barItem);
    OffsetRect(&f.barItem, -window.left, -window.top);
    return f;
}

// Controls, columns and fonts where the layout puts them at dpi.
void ExpectClientLaidOutFor(frmMain& main, int dpi) {
    SCOPED_TRACE(dpi);
    for (const auto& p : kPlaces) {
        EXPECT_EQ(Tie(PlaceOf(main.Control(p.id))), Tie(TwipsAt(dpi, p.x, p.y, p.cx, p.cy))) << "control " << p.id;
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(ListView_GetColumnWidth(main.List1.hWnd(), i), MulDiv(kColumnTwips[i], dpi, 1440)) << i;
    }
    EXPECT_EQ(FontHeight(main.Control(frmMain::IdCmdAddP)), -MulDiv(9, dpi, 72));
    EXPECT_EQ(FontHeight(main.Control(frmMain::IdLabel5)), -MulDiv(10, dpi, 72));  // 10.5 pt, halves to even
    EXPECT_EQ(FontHeight(main.List1.hWnd()), -MulDiv(9, dpi, 72));
    EXPECT_EQ(main.XLinkLabel1->Dpi(), dpi);
    EXPECT_EQ(main.xLabel2->Dpi(), dpi);
}

class DpiChange : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        AddRow({L"应用程序", L"np", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本"});
        AddRow({L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录"});
        main_->List1.Select(0);
        // The pointer away from the window: no hover look in the captures.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        testsupport::PumpMessages();
        ASSERT_TRUE(main_->Painter()) << "the skinned frame is what these tests measure";
        ASSERT_EQ(main_->Dpi(), 96) << "started at 96 (the test prefix's LogPixels)";
    }
};

}  // namespace

TEST_F(DpiChange, TheMainWindowFollowsTo144AndBackAt96IsAsAtAFreshStart) {
    const HWND hwnd = main_->hWnd();
    const RECT start = WindowRect(hwnd);
    const Frame at96 = FrameOf(*main_);
    const testsupport::WindowPixels fresh = CaptureWindow(hwnd);
    ShotIfAsked(fresh, L"main-96");
    ExpectClientLaidOutFor(*main_, 96);

    for (const int round : {1, 2}) {  // the second time from the kept 144 skin
        SCOPED_TRACE(round);
        const RECT suggested = Scaled(start, 144);
        ChangeDpi(hwnd, 144, suggested);
        EXPECT_EQ(main_->Dpi(), 144);
        EXPECT_EQ(Tie(WindowRect(hwnd)), Tie(suggested)) << "the window ends at the suggested rectangle";
        const testsupport::WindowPixels look144 = CaptureWindow(hwnd);
        if (round == 1) ShotIfAsked(look144, L"main-144");
        // A setting change and the paints after it read no DPI of the system's.
        SendMessageW(hwnd, WM_SETTINGCHANGE, 0, 0);
        CaptureWindow(hwnd);
        const Frame at144 = FrameOf(*main_);
        const struct {
            const char* what;
            int got, before;
        } frame[] = {
            {"left margin", at144.left, at96.left},
            {"caption band", at144.top, at96.top},
            {"right margin", at144.right, at96.right},
            {"bottom margin", at144.bottom, at96.bottom},
            {"close button width", Width(at144.close), Width(at96.close)},
            {"close button height", Height(at144.close), Height(at96.close)},
            {"close button from the right", Width(suggested) - at144.close.right, Width(start) - at96.close.right},
            {"menu bar item height", Height(at144.barItem), Height(at96.barItem)},
            {"menu bar item top", at144.barItem.top, at96.barItem.top},
        };
        for (const auto& f : frame) EXPECT_GE(f.got, 1.4 * f.before) << f.what;
        ExpectClientLaidOutFor(*main_, 144);

        ChangeDpi(hwnd, 96, start);
        const Frame back = FrameOf(*main_);
        EXPECT_EQ(Tie(WindowRect(hwnd)), Tie(start));
        EXPECT_EQ(std::make_tuple(back.left, back.top, back.right, back.bottom, Tie(back.close), Tie(back.barItem)),
                  std::make_tuple(at96.left, at96.top, at96.right, at96.bottom, Tie(at96.close), Tie(at96.barItem)));
        ExpectClientLaidOutFor(*main_, 96);
        const testsupport::WindowPixels look = CaptureWindow(hwnd);
        if (round == 1) ShotIfAsked(look, L"main-96-again");
        EXPECT_EQ(FirstDifference(look, fresh), "") << "first pixel unlike the fresh start's";
    }
    // The skin as given and its 144 redrawing, kept: no DPI is drawn twice.
    EXPECT_EQ(cOrvaneTestPeer::SkinCount(*main_->Painter()), 2u);

    // Asked first (WM_GETDPISCALEDSIZE), the window names the size that keeps
    // its layout and the skin's margins exact, so the way back is exact too.
    for (const int dpi : {96, 144}) {
        SIZE size{};
        ASSERT_TRUE(SendMessageW(hwnd, kWmGetDpiScaledSize, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&size)));
        EXPECT_EQ(size.cx, MulDiv(8415, dpi, 1440) + 2 * ScaleToDpi(10, dpi)) << dpi;
        EXPECT_EQ(size.cy, MulDiv(5775, dpi, 1440) + ScaleToDpi(48, dpi) + ScaleToDpi(10, dpi)) << dpi;
    }
}

TEST_F(DpiChange, AnEntryDialogOpensAtTheMainWindowsDpiAndFollowsItsOwnChange) {
    const auto expectLaidOutFor = [](EntryDialog& d, int dpi) {
        SCOPED_TRACE(dpi);
        EXPECT_EQ(d.Dpi(), dpi);
        RECT client{};
        GetClientRect(d.hWnd(), &client);
        EXPECT_EQ(Tie(client), Tie(TwipsAt(dpi, 0, 0, 6870, 3255)));
        EXPECT_EQ(Tie(PlaceOf(d.Control(EntryDialog::IdTxtPath))), Tie(TwipsAt(dpi, 1320, 240, 4335, 270)));
        EXPECT_EQ(Tie(PlaceOf(d.Control(EntryDialog::IdCmdOK))), Tie(TwipsAt(dpi, 1200, 2610, 1455, 375)));
        EXPECT_EQ(FontHeight(d.Control(EntryDialog::IdTxtName)), -MulDiv(9, dpi, 72));
    };
    main_->FrmAddP().Show();
    expectLaidOutFor(main_->FrmAddP(), 96);
    main_->FrmAddP().Unload();

    // The main window on a 144 monitor: a dialog opened now opens over it, at 144.
    ChangeDpi(main_->hWnd(), 144, Scaled(WindowRect(main_->hWnd()), 144));
    EntryDialog& edit = main_->FrmEditP();
    edit.Show();
    ASSERT_TRUE(edit.IsLoaded());
    expectLaidOutFor(edit, 144);
    const RECT mainRect = WindowRect(main_->hWnd()), dialog = WindowRect(edit.hWnd());
    RECT overlap{};
    EXPECT_TRUE(IntersectRect(&overlap, &mainRect, &dialog)) << "opens over the main window";
    ShotIfAsked(CaptureWindow(edit.hWnd()), L"edit-dialog-144");

    // Dragged to a 96 monitor itself, it follows, at the rectangle suggested
    // for the size it asks for.
    SIZE size{};
    ASSERT_TRUE(SendMessageW(edit.hWnd(), kWmGetDpiScaledSize, 96, reinterpret_cast<LPARAM>(&size)));
    const RECT suggested{dialog.left, dialog.top, dialog.left + size.cx, dialog.top + size.cy};
    ChangeDpi(edit.hWnd(), 96, suggested);
    expectLaidOutFor(edit, 96);
    EXPECT_EQ(Tie(WindowRect(edit.hWnd())), Tie(suggested));
    edit.Unload();
}

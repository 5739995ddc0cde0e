// The main window moved to a monitor of another DPI: WM_DPICHANGED with 144
// and a suggested rectangle to a window started at 96, and back.
//
// Wine never sends WM_DPICHANGED (it has one DPI for all its monitors) and
// GetDpiForWindow keeps answering the prefix's LogPixels, so the tests send
// the message themselves. What they show is what the window does with it:
// everything follows the message's DPI, and nothing reads the system's back
// afterwards (such a read would show as a 96-DPI measure at 144).
//
// With TARVOLO_SHOTS set to a folder, the window is saved there as seen at
// 96, at 144 and back at 96, and the entry dialog at 144 (BMP files).
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
using testsupport::PumpMessages;

namespace {

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// Rectangle of a control in its parent's client area.
RECT PlaceOf(HWND control) {
    RECT r = WindowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG FontHeight(HWND control) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return lf.lfHeight;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// The pointer away from the window, so no hover look gets into a capture.
void PointerAway() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    PumpMessages();
}

void ChangeDpi(HWND hwnd, int dpi, RECT suggested) {
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
}

// r with its size scaled from one DPI to another, its top-left corner kept.
RECT Scaled(const RECT& r, int to, int from = 96) {
    return RECT{r.left, r.top, r.left + MulDiv(r.right - r.left, to, from), r.top + MulDiv(r.bottom - r.top, to, from)};
}

// What the main window looks like, in numbers.
struct MainMeasures {
    RECT window{};
    int left = 0, top = 0, right = 0, bottom = 0;  // client area inside the window
    RECT close{}, minimize{};                       // caption buttons, window-relative
    RECT barItem{};                                 // first menu bar item, window-relative
    std::vector<RECT> controls;                     // in their containers
    std::vector<int> columns;
    LONG uiFont = 0, labelFont = 0;
    int linkDpi[2] = {};

    static MainMeasures Of(frmMain& main) {
        MainMeasures m;
        const HWND hwnd = main.hWnd();
        m.window = WindowRect(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        m.left = client.left - m.window.left;
        m.top = client.top - m.window.top;
        m.right = m.window.right - client.right;
        m.bottom = m.window.bottom - client.bottom;
        m.close = cOrvaneTestPeer::Button(*main.Painter(), CaptionLayout::kClose);
        m.minimize = cOrvaneTestPeer::Button(*main.Painter(), CaptionLayout::kMinimize);
        cOrvaneTestPeer::Bar(*main.Painter()).ItemScreenRect(1, m.barItem);
        OffsetRect(&m.barItem, -m.window.left, -m.window.top);
        for (const int id : kControls) m.controls.push_back(PlaceOf(main.Control(id)));
        for (int i = 0; i < 7; ++i) m.columns.push_back(ListView_GetColumnWidth(main.List1.hWnd(), i));
        m.uiFont = FontHeight(main.Control(frmMain::IdCmdAddP));
        m.labelFont = FontHeight(main.Control(frmMain::IdLabel5));
        m.linkDpi[0] = main.XLinkLabel1->Dpi();
        m.linkDpi[1] = main.xLabel2->Dpi();
        return m;
    }

    static constexpr int kControls[] = {
        frmMain::IdFrame1,  frmMain::IdLabel5,  frmMain::IdList1,   frmMain::IdCmdUp,       frmMain::IdCmdDown,
        frmMain::IdFrame2,  frmMain::IdCmdAddP, frmMain::IdCmdAddD, frmMain::IdCmdEdit,     frmMain::IdCmdDel,
        frmMain::IdFrame3,  frmMain::IdLabel2,  frmMain::IdXLinkLabel1, frmMain::IdxLabel2,
    };
    // Their places in twips, as the layout has them.
    static constexpr int kTwips[][4] = {
        {120, 120, 7935, 3855}, {2400, 300, 3360, 210}, {240, 600, 6975, 3015}, {7360, 600, 375, 1335},
        {7360, 2280, 375, 1335}, {120, 4080, 7935, 735}, {240, 240, 1455, 375},  {2280, 240, 1455, 375},
        {4200, 240, 1455, 375},  {6120, 240, 1455, 375}, {120, 4800, 7935, 615}, {360, 240, 630, 210},
        {1080, 240, 1695, 255},  {3600, 240, 4935, 255},
    };
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

class DpiChange : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        AddRow({L"应用程序", L"np", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本"});
        AddRow({L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录"});
        main_->List1.Select(0);
        PointerAway();
        ASSERT_TRUE(main_->Painter()) << "the skinned frame is what these tests measure";
        ASSERT_EQ(main_->Dpi(), 96) << "started at 96 (the test prefix's LogPixels)";
    }
};

}  // namespace

TEST_F(DpiChange, TheMainWindowFollowsTheMessagesDpiAndRectangle) {
    const HWND hwnd = main_->hWnd();
    const MainMeasures at96 = MainMeasures::Of(*main_);
    const RECT suggested = Scaled(at96.window, 144);
    ChangeDpi(hwnd, 144, suggested);

    EXPECT_EQ(main_->Dpi(), 144);
    EXPECT_EQ(main_->Painter()->Dpi(), 144);
    const MainMeasures at144 = MainMeasures::Of(*main_);
    EXPECT_TRUE(SameRect(at144.window, suggested)) << "the window ends at the suggested rectangle";

    const struct {
        const char* what;
        int got, before;
    } frame[] = {
        {"left margin", at144.left, at96.left},
        {"caption band (top margin)", at144.top, at96.top},
        {"right margin", at144.right, at96.right},
        {"bottom margin", at144.bottom, at96.bottom},
        {"close button width", Width(at144.close), Width(at96.close)},
        {"close button height", Height(at144.close), Height(at96.close)},
        {"minimize button width", Width(at144.minimize), Width(at96.minimize)},
        {"close button from the right", Width(at144.window) - at144.close.right, Width(at96.window) - at96.close.right},
        {"menu bar item height", Height(at144.barItem), Height(at96.barItem)},
        {"menu bar item top", at144.barItem.top, at96.barItem.top},
    };
    for (const auto& f : frame) EXPECT_GE(f.got, 1.4 * f.before) << f.what;

    // Every control where the layout puts it at 144, with fonts made for 144.
    for (size_t i = 0; i < at144.controls.size(); ++i) {
        const int* t = MainMeasures::kTwips[i];
        const RECT want{MulDiv(t[0], 144, 1440), MulDiv(t[1], 144, 1440), MulDiv(t[0], 144, 1440) + MulDiv(t[2], 144, 1440),
                        MulDiv(t[1], 144, 1440) + MulDiv(t[3], 144, 1440)};
        EXPECT_TRUE(SameRect(at144.controls[i], want)) << "control " << MainMeasures::kControls[i];
    }
    const int twips[] = {0, 1000, 1500, 4891, 4600, 1500, 4000};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(at144.columns[static_cast<size_t>(i)], MulDiv(twips[i], 144, 1440)) << i;
    EXPECT_EQ(at144.uiFont, -MulDiv(9, 144, 72));
    EXPECT_EQ(at144.labelFont, -MulDiv(10, 144, 72));  // 10.5 pt, halves to even
    EXPECT_EQ(at144.linkDpi[0], 144);
    EXPECT_EQ(at144.linkDpi[1], 144);

    // The system's DPI is not read back by what comes later: a setting
    // change, a repaint, the popup's measures.
    SendMessageW(hwnd, WM_SETTINGCHANGE, 0, 0);
    CaptureWindow(hwnd);
    EXPECT_EQ(main_->Dpi(), 144);
    const MainMeasures again = MainMeasures::Of(*main_);
    EXPECT_EQ(again.top, at144.top);
    EXPECT_TRUE(SameRect(again.close, at144.close));
}

TEST_F(DpiChange, BackAtTheFirstDpiTheWindowIsAsAtAFreshStart) {
    const HWND hwnd = main_->hWnd();
    const MainMeasures fresh = MainMeasures::Of(*main_);
    const testsupport::WindowPixels freshLook = CaptureWindow(hwnd);
    testsupport::ShotIfAsked(freshLook, L"main-96");

    for (const int round : {1, 2}) {  // the second time from the kept 144 skin
        SCOPED_TRACE(round);
        ChangeDpi(hwnd, 144, Scaled(fresh.window, 144));
        const testsupport::WindowPixels at144 = CaptureWindow(hwnd);
        if (round == 1) testsupport::ShotIfAsked(at144, L"main-144");
        ChangeDpi(hwnd, 96, fresh.window);
        const MainMeasures back = MainMeasures::Of(*main_);
        EXPECT_TRUE(SameRect(back.window, fresh.window));
        EXPECT_EQ(std::make_tuple(back.left, back.top, back.right, back.bottom),
                  std::make_tuple(fresh.left, fresh.top, fresh.right, fresh.bottom));
        EXPECT_TRUE(SameRect(back.close, fresh.close) && SameRect(back.minimize, fresh.minimize));
        EXPECT_TRUE(SameRect(back.barItem, fresh.barItem));
        for (size_t i = 0; i < fresh.controls.size(); ++i) {
            EXPECT_TRUE(SameRect(back.controls[i], fresh.controls[i])) << MainMeasures::kControls[i];
        }
        EXPECT_EQ(back.columns, fresh.columns);
        EXPECT_EQ(std::make_tuple(back.uiFont, back.labelFont, back.linkDpi[0], back.linkDpi[1]),
                  std::make_tuple(fresh.uiFont, fresh.labelFont, fresh.linkDpi[0], fresh.linkDpi[1]));
        const testsupport::WindowPixels look = CaptureWindow(hwnd);
        if (round == 1) testsupport::ShotIfAsked(look, L"main-96-again");
        EXPECT_EQ(FirstDifference(look, freshLook), "") << "first pixel that differs from the fresh start";
    }
}

TEST_F(DpiChange, TheWindowAsksForTheSizeItsLayoutNeedsAtTheNewDpi) {
    // Windows asks before it suggests a rectangle; the answer keeps the
    // client's layout and the skin's margins exact, so the way back comes
    // to the size the window started with.
    const HWND hwnd = main_->hWnd();
    const RECT start = WindowRect(hwnd);
    for (const int dpi : {96, 120, 144, 192}) {
        SIZE size{};
        ASSERT_TRUE(SendMessageW(hwnd, kWmGetDpiScaledSize, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&size)));
        const int skinTop = ScaleToDpi(48, dpi), skinSide = ScaleToDpi(10, dpi);
        EXPECT_EQ(size.cx, MulDiv(8415, dpi, 1440) + 2 * skinSide) << dpi;
        EXPECT_EQ(size.cy, MulDiv(5775, dpi, 1440) + skinTop + skinSide) << dpi;
        if (dpi == 96) {
            EXPECT_EQ(size.cx, Width(start));
            EXPECT_EQ(size.cy, Height(start));
        }
    }
}

TEST_F(DpiChange, AnEntryDialogOpensAtTheMainWindowsDpiAndFollowsItsOwnChange) {
    const auto dialogMeasures = [](EntryDialog& d) {
        RECT client{};
        GetClientRect(d.hWnd(), &client);
        return std::make_tuple(client.right, client.bottom, PlaceOf(d.Control(EntryDialog::IdTxtPath)),
                               PlaceOf(d.Control(EntryDialog::IdCmdOK)), FontHeight(d.Control(EntryDialog::IdTxtName)));
    };
    const auto expected = [](int dpi) {
        const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
        // TxtPath at (1320, 240) in the frame, 4335 x 270; OK at (1200, 2610), 1455 x 375.
        return std::make_tuple(px(6870), px(3255), RECT{px(1320), px(240), px(1320) + px(4335), px(240) + px(270)},
                               RECT{px(1200), px(2610), px(1200) + px(1455), px(2610) + px(375)}, LONG{-MulDiv(9, dpi, 72)});
    };
    const auto same = [](const auto& a, const auto& b) {
        return std::get<0>(a) == std::get<0>(b) && std::get<1>(a) == std::get<1>(b) &&
               SameRect(std::get<2>(a), std::get<2>(b)) && SameRect(std::get<3>(a), std::get<3>(b)) &&
               std::get<4>(a) == std::get<4>(b);
    };

    // At the start both are at 96.
    main_->FrmAddP().Show();
    EXPECT_EQ(main_->FrmAddP().Dpi(), 96);
    EXPECT_TRUE(same(dialogMeasures(main_->FrmAddP()), expected(96)));
    main_->FrmAddP().Unload();
    PumpMessages();

    // The main window on a 144 monitor: a dialog opened now opens over it, at 144.
    const RECT at96 = WindowRect(main_->hWnd());
    ChangeDpi(main_->hWnd(), 144, Scaled(at96, 144));
    EntryDialog& edit = main_->FrmEditP();
    edit.Show();
    ASSERT_TRUE(edit.IsLoaded());
    EXPECT_EQ(edit.Dpi(), 144);
    EXPECT_TRUE(same(dialogMeasures(edit), expected(144)));
    const RECT mainRect = WindowRect(main_->hWnd()), dialog = WindowRect(edit.hWnd());
    RECT overlap{};
    EXPECT_TRUE(IntersectRect(&overlap, &mainRect, &dialog)) << "opens over the main window";
    testsupport::ShotIfAsked(CaptureWindow(edit.hWnd()), L"edit-dialog-144");

    // Dragged to a 96 monitor itself: it follows, at the rectangle suggested
    // for the size it asked for.
    SIZE size{};
    ASSERT_TRUE(SendMessageW(edit.hWnd(), kWmGetDpiScaledSize, 96, reinterpret_cast<LPARAM>(&size)));
    const RECT suggested{dialog.left, dialog.top, dialog.left + size.cx, dialog.top + size.cy};
    SendMessageW(edit.hWnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
    PumpMessages();
    EXPECT_EQ(edit.Dpi(), 96);
    EXPECT_TRUE(same(dialogMeasures(edit), expected(96)));
    EXPECT_TRUE(SameRect(WindowRect(edit.hWnd()), suggested));
    edit.Unload();
}

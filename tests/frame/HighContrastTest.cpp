// While high contrast is on, the skinned frame gives way to the engine's own
// plain frame in the system's colours, its menu bar in a row of its own; off
// again, the skin is back as it was.
//
// Wine answers SPI_GETHIGHCONTRAST but refuses SPI_SETHIGHCONTRAST
// (ERROR_INVALID_SPI_VALUE), so the setting cannot be turned on here: the
// tests answer the query themselves, and the switch comes with the real
// messages, WM_SETTINGCHANGE and WM_THEMECHANGED, sent as the system sends
// them. With TARVOLO_SHOTS set to a folder, the plain frame is saved there.
#include "tests/frame/cOrvaneTestFixture.h"

#include "frame/HighContrast.h"
#include "frame/PlainFrame.h"
#include "frame/cNCCalcSize.h"
#include "plumbing/DpiAware.h"
#include "tests/support/WindowCapture.h"

using namespace captiontest;
using testsupport::CaptureWindow;
using testsupport::FirstDifference;

namespace {

bool g_highContrast = false;

// The setting as the test says, for the length of one test.
class HighContrastSetting {
public:
    HighContrastSetting() : previous_(SetHighContrastQuery([] { return g_highContrast; })) {}
    ~HighContrastSetting() {
        SetHighContrastQuery(previous_);
        g_highContrast = false;
    }
    HighContrastSetting(const HighContrastSetting&) = delete;
    HighContrastSetting& operator=(const HighContrastSetting&) = delete;
    void Turn(HWND window, bool on, UINT message) {
        g_highContrast = on;
        SendMessageW(window, message, message == WM_SETTINGCHANGE ? SPI_SETHIGHCONTRAST : 0, 0);
        testsupport::PumpMessages();
    }

private:
    HighContrastQuery previous_;
};

struct Margins {
    int left, top, right, bottom;
    bool operator==(const Margins&) const = default;
};

Margins MarginsOf(HWND hwnd) {
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return Margins{client.left - window.left, client.top - window.top, window.right - client.right,
                   window.bottom - client.bottom};
}

constexpr int kW = 640, kHWin = 400;

}  // namespace

TEST(HighContrast, TheFrameWearsTheSystemsColoursAndKeepsItsMenuBar) {
    HighContrastSetting setting;
    SkinnedWindow w(kW, kHWin);
    w.Activate(true);
    const testsupport::WindowPixels skin = CaptureWindow(w.hwnd());
    ASSERT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));

    // Another setting changes nothing.
    setting.Turn(w.hwnd(), false, WM_SETTINGCHANGE);
    EXPECT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));

    setting.Turn(w.hwnd(), true, WM_SETTINGCHANGE);
    const PlainMetrics m = PlainMetricsForDpi(96);
    const Margins plain = MarginsOf(w.hwnd());
    EXPECT_EQ(plain.left, m.frameX);
    EXPECT_EQ(plain.right, m.frameX);
    EXPECT_EQ(plain.bottom, m.frameY);
    const int rowTop = m.frameY + m.caption;
    const int row = plain.top - rowTop;
    EXPECT_GE(row, GetSystemMetrics(SM_CYMENU)) << "a menu row under the plain caption";

    testsupport::ShotIfAsked(CaptureWindow(w.hwnd()), L"high-contrast");
    // System colours: the border, the caption's button band, the menu row.
    EXPECT_EQ(w.Pixel(m.frameX - 1, kHWin / 2), GetSysColor(COLOR_ACTIVEBORDER));
    EXPECT_EQ(w.Pixel(kW - m.frameX - 1, rowTop + row / 2), GetSysColor(COLOR_MENU));
    const std::array<RECT, 3> buttons = PlainButtonRects(m, kW);
    EXPECT_EQ(w.Pixel(buttons[CaptionLayout::kMinimize].left - 2, m.frameY + m.caption / 2),
              GetSysColor(COLOR_ACTIVECAPTION));

    // The bar's item in that row, where a press finds it.
    cMenuBar& bar = cOrvaneTestPeer::Bar(w.painter());
    RECT item{};
    bar.ItemScreenRect(1, item);
    RECT window{};
    GetWindowRect(w.hwnd(), &window);
    EXPECT_GE(item.top - window.top, rowTop);
    EXPECT_LE(item.bottom - window.top, plain.top);
    EXPECT_EQ(bar.HitTestPoint(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2}), 1);

    // The caption buttons are the plain frame's, and work.
    for (int i = CaptionLayout::kClose; i <= CaptionLayout::kMinimize; ++i) {
        const RECT button = cOrvaneTestPeer::Button(w.painter(), i);
        EXPECT_TRUE(EqualRect(&buttons[static_cast<size_t>(i)], &button)) << i;
    }
    const RECT& close = buttons[CaptionLayout::kClose];
    const int x = (close.left + close.right) / 2, y = (close.top + close.bottom) / 2;
    int code = HTCAPTION;
    w.painter().HitTest(x, y, code);
    EXPECT_EQ(code, HTSYSMENU);
    {
        const HDC dc = GetWindowDC(w.hwnd());
        bool handled = false;
        w.painter().NCMouseDown(x, y, handled, dc, 0, 0, kW, kHWin);
        EXPECT_TRUE(handled);
        w.painter().NCMouseUp(x, y, dc, 0, 0, kW, kHWin);
        ReleaseDC(w.hwnd(), dc);
    }
    EXPECT_EQ(TakeSysCommand(w.hwnd()), static_cast<WPARAM>(SC_CLOSE));

    // Popup items on the system's menu colour too.
    const HMENU popup = GetSubMenu(w.menu(), 0);
    w.painter().InitMenuPopup(reinterpret_cast<WPARAM>(popup), 0);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 40);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = GetMenuItemID(popup, 1);
    dis.hwndItem = reinterpret_cast<HWND>(popup);
    dis.hDC = dc;
    dis.rcItem = RECT{0, 0, 200, 30};
    SendMessageW(w.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(GetPixel(dc, 198, 28), GetSysColor(COLOR_MENU));
    w.painter().ExitMenuLoop();
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    // Off again: the skin, exactly as it was.
    setting.Turn(w.hwnd(), false, WM_THEMECHANGED);
    EXPECT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));
    EXPECT_EQ(FirstDifference(CaptureWindow(w.hwnd()), skin), "") << "first pixel unlike the skin before";
}

TEST(HighContrast, AWindowAttachedWhileItIsOnStartsPlain) {
    HighContrastSetting setting;
    g_highContrast = true;
    SkinnedWindow w(kW, kHWin);
    const PlainMetrics m = PlainMetricsForDpi(96);
    const Margins plain = MarginsOf(w.hwnd());
    EXPECT_EQ(plain.left, m.frameX);
    EXPECT_GT(plain.top, m.frameY + m.caption);

    setting.Turn(w.hwnd(), false, WM_SETTINGCHANGE);
    EXPECT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));
}

TEST(PlainFrame, ButtonsSitAtTheCaptionsRightEnd) {
    // The close button two pixels in from the caption's end, the other two
    // side by side left of it; the caption is frame-inset and one row short.
    const struct {
        PlainMetrics m;
        int width;
        RECT caption, close, maximize, minimize;
    } cases[] = {
        {{4, 4, 19}, 300, {4, 4, 296, 22}, {278, 6, 294, 20}, {260, 6, 276, 20}, {244, 6, 260, 20}},
        {{5, 5, 28}, 400, {5, 5, 395, 32}, {368, 7, 393, 30}, {341, 7, 366, 30}, {316, 7, 341, 30}},
    };
    for (const auto& c : cases) {
        const RECT caption = PlainCaptionRect(c.m, c.width);
        EXPECT_TRUE(EqualRect(&caption, &c.caption)) << c.width;
        const std::array<RECT, 3> b = PlainButtonRects(c.m, c.width);
        EXPECT_TRUE(EqualRect(&b[0], &c.close)) << c.width;
        EXPECT_TRUE(EqualRect(&b[1], &c.maximize)) << c.width;
        EXPECT_TRUE(EqualRect(&b[2], &c.minimize)) << c.width;
    }
}

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

#include <tuple>

#include "frame/HighContrast.h"
#include "frame/PlainFrame.h"
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

TEST(HighContrast, TheFrameWearsTheSystemsColoursWhileItIsOnAndTheSkinComesBack) {
    HighContrastSetting setting;
    g_highContrast = true;
    SkinnedWindow w(kW, kHWin);  // attached while it is on: plain from the start
    const PlainMetrics m = PlainMetricsForDpi(96);
    EXPECT_EQ(MarginsOf(w.hwnd()).left, m.frameX);

    setting.Turn(w.hwnd(), false, WM_THEMECHANGED);
    w.Activate(true);
    const testsupport::WindowPixels skin = CaptureWindow(w.hwnd());
    ASSERT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));
    setting.Turn(w.hwnd(), false, WM_SETTINGCHANGE);  // another setting: nothing changes
    EXPECT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));

    setting.Turn(w.hwnd(), true, WM_SETTINGCHANGE);
    const Margins plain = MarginsOf(w.hwnd());
    EXPECT_EQ(std::make_tuple(plain.left, plain.right, plain.bottom), std::make_tuple(m.frameX, m.frameX, m.frameY));
    const int rowTop = m.frameY + m.caption;
    const int row = plain.top - rowTop;
    EXPECT_GE(row, GetSystemMetrics(SM_CYMENU)) << "a menu row under the plain caption";

    testsupport::ShotIfAsked(CaptureWindow(w.hwnd()), L"high-contrast");
    // System colours: the border, the caption's button band, the menu row.
    const std::array<RECT, 3> buttons = PlainButtonRects(m, kW);
    EXPECT_EQ(w.Pixel(m.frameX - 1, kHWin / 2), GetSysColor(COLOR_ACTIVEBORDER));
    EXPECT_EQ(w.Pixel(buttons[CaptionLayout::kMinimize].left - 2, m.frameY + m.caption / 2),
              GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(w.Pixel(kW - m.frameX - 1, rowTop + row / 2), GetSysColor(COLOR_MENU));

    // The bar's item in that row, where a press finds it.
    cMenuBar& bar = cOrvaneTestPeer::Bar(w.painter());
    RECT item{}, window{};
    bar.ItemScreenRect(1, item);
    GetWindowRect(w.hwnd(), &window);
    EXPECT_GE(item.top - window.top, rowTop);
    EXPECT_LE(item.bottom - window.top, plain.top);
    EXPECT_EQ(bar.HitTestPoint(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2}), 1);

    // The plain caption's close button closes.
    const RECT& close = buttons[CaptionLayout::kClose];
    const int x = (close.left + close.right) / 2, y = (close.top + close.bottom) / 2;
    int code = HTCAPTION;
    w.painter().HitTest(x, y, code);
    EXPECT_EQ(code, HTSYSMENU);
    const HDC dc = GetWindowDC(w.hwnd());
    bool handled = false;
    w.painter().NCMouseDown(x, y, handled, dc, 0, 0, kW, kHWin);
    w.painter().NCMouseUp(x, y, dc, 0, 0, kW, kHWin);
    ReleaseDC(w.hwnd(), dc);
    EXPECT_TRUE(handled);
    EXPECT_EQ(TakeSysCommand(w.hwnd()), static_cast<WPARAM>(SC_CLOSE));

    // Popup items on the system's menu colour too.
    const HMENU popup = GetSubMenu(w.menu(), 0);
    w.painter().InitMenuPopup(reinterpret_cast<WPARAM>(popup), 0);
    cMemDC surface;
    surface.Grow(200, 30);
    DRAWITEMSTRUCT dis{ODT_MENU, 0, GetMenuItemID(popup, 1), 0, 0, reinterpret_cast<HWND>(popup), surface.hDC(),
                       RECT{0, 0, 200, 30}, 0};
    SendMessageW(w.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    EXPECT_EQ(GetPixel(surface.hDC(), 198, 28), GetSysColor(COLOR_MENU));
    w.painter().ExitMenuLoop();

    // Off again: the skin, exactly as it was.
    setting.Turn(w.hwnd(), false, WM_THEMECHANGED);
    EXPECT_EQ(MarginsOf(w.hwnd()), (Margins{kB, kH, kB, kB}));
    EXPECT_EQ(FirstDifference(CaptureWindow(w.hwnd()), skin), "") << "first pixel unlike the skin before";
}

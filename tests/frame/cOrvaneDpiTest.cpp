// The skinned frame at the window's DPI, measured on a real window: at 96 it
// is exactly today's frame, at 144 and more every part is at least 1.4 times
// as large. scripts/dpi-test.sh runs this in a Wine prefix of its own with
// LogPixels set and TARVOLO_EXPECT_DPI telling which DPI it must find.
#include "tests/frame/cOrvaneTestFixture.h"

#include <cstdlib>
#include <string>

#include "frame/DpiScale.h"
#include "plumbing/DpiAware.h"

using namespace captiontest;
using CaptionLayout::kClose;
using CaptionLayout::kMinimize;

namespace {

constexpr int kW = 640, kHWin = 400;

struct Measured {
    int top, left, right, bottom;          // client area offsets from the window edges
    int buttonWidth, buttonHeight, buttonTop, closeFromRight, minimizeFromRight;
    int barLeft, barTop, barHeight;        // first bar item, window-relative
    int popupItemHeight;
};

RECT WindowRelative(HWND hwnd, RECT screen) {
    RECT w{};
    GetWindowRect(hwnd, &w);
    OffsetRect(&screen, -w.left, -w.top);
    return screen;
}

int PopupItemHeight(SkinnedWindow& w) {
    const HMENU popup = GetSubMenu(w.menu(), 0);
    w.painter().InitMenuPopup(reinterpret_cast<WPARAM>(popup), 0);
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_DATA | MIIM_ID;
    GetMenuItemInfoW(popup, 1, TRUE, &info);  // "E&xit": no shortcut column
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = info.wID;
    mis.itemData = info.dwItemData;
    SendMessageW(w.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    w.painter().ExitMenuLoop();
    return static_cast<int>(mis.itemHeight);
}

Measured Measure(SkinnedWindow& w) {
    SetWindowPos(w.hwnd(), nullptr, 0, 0, kW, kHWin, SWP_NOMOVE | SWP_NOZORDER);
    w.Activate(true);
    w.Paint();
    RECT window{}, client{};
    GetWindowRect(w.hwnd(), &window);
    GetClientRect(w.hwnd(), &client);
    MapWindowPoints(w.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT close = cOrvaneTestPeer::Button(w.painter(), kClose);
    const RECT minimize = cOrvaneTestPeer::Button(w.painter(), kMinimize);
    RECT item{};
    cOrvaneTestPeer::Bar(w.painter()).ItemScreenRect(1, item);
    item = WindowRelative(w.hwnd(), item);
    return Measured{client.top - window.top,
                    client.left - window.left,
                    window.right - client.right,
                    window.bottom - client.bottom,
                    close.right - close.left,
                    close.bottom - close.top,
                    close.top,
                    kW - close.right,
                    kW - minimize.right,
                    item.left,
                    item.top,
                    item.bottom - item.top,
                    PopupItemHeight(w)};
}

}  // namespace

TEST(cOrvaneDpi, FrameFollowsTheWindowsDpi) {
    SkinnedWindow w(kW, kHWin);
    const int dpi = WindowDpi(w.hwnd());
    if (const char* expected = std::getenv("TARVOLO_EXPECT_DPI")) {
        ASSERT_EQ(dpi, std::atoi(expected));
    }
    EXPECT_EQ(w.painter().Dpi(), dpi);
    const Measured m = Measure(w);
    // Today's 96-DPI frame; the bar item's and the popup item's heights
    // follow the 9 pt font, a 16-pixel line in the face Wine substitutes.
    const Measured today{48, 10, 10, 10, 20, 20, 5, 5, 45, 96, 26, 20, 25};
    const struct {
        const char* what;
        int got, at96;
    } parts[] = {
        {"top margin", m.top, today.top},
        {"left margin", m.left, today.left},
        {"right margin", m.right, today.right},
        {"bottom margin", m.bottom, today.bottom},
        {"button width", m.buttonWidth, today.buttonWidth},
        {"button height", m.buttonHeight, today.buttonHeight},
        {"button top", m.buttonTop, today.buttonTop},
        {"close button from the right", m.closeFromRight, today.closeFromRight},
        {"minimize button from the right", m.minimizeFromRight, today.minimizeFromRight},
        {"menu bar item left", m.barLeft, today.barLeft},
        {"menu bar item top", m.barTop, today.barTop},
        {"menu bar item height", m.barHeight, today.barHeight},
        {"popup item height", m.popupItemHeight, today.popupItemHeight},
    };
    for (const auto& p : parts) {
        if (dpi == kBaseDpi) {
            EXPECT_EQ(p.got, p.at96) << p.what;
        } else if (dpi >= 144) {
            EXPECT_GE(p.got, 1.4 * p.at96) << p.what << " at " << dpi;
        } else {
            EXPECT_GT(p.got, p.at96) << p.what << " at " << dpi;
        }
    }
    // A 9 pt title line, drawn from the top of its rectangle, ends above
    // the bar's items.
    const int titleTop = ScaleToDpi(10, dpi) + ScaleToDpi(1, dpi);
    EXPECT_LE(titleTop + MulDiv(9, dpi, 72), m.barTop + 2) << "the title runs into the bar";
}

TEST(cOrvaneDpi, AWholeFactorRepeatsEverySkinPixel) {
    // Asked for 192 DPI on whatever screen: the skin is redrawn at twice its
    // size with nearest-neighbour pixels, so every skin pixel becomes a
    // 2 x 2 block in the frame.
    SkinnedWindow w(kW, kHWin, WS_OVERLAPPEDWINDOW, L" TarvoloV1.2", true, 192);
    EXPECT_EQ(w.painter().Dpi(), 192);
    int top = 0, left = 0;
    w.painter().GetTopMarginHeight(top);
    w.painter().GetLeftMarginWidth(left);
    EXPECT_EQ(top, 96);
    EXPECT_EQ(left, 20);
    w.Activate(true);
    w.Paint();
    const RECT close = cOrvaneTestPeer::Button(w.painter(), kClose);
    EXPECT_EQ(close.bottom - close.top, 40);
    for (const POINT p : {POINT{2, 3}, POINT{9, 9}, POINT{15, 12}, POINT{5, 17}}) {
        const COLORREF skin = w.Caption(240 + p.x, p.y);
        for (const POINT d : {POINT{0, 0}, POINT{1, 1}}) {
            EXPECT_EQ(w.Pixel(close.left + 2 * p.x + d.x, close.top + 2 * p.y + d.y), skin) << p.x << "," << p.y;
        }
    }
    // The bottom-left border corner (cell 2), doubled.
    const SIZE s = w.Size();
    for (const POINT p : {POINT{1, 1}, POINT{4, 6}, POINT{8, 2}}) {
        EXPECT_EQ(w.Pixel(2 * p.x + 1, s.cy - 20 + 2 * p.y), w.Border(20 + p.x, p.y)) << p.x << "," << p.y;
    }
}

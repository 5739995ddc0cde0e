// The skinned frame told of a new DPI after it was attached, as the window
// does on WM_DPICHANGED: the skin is redrawn once per DPI and kept, and the
// DPI it started at comes back pixel for pixel.
#include "tests/frame/cOrvaneTestFixture.h"

#include "frame/DpiScale.h"
#include "tests/support/WindowCapture.h"

using namespace captiontest;
using testsupport::CaptureWindow;
using testsupport::FirstDifference;

namespace {

constexpr int kW = 640, kHWin = 400;

void ChangeTo(SkinnedWindow& w, int dpi) {
    w.painter().Dpi(dpi);
    // The frame is measured again with the window's move to its new rectangle.
    SetWindowPos(w.hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    testsupport::PumpMessages();
}

int TopMargin(SkinnedWindow& w) {
    RECT window{}, client{};
    GetWindowRect(w.hwnd(), &window);
    GetClientRect(w.hwnd(), &client);
    MapWindowPoints(w.hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client.top - window.top;
}

}  // namespace

TEST(cOrvaneDpiChange, EachDpiIsDrawnOnceAndTheFirstComesBackExactly) {
    SkinnedWindow w(kW, kHWin);
    w.Activate(true);
    const int first = w.painter().Dpi();
    const int other = first == 96 ? 144 : 96;
    const testsupport::WindowPixels look = CaptureWindow(w.hwnd());

    for (const int round : {1, 2, 3}) {
        SCOPED_TRACE(round);
        ChangeTo(w, other);
        EXPECT_EQ(w.painter().Dpi(), other);
        EXPECT_EQ(TopMargin(w), ScaleToDpi(kH, other));
        CaptureWindow(w.hwnd());  // paints at the new DPI
        const RECT close = cOrvaneTestPeer::Button(w.painter(), CaptionLayout::kClose);
        EXPECT_EQ(close.bottom - close.top, ScaleToDpi(20, other)) << "buttons of the new size";

        ChangeTo(w, first);
        EXPECT_EQ(TopMargin(w), ScaleToDpi(kH, first));
        EXPECT_EQ(FirstDifference(CaptureWindow(w.hwnd()), look), "") << "first pixel unlike the first look";
        // The pictures as given, and the other DPI's redrawing, kept from
        // the first change on: paints and changes redraw nothing.
        EXPECT_EQ(cOrvaneTestPeer::SkinCount(w.painter()), 2u);
    }
}

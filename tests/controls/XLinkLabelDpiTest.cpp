// The link label draws its caption in a font made for its DPI: its window's
// at creation, then what its parent tells it when the parent's DPI changes.
#include <gtest/gtest.h>

#include "controls/XLinkLabel.h"
#include "plumbing/DpiAware.h"

namespace {

constexpr COLORREF kInk = RGB(255, 0, 0);

// Columns from the first to the last inked one, painted as the label paints.
int InkWidth(XLinkLabel& label) {
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 600, 80);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(label.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    int first = -1, last = -1;
    for (int x = 0; x < 600; ++x) {
        for (int y = 0; y < 80; ++y) {
            if (GetPixel(dc, x, y) != kInk) continue;
            if (first < 0) first = x;
            last = x;
            break;
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return first < 0 ? 0 : last - first + 1;
}

}  // namespace

TEST(XLinkLabelDpi, TheCaptionsFontFollowsTheDpiItIsTold) {
    const HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 100, nullptr, nullptr, nullptr, nullptr);
    ControlAmbient ambient;
    ambient.ForeColor = kInk;
    const Ref<XLinkLabel> label = XLinkLabel::Create(host, 0, 0, 600, 80, ambient);
    label->UserControl_InitProperties();
    label->Font(MakeRef<StdFont>(L"宋体", 12));
    label->Caption(L"Doravel");
    EXPECT_EQ(label->Dpi(), WindowDpi(label->hWnd())) << "its window's DPI from the start";

    label->Dpi(96);
    const int at96 = InkWidth(*label);
    ASSERT_GT(at96, 0);
    label->Dpi(144);
    EXPECT_GE(InkWidth(*label), 1.4 * at96);
    label->Dpi(0);  // no DPI: ignored
    EXPECT_EQ(label->Dpi(), 144);
    label->Dpi(96);
    EXPECT_EQ(InkWidth(*label), at96);
    DestroyWindow(host);
}

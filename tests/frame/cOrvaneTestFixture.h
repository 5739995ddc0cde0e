#pragma once
// A real top-level window with a menu, skinned by a cOrvane with the
// program's own skin bitmaps and the main window's values.
#include <windows.h>

#include <gtest/gtest.h>

#include "frame/CaptionLayout.h"
#include "frame/cMenuBar.h"
#include "frame/cOrvane.h"
#include "resources/resource.h"
#include "tests/support/TestSupport.h"

// Reaches the painter's private helpers and last-paint state.
struct cOrvaneTestPeer {
    static void FontToLogFont(const StdFont* font, int dpi, LOGFONTW& lf) {
        cOrvane::FontToLogFont(font, dpi, lf);
    }
    static RECT Button(const cOrvane& painter, int index) { return painter.buttons_[index]; }
    static cMenuBar& Bar(const cOrvane& painter) { return *painter.menuBar_; }
    // How many DPIs the skin is kept drawn for.
    static size_t SkinCount(const cOrvane& painter) { return painter.skins_.size(); }
};

namespace captiontest {

constexpr int kH = 48;  // caption bitmap height
constexpr int kB = 10;  // border bitmap height

inline HBITMAP LoadSkin(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// One pixel of a bitmap (the skin as shipped).
inline COLORREF BitmapPixel(HBITMAP bmp, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

inline HMENU MakeMenu() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 101, L"&Open\tCtrl+O");
    AppendMenuW(file, MF_STRING, 102, L"E&xit");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, 201, L"&About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    return bar;
}

class SkinnedWindow {
public:
    SkinnedWindow(int width, int height, DWORD style = WS_OVERLAPPEDWINDOW,
                  const wchar_t* title = L" TarvoloV1.2", bool visible = true, int dpi = 0)
        : caption_(LoadSkin(IDB_CAPTION)), border_(LoadSkin(IDB_BORDER)) {
        static const ATOM cls = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = CreateSolidBrush(RGB(207, 203, 207));
            wc.lpszClassName = L"TarvoloCaptionTest";
            return RegisterClassW(&wc);
        }();
        (void)cls;
        menu_ = MakeMenu();
        hwnd_ = CreateWindowExW(0, L"TarvoloCaptionTest", title, style, 20, 20, width, height,
                                nullptr, menu_, GetModuleHandleW(nullptr), nullptr);
        if (visible) ShowWindow(hwnd_, SW_SHOWNORMAL);
        painter_ = MakeRef<cOrvane>();
        painter_->ActiveCaptionColor(0xFFFFFF);
        painter_->InActiveCaptionColor(0xC0C0C0);
        painter_->MenuBackgroundColor(RGB(207, 203, 207));
        painter_->CaptionFont()->Name(L"宋体");
        painter_->CaptionFont()->Size(9);
        painter_->MenuFont()->Name(L"宋体");
        painter_->MenuFont()->Size(9);
        painter_->Dpi(dpi);  // 0: the window's
        painter_->Attach(hwnd_, caption_, border_, 19, 20, 90, 140, 240, 400);
        testsupport::PumpMessages();
    }
    ~SkinnedWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
        painter_.reset();
        DestroyMenu(menu_);  // harmless if the window destroyed it already
        DeleteObject(caption_);
        DeleteObject(border_);
    }
    SkinnedWindow(const SkinnedWindow&) = delete;
    SkinnedWindow& operator=(const SkinnedWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HMENU menu() const { return menu_; }
    cOrvane& painter() const { return *painter_; }
    Ref<cOrvane>& painterRef() { return painter_; }
    HBITMAP captionSkin() const { return caption_; }
    HBITMAP borderSkin() const { return border_; }

    SIZE Size() const {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    // What the engine does on WM_NCPAINT, with any rectangle.
    void Paint(int width, int height) {
        HDC dc = GetWindowDC(hwnd_);
        painter_->NCPaint(dc, 0, 0, width, height);
        ReleaseDC(hwnd_, dc);
    }
    void Paint() {
        const SIZE s = Size();
        Paint(s.cx, s.cy);
    }
    void Activate(bool active) {
        SendMessageW(hwnd_, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
        testsupport::PumpMessages();
    }
    COLORREF Pixel(int x, int y) const {
        HDC dc = GetWindowDC(hwnd_);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(hwnd_, dc);
        return c;
    }
    COLORREF Caption(int x, int y) const { return BitmapPixel(caption_, x, y); }
    COLORREF Border(int x, int y) const { return BitmapPixel(border_, x, y); }

private:
    HBITMAP caption_;
    HBITMAP border_;
    HMENU menu_ = nullptr;
    HWND hwnd_ = nullptr;
    Ref<cOrvane> painter_;
};

// The sys command posted to the window, or 0 when none is waiting.
inline WPARAM TakeSysCommand(HWND hwnd) {
    MSG msg{};
    WPARAM cmd = 0;
    while (PeekMessageW(&msg, hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) cmd = msg.wParam;
    return cmd;
}

}  // namespace captiontest

#include "app/FrameBox.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kClass[] = L"TarvoloFrame";
constexpr wchar_t kColorProp[] = L"TarvoloFrameBack";

COLORREF BackColor(HWND hwnd) {
    const HANDLE value = GetPropW(hwnd, kColorProp);
    return value ? static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(value) - 1) : GetSysColor(COLOR_BTNFACE);
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY: {
        // Only the common notifications (clicks, double-clicks, Enter) and a
        // list's questions for what it draws go on: a list view reports every
        // inserted or changed row, and loading a large catalogue would pay for
        // thousands of forwarded messages the main window never looks at.
        const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        if (code != LVN_GETDISPINFOW && static_cast<int>(code) <= static_cast<int>(NM_LAST)) return 0;
        return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, BackColor(hwnd));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        rc.top += 4;  // the etched line sits where a caption's middle would be
        DrawEdge(dc, &rc, EDGE_ETCHED, BF_RECT);
        return 1;
    }
    case WM_NCDESTROY:
        RemovePropW(hwnd, kColorProp);
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

namespace FrameBox {

HWND Create(HWND parent, int id, int x, int y, int cx, int cy) {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = FrameProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClass;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
    return CreateWindowExW(WS_EX_CONTROLPARENT, kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, cx, cy,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

void SetBackColor(HWND frame, COLORREF color) {
    // Stored off by one so that black is distinguishable from "no colour set".
    SetPropW(frame, kColorProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(color) + 1));
    InvalidateRect(frame, nullptr, TRUE);
}

}  // namespace FrameBox

#pragma once
// The window procedure of a window that belongs to one object of class T:
// the object comes as the creation parameter with WM_NCCREATE, learns its
// window and from then on answers every message through HandleMessage.
// Messages before WM_NCCREATE (WM_GETMINMAXINFO) get the default answer.
// A handler that fails leaves its message as if it had done nothing (the
// failure is told later, by the message loop); a window whose creation
// failed is not made at all.

#include <windows.h>

#include "plumbing/CallbackGuard.h"
#include "plumbing/DpiAware.h"

template <class T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        T* const created = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        EnableFrameScaling(hwnd);
    }
    T* const self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT failed = msg == WM_NCCREATE ? FALSE : msg == WM_CREATE ? -1 : 0;
    return RunGuarded(failed, [&] { return self->HandleMessage(msg, wParam, lParam); });
}

// Registers, once per process, the window class whose windows belong to
// objects of class T: arrow cursor, dialog-face background.
template <class T>
void RegisterObjectClass(HINSTANCE instance, const wchar_t* className) {
    static const ATOM atom = [instance, className] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = ObjectWindowProc<T>;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
}

#include "app/TrayIcon.h"

#include <algorithm>
#include <iterator>

#include "plumbing/CallbackGuard.h"

TrayIcon::TrayIcon(UINT callbackMessage, std::wstring tip) : message_(callbackMessage), tip_(std::move(tip)) {}

TrayIcon::~TrayIcon() { Remove(); }

NOTIFYICONDATAW TrayIcon::Record(UINT flags) const {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = window_;
    nid.uID = 0;
    nid.uFlags = flags;
    if (flags & NIF_MESSAGE) nid.uCallbackMessage = message_;
    if (flags & NIF_ICON) nid.hIcon = icon_;
    if (flags & NIF_TIP) lstrcpynW(nid.szTip, tip_.c_str(), static_cast<int>(std::size(nid.szTip)));
    return nid;
}

bool TrayIcon::Add(HWND window, HICON icon, MouseHandler onMouse) {
    if (window_ || !window) return false;  // one icon per object, added once
    window_ = window;
    icon_ = icon;
    NOTIFYICONDATAW nid = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    if (!Shell_NotifyIconW(NIM_ADD, &nid)) {
        window_ = nullptr;
        icon_ = nullptr;
        return false;
    }
    onMouse_ = std::move(onMouse);
    installed_.push_back(this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayIcon::WindowProc)));
    return true;
}

bool TrayIcon::Modify(HICON icon) {
    if (!window_) return false;
    icon_ = icon;
    NOTIFYICONDATAW nid = Record(NIF_ICON);
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

bool TrayIcon::Readd() {
    if (!window_) return false;
    NOTIFYICONDATAW nid = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    // A shell that still knows the icon refuses to add it again: then it is
    // brought up to date instead.
    return Shell_NotifyIconW(NIM_ADD, &nid) || Shell_NotifyIconW(NIM_MODIFY, &nid);
}

void TrayIcon::Remove() {
    if (!window_) return;
    NOTIFYICONDATAW nid = Record(0);
    Shell_NotifyIconW(NIM_DELETE, &nid);  // the result changes nothing: the icon is ours to drop
    if (IsWindow(window_)) SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    installed_.erase(std::remove(installed_.begin(), installed_.end(), this), installed_.end());
    window_ = nullptr;
    icon_ = nullptr;
    previous_ = nullptr;
    onMouse_ = nullptr;
}

TrayIcon* TrayIcon::Installed(HWND hwnd) {
    for (TrayIcon* icon : installed_) {
        if (icon->window_ == hwnd) return icon;
    }
    return nullptr;
}

LRESULT CALLBACK TrayIcon::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TrayIcon* const self = Installed(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    // The handler may remove the icon (a restore does): keep what this
    // message still needs.
    const WNDPROC previous = self->previous_;
    if (msg == self->message_ && self->onMouse_) {
        // A handler that fails has done nothing; the message still goes on.
        RunGuarded([&] {
            const MouseHandler handler = self->onMouse_;
            handler(lParam);
        });
    }
    return previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

#pragma once
// The notification-area icon of a window. While the icon is shown its
// window procedure is replaced by one that hears the icon's callback message
// and then passes every message on to the procedure it replaced.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

class TrayIcon {
public:
    // Called with the mouse message (WM_RBUTTONUP, WM_LBUTTONDBLCLK, ...).
    using MouseHandler = std::function<void(LPARAM mouseMessage)>;

    TrayIcon(UINT callbackMessage, std::wstring tip);
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon and replaces the window procedure; when the shell
    // refuses the icon nothing is changed and the result is false.
    bool Add(HWND window, HICON icon, MouseHandler onMouse);
    // Shows another icon in place of the current one.
    bool Modify(HICON icon);
    // Adds the icon once more, after the shell restarted and forgot it.
    bool Readd();
    // Removes the icon and puts the replaced procedure back.
    void Remove();
    bool Shown() const { return window_ != nullptr; }
    UINT CallbackMessage() const { return message_; }

    // The record the shell is given, exposed for checks.
    NOTIFYICONDATAW Record(UINT flags) const;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static TrayIcon* Installed(HWND hwnd);

    const UINT message_;
    const std::wstring tip_;
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
    WNDPROC previous_ = nullptr;
    MouseHandler onMouse_;
    // The icons whose procedure is installed, one per window; a process
    // rarely has more than one, so a search is cheaper than a window property.
    static inline std::vector<TrayIcon*> installed_;
};

#pragma once
// One small owner per kind of GDI handle, so a DC or object made in a
// handler is given back in that handler however it is left.
#include <windows.h>

// A window's whole DC (caption and borders included), released with the guard.
class WindowDC {
public:
    explicit WindowDC(HWND hWnd) noexcept : hWnd_(hWnd), dc_(GetWindowDC(hWnd)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(hWnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND hWnd_;
    HDC dc_;
};

// The DC of a WM_PAINT, ended with the guard.
class PaintDC {
public:
    explicit PaintDC(HWND hWnd) noexcept : hWnd_(hWnd), dc_(BeginPaint(hWnd, &ps_)) {}
    ~PaintDC() { EndPaint(hWnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND hWnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// A DC this code created (CreateDC, CreateCompatibleDC), deleted with the guard.
class CreatedDC {
public:
    explicit CreatedDC(HDC dc) noexcept : dc_(dc) {}
    ~CreatedDC() {
        if (dc_) DeleteDC(dc_);
    }
    CreatedDC(const CreatedDC&) = delete;
    CreatedDC& operator=(const CreatedDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

// A GDI object this code created (font, brush, bitmap), deleted with the guard.
template <class Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) noexcept : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // Takes a new handle, deleting the one held before.
    void reset(Handle handle = nullptr) noexcept {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

// An icon this code loaded (LoadImage without LR_SHARED), destroyed with the owner.
class OwnedIcon {
public:
    explicit OwnedIcon(HICON icon = nullptr) noexcept : icon_(icon) {}
    ~OwnedIcon() { reset(); }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    HICON get() const noexcept { return icon_; }
    void reset(HICON icon = nullptr) noexcept {
        if (icon_) DestroyIcon(icon_);
        icon_ = icon;
    }

private:
    HICON icon_;
};

class CreatedFont : public GdiObject<HFONT> {
public:
    explicit CreatedFont(const LOGFONTW& lf) noexcept : GdiObject(CreateFontIndirectW(&lf)) {}
};

class SolidBrush : public GdiObject<HBRUSH> {
public:
    explicit SolidBrush(COLORREF color) noexcept : GdiObject(CreateSolidBrush(color)) {}
};

// Selects an object into a DC and puts back what it replaced. Declare it
// after the object it selects, so the object is out of the DC before it is
// deleted. A null DC or object selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), previous_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    // False when nothing was selected (a null DC or object, or a refusal).
    bool selected() const noexcept { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Saves a DC's state (font, colours, origin, clipping) and restores it with
// the guard, however the scope ends.
class SavedDCState {
public:
    explicit SavedDCState(HDC dc) noexcept : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDCState() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC dc_;
    int saved_;
};

// Holds back a window's drawing while it is rebuilt, and lets it go however
// the scope ends: a lock left behind would blank the window.
class WindowUpdateLock {
public:
    explicit WindowUpdateLock(HWND hWnd) noexcept { LockWindowUpdate(hWnd); }
    ~WindowUpdateLock() { LockWindowUpdate(nullptr); }
    WindowUpdateLock(const WindowUpdateLock&) = delete;
    WindowUpdateLock& operator=(const WindowUpdateLock&) = delete;
};

#pragma once
// Takes over the non-client area (caption, borders, the place of the menu
// bar) of one top-level or MDI child window so that a partner
// (INCAreaModifier) can size and paint it. The engine reserves the partner's
// margins, hands it painting, hit testing and clicks, drags the window by its
// caption itself, keeps the window's own menu bar away and offers Alt+key
// presses to the partner through the keyboard hook. Without a partner it
// paints a plain frame in system colours (DefaultNCPaint), measured for the
// window's DPI; the partner uses that frame too while high contrast is on.
//
// The partner is stored as a raw pointer in the window property
// "teskCNCImplementation", holding no reference; GetImplementation turns it
// into a counted one for the length of a call.
#include <windows.h>

#include <optional>

#include "frame/INCAreaModifier.h"
#include "plumbing/GdiGuards.h"
#include "plumbing/INCEngine.h"
#include "plumbing/ISubclass.h"
#include "plumbing/RefCounted.h"

class cNCCalcSize : public ISubclass, public INCEngine {
public:
    cNCCalcSize();
    ~cNCCalcSize() override;

    // RedrawWindow with RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW.
    void Redraw(HWND hWnd);
    // Refreshes the form, then has the frame recalculated with the current
    // margins (SWP_FRAMECHANGED). Errors are ignored.
    void Display(HWND form);
    // True after a WM_NCACTIVATE that activated the window.
    bool WindowActive() const override;
    // True after a WM_ACTIVATEAPP that activated the application.
    bool AppActive() const;
    // Starts moving the window as if its caption had been pressed.
    void TitleBarMouseDown();
    // Posts WM_SYSCOMMAND(eCmd) to the window (SC_CLOSE, SC_MINIMIZE, ...).
    void SysCommand(int eCmd);
    // Attaches to iTo->hWnd() with iTo as the partner; a previous attachment
    // is released first. Passes on the subclassing service's errors (the
    // engine is then left detached). A null partner only detaches.
    void Attach(INCAreaModifier* iTo);
    // The window's menu at Attach; the partner draws the menu bar from it.
    HMENU hMenu() const;
    // The DPI the default margins, the caption line of the hit test and the
    // plain frame are measured for. Set by the partner whenever its own DPI
    // changes; 0 (the default) takes the window's own at Attach.
    void Dpi(int dpi);
    int Dpi() const { return frameDpi_; }
    // The user has high contrast on: the frame is to be drawn in the
    // system's colours. Read at Attach and again at every WM_SETTINGCHANGE
    // and WM_THEMECHANGED; a change has the frame measured and painted anew.
    bool HighContrast() const { return highContrast_; }
    // Also run by the destructor and when the window is destroyed.
    void Detach();
    // The fallback frame: borders, caption with icon, text and three buttons.
    void DefaultNCPaint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom);
    // The partner registered on the window, if any.
    bool GetImplementation(Ref<INCAreaModifier>& iTo) const;
    // The partner's AltKeyAccelerator(vKey); 0 without a partner.
    int HandleAltKey(int vKey) override;

    MsgResponseMode MsgResponse() const override;
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    LRESULT HandleMessage(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
    LRESULT Default(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) const;
    void Repaint(HWND hWnd);

    LRESULT OnNCCalcSize(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCPaint(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCHitTest(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCLButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCLButtonUp(LPARAM lParam);
    LRESULT OnSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam);

    static bool IsMDIChildWindow(HWND hWnd);
    // Hit-test code for a point in screen coordinates, the partner having the
    // last word.
    int NCHitTestCode(INCAreaModifier& partner, POINT screen) const;
    void TrackCaptionDrag();
    void Nudge();
    void RefreshLook();

    HWND window_ = nullptr;
    bool isMDIChild_ = false;
    HMENU menu_ = nullptr;
    bool windowActive_ = false;
    bool appActive_ = false;
    bool zoomedMDIChild_ = false;
    int requestedDpi_ = 0;  // 0 = the window's
    int frameDpi_ = 96;     // in use since Attach
    bool highContrast_ = false;

    // Off-screen surface of DefaultNCPaint, allocated once per Attach and
    // DPI: a display-compatible DC with a bitmap as wide as the screen and
    // four captions high selected in.
    struct Surface {
        explicit Surface(int dpi) noexcept;
        CreatedDC dc;
        GdiObject<HBITMAP> bitmap;
        SelectedObject selection;  // declared last: the bitmap leaves the DC before it is deleted
        int width = 0;
    };
    std::optional<Surface> surface_;

    int leftMargin_ = 0;
    int topMargin_ = 0;
    int rightMargin_ = 0;
    int bottomMargin_ = 0;
    int lastHitTest_ = 0;
    int nudgeDx_ = 0;
    int nudgeDy_ = 0;
    bool inSetCursor_ = false;
    // The previous window procedure of the dispatch this engine is serving.
    // Captured on entry: the service's own "current" value is overwritten by
    // any nested dispatch, of other windows too.
    WNDPROC oldProc_ = nullptr;
};

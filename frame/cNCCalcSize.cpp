#include "frame/cNCCalcSize.h"

#include "plumbing/GdiGuards.h"

#include <windowsx.h>

#include <array>
#include <cwchar>
#include <new>
#include <utility>

#include "frame/HighContrast.h"
#include "frame/PlainFrame.h"
#include "plumbing/DpiAware.h"
#include "plumbing/GSubclass.h"
#include "plumbing/MSubclass.h"
#include "plumbing/PlumbingError.h"
#include "plumbing/mDeclares.h"

namespace {

constexpr wchar_t kImplementationProp[] = L"teskCNCImplementation";

// Attached in this order; WM_SIZE (MDI children only) and WM_DESTROY follow.
// The last two tell of a change of high contrast.
constexpr UINT kMessages[] = {WM_NCCALCSIZE,      WM_NCPAINT,      WM_NCACTIVATE,   WM_NCLBUTTONDOWN,
                              WM_NCLBUTTONUP,     WM_NCLBUTTONDBLCLK, WM_NCHITTEST,  WM_SETCURSOR,
                              WM_INITMENU,        WM_INITMENUPOPUP, WM_STYLECHANGED, WM_SETTEXT,
                              WM_ACTIVATEAPP,     WM_ENTERMENULOOP, WM_EXITMENULOOP, WM_SETTINGCHANGE,
                              WM_THEMECHANGED};

constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ALLCHILDREN | RDW_UPDATENOW;
constexpr UINT kFrameChangedFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER;
constexpr UINT kDragMoveFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER;

// Puts a member back to the value it had when the guard was made, so nested
// calls leave the outer call's value intact.
template <class T>
class Restore {
public:
    Restore(T& slot, T value) noexcept : slot_(slot), saved_(std::exchange(slot, value)) {}
    ~Restore() { slot_ = saved_; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& slot_;
    T saved_;
};

POINT PointFromLParam(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// The window rectangle in the coordinates SetWindowPos expects: the
// parent's client area for a child window, the screen otherwise.
RECT PlacementRect(HWND hWnd) {
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    if (const HWND parent = GetParent(hWnd); parent && (GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    }
    return rc;
}

}  // namespace

cNCCalcSize::cNCCalcSize() = default;

cNCCalcSize::~cNCCalcSize() {
    Detach();
}

void cNCCalcSize::Redraw(HWND hWnd) {
    RedrawWindow(hWnd, nullptr, nullptr, kRedrawFlags);
}

void cNCCalcSize::Display(HWND form) {
    // Failures of either step leave the old frame on screen; nothing to do.
    InvalidateRect(form, nullptr, TRUE);
    UpdateWindow(form);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
}

bool cNCCalcSize::WindowActive() const {
    return windowActive_;
}

bool cNCCalcSize::AppActive() const {
    return appActive_;
}

void cNCCalcSize::TitleBarMouseDown() {
    POINT pt{};
    GetCursorPos(&pt);
    ReleaseCapture();
    SendMessageW(window_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

void cNCCalcSize::SysCommand(int eCmd) {
    PostMessageW(window_, WM_SYSCOMMAND, static_cast<WPARAM>(eCmd), 0);
}

void cNCCalcSize::Attach(INCAreaModifier* iTo) {
    Detach();
    if (!iTo) return;

    window_ = iTo->hWnd();
    menu_ = GetMenu(window_);
    isMDIChild_ = IsMDIChildWindow(window_);
    // A window that is already active sends no WM_NCACTIVATE until it loses
    // activation; without this its caption would look inactive and its Alt
    // keys would go unanswered until then.
    windowActive_ = GetActiveWindow() == window_;
    frameDpi_ = requestedDpi_ > 0 ? requestedDpi_ : WindowDpi(window_);
    highContrast_ = HighContrastOn();
    // The service refuses a window (PlumbingError) or runs out of memory
    // naming its properties; either way nothing stays half attached behind
    // the error, which goes on to the caller.
    try {
        for (const UINT msg : kMessages) GSubclass::AttachMessage(this, window_, msg);
        if (isMDIChild_) GSubclass::AttachMessage(this, window_, WM_SIZE);
        GSubclass::AttachMessage(this, window_, WM_DESTROY);
    } catch (const PlumbingError&) {
        Detach();
        throw;
    } catch (const std::bad_alloc&) {
        Detach();
        throw;
    }
    surface_.emplace(frameDpi_);
    SetPropW(window_, kImplementationProp, static_cast<HANDLE>(iTo));
    mDeclares::RegisterEngine(this);
}

HMENU cNCCalcSize::hMenu() const {
    return menu_;
}

void cNCCalcSize::Dpi(int dpi) {
    requestedDpi_ = dpi;
    if (!window_) return;
    const int now = dpi > 0 ? dpi : WindowDpi(window_);
    if (now == frameDpi_) return;
    frameDpi_ = now;
    surface_.emplace(frameDpi_);  // the caption's height has changed
}

void cNCCalcSize::RefreshLook() {
    const bool on = HighContrastOn();
    // In the system's look every setting may change its measures (the
    // caption's height, the frame's width); the skin has none of them.
    if (on == highContrast_ && !on) return;
    highContrast_ = on;
    SetWindowPos(window_, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
    Repaint(window_);
}

void cNCCalcSize::Detach() {
    mDeclares::UnregisterEngine(this);
    if (window_) {
        for (const UINT msg : kMessages) GSubclass::DetachMessage(this, window_, msg);
        if (isMDIChild_) {
            GSubclass::DetachMessage(this, window_, WM_SIZE);
            isMDIChild_ = false;
        }
        GSubclass::DetachMessage(this, window_, WM_DESTROY);
    }
    surface_.reset();
    if (window_) RemovePropW(window_, kImplementationProp);
    // The window's menu is not put back: the partner draws it from hMenu.
    window_ = nullptr;
    menu_ = nullptr;
}

namespace {

CreatedDC DisplayDC() noexcept {
    return CreatedDC(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
}

// Compatible with the display, not with the memory DC (which starts with a
// monochrome bitmap), so the caption keeps its colours.
HBITMAP DisplayBitmap(int cx, int cy) noexcept {
    const CreatedDC display = DisplayDC();
    return CreateCompatibleBitmap(display.get(), cx, cy);
}

HDC DisplayCompatibleDC() noexcept {
    const CreatedDC display = DisplayDC();
    return CreateCompatibleDC(display.get());
}

}  // namespace

cNCCalcSize::Surface::Surface(int dpi) noexcept
    : dc(DisplayCompatibleDC()),
      bitmap(DisplayBitmap(GetSystemMetrics(SM_CXSCREEN), 4 * MetricForDpi(SM_CYCAPTION, dpi))),
      selection(dc.get(), bitmap.get()),
      width(GetSystemMetrics(SM_CXSCREEN)) {}

bool cNCCalcSize::GetImplementation(Ref<INCAreaModifier>& iTo) const {
    if (!window_) return false;
    auto* const partner = static_cast<INCAreaModifier*>(GetPropW(window_, kImplementationProp));
    if (!partner) return false;
    iTo = ObjectFromPointer(partner);
    return true;
}

int cNCCalcSize::HandleAltKey(int vKey) {
    Ref<INCAreaModifier> partner;
    return GetImplementation(partner) ? partner->AltKeyAccelerator(vKey) : 0;
}

bool cNCCalcSize::IsMDIChildWindow(HWND hWnd) {
    const HWND parent = GetParent(hWnd);
    if (!parent) return false;
    wchar_t name[260] = {};
    GetClassNameW(parent, name, 259);
    return std::wcscmp(name, L"MDIClient") == 0;
}

MsgResponseMode cNCCalcSize::MsgResponse() const {
    switch (GSubclass::CurrentMessage()) {
    case WM_SIZE:
    case WM_SETTEXT:
    case WM_SETCURSOR:
    case WM_STYLECHANGED:
    case WM_NCHITTEST:
    case WM_NCPAINT:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        return mrConsume;
    default:
        return mrPreviousFirst;
    }
}

LRESULT cNCCalcSize::WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept {
    const Restore<WNDPROC> old(oldProc_, MSubclass::CurrentOldWindowProc());
    return HandleMessage(hWnd, iMsg, wParam, lParam);
}

LRESULT cNCCalcSize::Default(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) const {
    return oldProc_ ? CallWindowProcW(oldProc_, hWnd, iMsg, wParam, lParam) : 0;
}

void cNCCalcSize::Repaint(HWND hWnd) {
    // wParam 1 = the whole frame, for the system when it paints a zoomed MDI
    // child; the engine's own painting ignores the region anyway.
    HandleMessage(hWnd, WM_NCPAINT, 1, 0);
}

LRESULT cNCCalcSize::HandleMessage(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
    case WM_DESTROY:
        Detach();
        return 0;
    case WM_SIZE:
        Default(hWnd, iMsg, wParam, lParam);
        Repaint(hWnd);
        return 0;
    case WM_SETTEXT:
    case WM_STYLECHANGED:
    case WM_NCLBUTTONDBLCLK: {
        const LRESULT result = Default(hWnd, iMsg, wParam, lParam);
        // WM_SETCURSOR's style trick sends WM_STYLECHANGED; painting then
        // would draw a frame for a window that claims to be hidden.
        if (!inSetCursor_) Repaint(hWnd);
        return result;
    }
    case WM_ACTIVATEAPP:
        appActive_ = wParam != 0;
        return 0;
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
        RefreshLook();
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(hWnd, wParam, lParam);
    case WM_NCCALCSIZE:
        return OnNCCalcSize(hWnd, wParam, lParam);
    case WM_NCHITTEST:
        return OnNCHitTest(hWnd, wParam, lParam);
    case WM_NCPAINT:
        return OnNCPaint(hWnd, wParam, lParam);
    case WM_NCACTIVATE:
        // The previous procedure has already run (mrPreviousFirst); running
        // it again would repeat its work. Its answer is not handed back to
        // us, so give the default one: TRUE lets the activation change,
        // FALSE would keep a deactivated window looking active.
        windowActive_ = wParam != 0;
        Repaint(hWnd);
        return TRUE;
    case WM_NCLBUTTONDOWN:
        return OnNCLButtonDown(hWnd, wParam, lParam);
    case WM_NCLBUTTONUP:
        return OnNCLButtonUp(lParam);
    case WM_INITMENU:
        Default(hWnd, iMsg, wParam, lParam);
        Repaint(hWnd);
        return 0;
    case WM_INITMENUPOPUP: {
        Default(hWnd, iMsg, wParam, lParam);
        Repaint(hWnd);
        Ref<INCAreaModifier> partner;
        // A non-zero high word marks the system menu, which is not the partner's.
        if (HIWORD(lParam) == 0 && GetImplementation(partner)) partner->InitMenuPopup(wParam, lParam);
        return 0;
    }
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP: {
        Default(hWnd, iMsg, wParam, lParam);
        Repaint(hWnd);
        Ref<INCAreaModifier> partner;
        if (iMsg == WM_EXITMENULOOP && GetImplementation(partner)) partner->ExitMenuLoop();
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT cNCCalcSize::OnSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    // With WS_VISIBLE cleared for the moment, the default handling draws
    // nothing of the window's own frame or menu bar; the menu is then taken
    // off the window for good (the partner draws it from hMenu).
    const Restore<bool> guard(inSetCursor_, true);
    const LONG_PTR style = GetWindowLongPtrW(window_, GWL_STYLE);
    SetWindowLongPtrW(window_, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const LRESULT result = Default(hWnd, WM_SETCURSOR, wParam, lParam);
    if (GetMenu(window_)) SetMenu(window_, nullptr);
    SetWindowLongPtrW(window_, GWL_STYLE, style);
    return result;
}

LRESULT cNCCalcSize::OnNCCalcSize(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    zoomedMDIChild_ = isMDIChild_ && IsZoomed(window_);
    // wParam 0: the previous procedure has already turned the rectangle into
    // its client rectangle (mrPreviousFirst); running it again would shrink
    // it a second time.
    if (wParam == 0) return 0;

    auto* const target = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    if (!target || !target->lppos) return Default(hWnd, WM_NCCALCSIZE, wParam, lParam);
    NCCALCSIZE_PARAMS params = *target;
    const WINDOWPOS pos = *params.lppos;

    // The previous procedure has replaced the window rectangle by its own
    // client rectangle; start again from the window rectangle.
    RECT& rc = params.rgrc[0];
    rc = {pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};

    const PlainMetrics plain = PlainMetricsForDpi(frameDpi_);
    int left = plain.frameX;
    int right = left;
    int top = plain.caption + plain.frameY;
    int bottom = plain.frameY;
    Ref<INCAreaModifier> partner;
    if (!zoomedMDIChild_ && GetImplementation(partner)) {
        partner->GetLeftMarginWidth(left);
        partner->GetTopMarginHeight(top);
        partner->GetRightMarginWidth(right);
        partner->GetBottomMarginHeight(bottom);
    }
    leftMargin_ = left;
    topMargin_ = top;
    rightMargin_ = right;
    bottomMargin_ = bottom;

    rc.left += left;
    rc.top += top;
    rc.right -= right;
    rc.bottom -= bottom;
    params.rgrc[1] = rc;
    *target = params;
    return WVR_VALIDRECTS;
}

LRESULT cNCCalcSize::OnNCHitTest(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    Ref<INCAreaModifier> partner;
    if (!GetImplementation(partner)) return Default(hWnd, WM_NCHITTEST, wParam, lParam);
    const int code = NCHitTestCode(*partner, PointFromLParam(lParam));
    lastHitTest_ = code;
    // The menu bar is the partner's: the system must treat it as client area
    // so that it starts no menu loop of its own there.
    return code == HTMENU ? HTCLIENT : code;
}

int cNCCalcSize::NCHitTestCode(INCAreaModifier& partner, POINT screen) const {
    const bool sizable = (GetWindowLongPtrW(window_, GWL_STYLE) & WS_THICKFRAME) != 0;
    RECT wr{};
    GetWindowRect(window_, &wr);
    const int x = screen.x - wr.left;
    const int y = screen.y - wr.top;
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    const int cap = MetricForDpi(SM_CYCAPTION, frameDpi_);
    const int l = leftMargin_, t = topMargin_, r = rightMargin_, b = bottomMargin_;

    int code = HTCLIENT;
    if (x >= 0 && y >= 0 && x < w && y < h) {
        // The bottom margin, not the top one, sets the height of the top
        // resizing band: the top margin holds the caption and the menu bar.
        if (x <= l) {
            if (sizable) code = y <= b ? HTTOPLEFT : y >= h - b ? HTBOTTOMLEFT : HTLEFT;
        } else if (x >= w - r) {
            if (sizable) code = y <= b ? HTTOPRIGHT : y >= h - b ? HTBOTTOMRIGHT : HTRIGHT;
        } else if (y <= b) {
            if (sizable) code = HTTOP;
        } else if (y >= h - b) {
            if (sizable) code = HTBOTTOM;
        } else if (y <= t && y <= b + cap) {
            code = x <= cap ? HTSYSMENU : HTCAPTION;
        }
        // Below the caption line but inside the top margin is the menu bar
        // band, which stays client area until the partner says otherwise.
    }
    partner.HitTest(x, y, code);
    return code;
}

LRESULT cNCCalcSize::OnNCPaint(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    if (!window_ || !IsWindowVisible(window_)) return 0;
    zoomedMDIChild_ = isMDIChild_ && IsZoomed(window_);
    if (zoomedMDIChild_) return Default(hWnd, WM_NCPAINT, wParam, lParam);

    // The whole frame every time: the update region is not used.
    const WindowDC dc(window_);
    RECT wr{};
    GetWindowRect(window_, &wr);
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    Ref<INCAreaModifier> partner;
    if (GetImplementation(partner)) {
        partner->NCPaint(dc.get(), 0, 0, w, h);
    } else {
        DefaultNCPaint(dc.get(), 0, 0, w, h);
    }
    return 0;
}

void cNCCalcSize::Nudge() {
    // One pixel up-left, then down-right, and so on: the pointer ends where
    // it was every second press, and the system sends fresh mouse messages.
    if (nudgeDx_ == 0) nudgeDx_ = 1;
    if (nudgeDy_ == 0) nudgeDy_ = 1;
    nudgeDx_ = -nudgeDx_;
    nudgeDy_ = -nudgeDy_;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = nudgeDx_;
    input.mi.dy = nudgeDy_;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}

LRESULT cNCCalcSize::OnNCLButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    Nudge();
    Ref<INCAreaModifier> partner;
    const bool hasPartner = GetImplementation(partner);
    // Without a partner the system did the hit test and wParam is its code;
    // replacing it with HTNOWHERE would leave the plain frame's caption,
    // buttons and borders dead.
    const WPARAM code =
        hasPartner ? static_cast<WPARAM>(NCHitTestCode(*partner, PointFromLParam(lParam))) : wParam;

    if (hasPartner) {
        if (lastHitTest_ == HTCAPTION) {
            if (!windowActive_) SetForegroundWindow(window_);
            TrackCaptionDrag();
            return 0;
        }
        RECT wr{};
        GetWindowRect(window_, &wr);
        const POINT pt = PointFromLParam(lParam);
        bool handled = false;
        {
            const WindowDC dc(window_);
            partner->NCMouseDown(pt.x - wr.left, pt.y - wr.top, handled, dc.get(), 0, 0, wr.right - wr.left,
                                 wr.bottom - wr.top);
        }
        if (handled) return 0;
    }
    Default(hWnd, WM_NCLBUTTONDOWN, code, lParam);
    Repaint(hWnd);
    return 0;
}

LRESULT cNCCalcSize::OnNCLButtonUp(LPARAM lParam) {
    Ref<INCAreaModifier> partner;
    if (!GetImplementation(partner)) return 0;
    RECT wr{};
    GetWindowRect(window_, &wr);
    const POINT pt = PointFromLParam(lParam);
    const int x = pt.x - wr.left;
    const int y = pt.y - wr.top;
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    const WindowDC dc(window_);
    bool handled = false;
    partner->NCMouseDown(x, y, handled, dc.get(), 0, 0, w, h);
    partner->NCMouseUp(x, y, dc.get(), 0, 0, w, h);
    return 0;
}

void cNCCalcSize::TrackCaptionDrag() {
    const HWND wnd = window_;
    RECT rc = PlacementRect(wnd);
    POINT last{};
    GetCursorPos(&last);
    // Ends on release or deactivation (WM_NCACTIVATE arrives through the pump
    // below), and when the engine is detached meanwhile.
    while (window_ == wnd && windowActive_ && (GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
        POINT pt{};
        GetCursorPos(&pt);
        if (pt.x != last.x || pt.y != last.y) {
            SetWindowPos(wnd, nullptr, rc.left + pt.x - last.x, rc.top + pt.y - last.y, 0, 0, kDragMoveFlags);
            last = pt;
            rc = PlacementRect(wnd);
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Not ours to take: the program's own loop must see it.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
}

void cNCCalcSize::DefaultNCPaint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) {
    const PlainMetrics m = PlainMetricsForDpi(frameDpi_);
    const int fx = m.frameX;
    const int fy = m.frameY;
    const int cap = m.caption;
    const RECT wr{lLeft, lTop, lRight, lBottom};

    // System brushes belong to the system and are never deleted.
    const HBRUSH captionBrush = GetSysColorBrush(windowActive_ ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const HBRUSH borderBrush = GetSysColorBrush(windowActive_ ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    const UINT captionFlag = windowActive_ ? DC_ACTIVE : 0;

    const RECT strips[] = {
        {wr.left, fy, fx, wr.bottom - fy},                     // left
        {wr.left, wr.top, wr.right, fy},                        // top
        {wr.right - fx, fy, wr.right, wr.bottom - fy},          // right
        {wr.left, wr.bottom - fy, wr.right, wr.bottom},         // bottom
        {wr.left, cap + fx - 1, wr.right, cap + fx},            // line under the caption
    };
    for (const RECT& strip : strips) FillRect(hDC, &strip, borderBrush);

    RECT c = PlainCaptionRect(m, wr.right - wr.left);
    OffsetRect(&c, wr.left, wr.top);
    const int w = c.right - c.left;
    const int h = c.bottom - c.top;
    // Composed off-screen and copied in one blit, so the caption never
    // flickers; straight into the window DC only when the surface is missing
    // or narrower than the caption (a window wider than the screen).
    const bool offscreen = surface_ && surface_->selection.selected() && w <= surface_->width;
    const HDC target = offscreen ? surface_->dc.get() : hDC;
    const int ox = offscreen ? 0 : c.left;
    const int oy = offscreen ? 0 : c.top;

    const int textRight = w - 3 * h - 2;
    RECT text{ox, oy, ox + textRight, oy + h};
    DrawCaption(window_, target, &text, captionFlag | DC_ICON | DC_TEXT);
    const RECT buttonsBand{ox + textRight, oy, ox + w, oy + h};
    FillRect(target, &buttonsBand, captionBrush);

    const UINT maximize = IsZoomed(window_) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    const UINT kinds[] = {DFCS_CAPTIONCLOSE, maximize, DFCS_CAPTIONMIN};
    const std::array<RECT, 3> buttons = PlainButtonRects(m, wr.right - wr.left);
    for (size_t i = 0; i < buttons.size(); ++i) {
        RECT button = buttons[i];
        OffsetRect(&button, wr.left + ox - c.left, wr.top + oy - c.top);
        DrawFrameControl(target, &button, DFC_CAPTION, kinds[i]);
    }

    if (offscreen) BitBlt(hDC, c.left, c.top, w, h, target, 0, 0, SRCCOPY);
    RECT edge = wr;
    DrawEdge(hDC, &edge, EDGE_RAISED, BF_RECT);
}

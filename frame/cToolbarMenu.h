#pragma once
// Shows the popups of the caption menu bar under their bar items and lets the
// user slide from one to the next: Left / Right in the open menus, or the
// mouse moved onto another bar item, closes the current popup and opens the
// neighbour's. It watches the system's menu loop through the menu filter hook
// and WM_MENUSELECT. It reaches its bar through a raw pointer that holds no
// reference, so bar and tracker never keep each other alive.
#include <windows.h>

#include "frame/IMenuBarHost.h"
#include "plumbing/IMenuFilterClient.h"
#include "plumbing/ISubclass.h"

class cToolbarMenu : public ISubclass, public IMenuFilterClient {
public:
    cToolbarMenu() = default;
    ~cToolbarMenu() override;

    // Raises PlumbingError when the window cannot be subclassed.
    void Attach(HWND window, IMenuBarHost* bar);
    void Detach();

    // Shows bar item k's popup and returns when the user has left the menus
    // (the result of the last TrackPopupMenuEx). A nested call returns 0.
    int TrackPopup(int k);
    bool InLoop() const noexcept { return inLoop_; }

    // The bar item after (or before) start, wrapping round a bar of count items.
    static int NextItemOf(int start, bool backwards, int count) noexcept;

    // IMenuFilterClient: a message of the menu loop; handled swallows it.
    void MenuInput(const MSG& msg, bool& handled) override;

    // ISubclass: WM_MENUSELECT, after the window's own handling.
    MsgResponseMode MsgResponse() const override;
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    enum TrackState { kIdle = 0, kTracking = 2 };

    void MenuSelect(HMENU menu, UINT item, UINT flags) noexcept;
    void BackOutOfSubmenu();
    void PressItem(int k);
    int NextItem(int start, bool backwards) const;
    void SetTrackState(int state, int k);

    // The bar's operations, reached through a counted reference per call.
    int ItemCount() const;
    HMENU SubMenu(int k) const;
    int HitTestPoint(POINT screen) const;
    void ItemScreenRect(int k, RECT& rect) const;
    void SetHover(int k);
    void SetPressed(int k, bool flag);

    int trackState_ = kIdle;
    bool rightAllowed_ = false;
    bool leftAllowed_ = false;
    HMENU topPopup_ = nullptr;
    HMENU selectedMenu_ = nullptr;  // menu of the last selection; null = none yet
    int currentItem_ = 0;
    int nextItem_ = -1;
    bool inLoop_ = false;
    POINT lastMouse_{};  // where the mouse was when last seen in the loop
    HWND window_ = nullptr;
    IMenuBarHost* bar_ = nullptr;  // no reference held
};

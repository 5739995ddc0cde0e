#pragma once
// The caption menu bar's announcements to screen readers and other
// accessibility clients. Menus are modal, so one menu mode at a time runs
// on a thread, nested scopes inside it: the keyboard selection of the bar,
// the popups it opens. The outermost scope raises EVENT_SYSTEM_MENUSTART when
// it begins and EVENT_SYSTEM_MENUEND when it ends; the items are announced
// with EVENT_OBJECT_FOCUS as they are selected or opened. All of them name the
// window's OBJID_MENU object, whose children are the bar items (1-based).
#include <windows.h>

class MenuModeScope {
public:
    explicit MenuModeScope(HWND window) noexcept;
    ~MenuModeScope();
    MenuModeScope(const MenuModeScope&) = delete;
    MenuModeScope& operator=(const MenuModeScope&) = delete;

    // True when an inner scope (a popup) has begun and ended inside this one
    // since it began.
    bool InnerScopeRan() const noexcept;

private:
    HWND window_;
    unsigned startedAt_;
};

// Bar item k is the one the user is on now.
void NotifyMenuItemFocus(HWND window, int k) noexcept;

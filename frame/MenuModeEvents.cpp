#include "frame/MenuModeEvents.h"

namespace {

// Per thread: a menu mode belongs to the thread that runs its loop.
thread_local int t_depth = 0;
thread_local unsigned t_scopesBegun = 0;

}  // namespace

MenuModeScope::MenuModeScope(HWND window) noexcept : window_(window), startedAt_(++t_scopesBegun) {
    if (t_depth++ == 0) NotifyWinEvent(EVENT_SYSTEM_MENUSTART, window_, OBJID_MENU, CHILDID_SELF);
}

MenuModeScope::~MenuModeScope() {
    if (--t_depth == 0) {
        NotifyWinEvent(EVENT_SYSTEM_MENUEND, window_, OBJID_MENU, CHILDID_SELF);
    } else {
        // An inner scope ended while an outer one waits in its own loop: wake
        // that loop, so it learns at once that the menus were left meanwhile.
        PostMessageW(window_, WM_NULL, 0, 0);
    }
}

bool MenuModeScope::InnerScopeRan() const noexcept { return t_scopesBegun != startedAt_; }

void NotifyMenuItemFocus(HWND window, int k) noexcept {
    if (k >= 1) NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_MENU, k);
}

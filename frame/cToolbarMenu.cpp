#include "frame/cToolbarMenu.h"

#include "frame/MenuModeEvents.h"
#include "plumbing/GSubclass.h"
#include "plumbing/mDeclares.h"

cToolbarMenu::~cToolbarMenu() {
    Detach();
}

void cToolbarMenu::Attach(HWND window, IMenuBarHost* bar) {
    Detach();
    window_ = window;
    SendMessageW(window_, WM_ENTERMENULOOP, 0, 0);
    GSubclass::AttachMessage(this, window_, WM_MENUSELECT);
    bar_ = bar;
}

void cToolbarMenu::Detach() {
    if (window_) {
        // The engine answers by putting the popup items back (via the bar).
        SendMessageW(window_, WM_EXITMENULOOP, 0, 0);
        GSubclass::DetachMessage(this, window_, WM_MENUSELECT);
        window_ = nullptr;
    }
    // The hook module keeps the last tracker's raw pointer; it must not
    // outlive this object.
    mDeclares::ForgetMenuTracker(this);
    bar_ = nullptr;
}

int cToolbarMenu::TrackPopup(int k) {
    if (inLoop_) return 0;
    inLoop_ = true;
    // Whatever leaves the loop, the tracker must be usable again and the
    // filter must not stay installed.
    struct LoopGuard {
        bool& inLoop;
        ~LoopGuard() {
            mDeclares::StopMenuFilter();
            inLoop = false;
        }
    } guard{inLoop_};

    nextItem_ = k;
    int result = 0;
    const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_);
    if (!bar) return result;
    // Screen readers hear the menus open and close, and which item is open.
    const MenuModeScope mode(window_);
    while (nextItem_ >= 0) {
        result = 0;
        nextItem_ = -1;
        SetPressed(k, true);
        SetTrackState(kTracking, k);
        NotifyMenuItemFocus(window_, k);
        // Showing and hiding popups makes the system repeat the last mouse
        // position as a move; only a real move may pick another bar item.
        GetCursorPos(&lastMouse_);
        mDeclares::StartMenuFilter(this);
        RECT rect{};
        ItemScreenRect(k, rect);
        TPMPARAMS params{sizeof(params), rect};
        if (HMENU popup = SubMenu(k)) {
            topPopup_ = popup;
            // Without TPM_RETURNCMD a chosen command reaches the window as WM_COMMAND.
            result = TrackPopupMenuEx(popup, TPM_VERTICAL, rect.left, rect.bottom, window_, &params);
        }
        mDeclares::StopMenuFilter();
        SetPressed(k, false);
        SetTrackState(kIdle, k);
        k = nextItem_;
    }
    return result;
}

void cToolbarMenu::SetTrackState(int state, int k) {
    if (state == trackState_) return;
    if (state == kIdle) k = -1;
    SetHover(k);
    if (state == kTracking) {
        rightAllowed_ = true;
        leftAllowed_ = true;
        selectedMenu_ = nullptr;
        currentItem_ = k;
    }
    trackState_ = state;
}

void cToolbarMenu::MenuSelect(HMENU menu, UINT item, UINT flags) noexcept {
    if (trackState_ == kIdle) return;
    // The item is a position only when it opens a submenu; a command's
    // identifier must not be taken for the position of some other item.
    const bool opensSubmenu = (flags != 0xFFFF) && (flags & MF_POPUP) && GetSubMenu(menu, static_cast<int>(item));
    rightAllowed_ = !opensSubmenu;
    leftAllowed_ = menu == topPopup_;
    selectedMenu_ = menu;
}

namespace {

// The menu below root whose item opens child; null when child is not below root.
HMENU ParentMenu(HMENU root, HMENU child) {
    for (int p = 0, n = GetMenuItemCount(root); p < n; ++p) {
        const HMENU sub = GetSubMenu(root, p);
        if (!sub) continue;
        if (sub == child) return root;
        if (const HMENU found = ParentMenu(sub, child)) return found;
    }
    return nullptr;
}

}  // namespace

void cToolbarMenu::BackOutOfSubmenu() {
    // Left or Escape in a submenu closes it, and the selection is back on
    // the item that opened it. The system does not always report that with
    // WM_MENUSELECT, and Left would then never leave the top popup.
    if (!selectedMenu_ || selectedMenu_ == topPopup_) return;
    const HMENU parent = ParentMenu(topPopup_, selectedMenu_);
    if (!parent) return;
    selectedMenu_ = parent;
    leftAllowed_ = parent == topPopup_;
    rightAllowed_ = false;  // the selected item opens the submenu just closed
}

void cToolbarMenu::MenuInput(const MSG& msg, bool& handled) {
    switch (msg.message) {
    case WM_KEYDOWN:
        if (msg.wParam == VK_LEFT && leftAllowed_) {
            PressItem(NextItem(currentItem_, true));
            handled = true;
        } else if (msg.wParam == VK_LEFT || msg.wParam == VK_ESCAPE) {
            BackOutOfSubmenu();  // the key itself is the menu loop's
        } else if (msg.wParam == VK_RIGHT && rightAllowed_) {
            PressItem(NextItem(currentItem_, false));
            handled = true;
        }
        break;
    case WM_MOUSEMOVE: {
        if (msg.pt.x == lastMouse_.x && msg.pt.y == lastMouse_.y) break;
        lastMouse_ = msg.pt;
        const int k = HitTestPoint(msg.pt);
        if (k >= 1 && k != currentItem_) PressItem(k);
        break;
    }
    case WM_LBUTTONDOWN:
        // A press on the open menu's own bar item would close the popup and
        // the bar would reopen it at once; keep it open instead.
        if (HitTestPoint(msg.pt) == currentItem_) handled = true;
        break;
    default:
        break;
    }
}

int cToolbarMenu::NextItemOf(int start, bool backwards, int count) noexcept {
    if (backwards) return start <= 1 ? count : start - 1;
    return start + 1 > count ? 1 : start + 1;
}

int cToolbarMenu::NextItem(int start, bool backwards) const {
    return NextItemOf(start, backwards, ItemCount());
}

void cToolbarMenu::PressItem(int k) {
    if (k > 0 && k != currentItem_ && SubMenu(k)) {
        // Ends the running TrackPopupMenuEx; TrackPopup then opens item k.
        PostMessageW(window_, WM_CANCELMODE, 0, 0);
        nextItem_ = k;
    }
}

MsgResponseMode cToolbarMenu::MsgResponse() const {
    return GSubclass::CurrentMessage() == WM_MENUSELECT ? mrPreviousFirst : mrConsume;
}

LRESULT cToolbarMenu::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept {
    if (iMsg == WM_MENUSELECT) MenuSelect(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
    return 0;
}

int cToolbarMenu::ItemCount() const {
    const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_);
    return bar ? bar->ItemCount() : 0;
}

HMENU cToolbarMenu::SubMenu(int k) const {
    const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_);
    return bar ? bar->SubMenu(k) : nullptr;
}

int cToolbarMenu::HitTestPoint(POINT screen) const {
    const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_);
    return bar ? bar->HitTestPoint(screen) : 0;
}

void cToolbarMenu::ItemScreenRect(int k, RECT& rect) const {
    if (const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_)) bar->ItemScreenRect(k, rect);
}

void cToolbarMenu::SetHover(int k) {
    if (const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_)) bar->SetHover(k);
}

void cToolbarMenu::SetPressed(int k, bool flag) {
    const Ref<IMenuBarHost> bar = ObjectFromPointer(bar_);
    if (bar && k >= 1 && k <= bar->ItemCount()) bar->SetPressed(k, flag);
}

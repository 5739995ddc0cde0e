#include "frame/CaptionAccessible.h"

#include <string>

#include "frame/AccessibleElements.h"
#include "frame/CaptionLayout.h"
#include "frame/MenuItemStore.h"
#include "frame/MenuKeys.h"
#include "frame/cMenuBar.h"
#include "frame/cOrvane.h"

namespace {

bool Hidden(HWND window) { return !IsWindowVisible(window) || IsIconic(window); }

// The caption band's two rows on the screen: the title above, the menu bar
// below, split where the bar's items begin.
struct Band {
    RECT title{}, bar{};
};

Band CaptionBand(HWND window, const cOrvane& painter, const cMenuBar& bar) {
    RECT w{};
    GetWindowRect(window, &w);
    const LONG bottom = w.top + painter.CaptionBandHeight();
    LONG split = w.top + painter.CaptionBandHeight() / 2;
    RECT item{};
    bar.ItemScreenRect(1, item);
    if (bar.ItemCount() >= 1 && item.top > w.top && item.top < bottom) split = item.top;
    return {RECT{w.left, w.top, w.right, split}, RECT{w.left, split, w.right, bottom}};
}

// Common to both objects: the link, turned into counted references per call.
class CaptionElements : public AccessibleElements {
protected:
    explicit CaptionElements(std::shared_ptr<const CaptionLink> link)
        : AccessibleElements(link->window), link_(std::move(link)) {}

    bool Connected() const override {
        return link_->window && link_->painter && link_->bar && IsWindow(link_->window);
    }
    Ref<cOrvane> Painter() const { return ObjectFromPointer(link_->painter); }
    Ref<cMenuBar> Bar() const { return ObjectFromPointer(link_->bar); }

    std::shared_ptr<const CaptionLink> link_;
};

class MenuBarAccessible final : public CaptionElements {
public:
    explicit MenuBarAccessible(std::shared_ptr<const CaptionLink> link) : CaptionElements(std::move(link)) {}

private:
    long ChildCount() const override { return Bar()->ItemCount(); }

    AccessibleElement Describe(long child) const override {
        const Ref<cMenuBar> bar = Bar();
        const long hidden = Hidden(Window()) ? STATE_SYSTEM_INVISIBLE : 0;
        AccessibleElement e;
        if (child == CHILDID_SELF) {
            e.role = ROLE_SYSTEM_MENUBAR;
            e.name = kMenuBarName;
            e.state = hidden;
            e.screen = CaptionBand(Window(), *Painter(), *bar).bar;
            return e;
        }
        const int k = static_cast<int>(child);
        const std::wstring text = BarItemText(bar->hMenu(), k);
        e.role = ROLE_SYSTEM_MENUITEM;
        e.name = WithoutMnemonicMarks(text);
        if (const wchar_t mnemonic = MnemonicOf(text)) e.shortcut = std::wstring(L"Alt+") + mnemonic;
        e.state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HASPOPUP | hidden;
        if (bar->HoverItem() == k) e.state |= STATE_SYSTEM_HOTTRACKED;
        if (bar->PressedItem() == k) e.state |= STATE_SYSTEM_PRESSED;
        if (Focused() == child) e.state |= STATE_SYSTEM_FOCUSED;
        e.defaultAction = kOpenAction;
        bar->ItemScreenRect(k, e.screen);
        return e;
    }

    long HitTest(POINT screen) const override {
        const Ref<cMenuBar> bar = Bar();
        if (const int k = bar->HitTestPoint(screen); k >= 1) return k;
        const RECT band = CaptionBand(Window(), *Painter(), *bar).bar;
        return PtInRect(&band, screen) ? CHILDID_SELF : -1;
    }

    // The item the keyboard has selected, or the one whose popup is open.
    long Focused() const override {
        const Ref<cMenuBar> bar = Bar();
        if (bar->KeyboardItem() >= 1) return bar->KeyboardItem();
        if (bar->InMenuLoop() && bar->PressedItem() >= 1) return bar->PressedItem();
        return -1;
    }

    // Posted, not run: the popup's menu loop would hold the caller until
    // the user has left the menus.
    bool DoDefaultAction(long child) override {
        if (child == CHILDID_SELF) return false;
        return PostMessageW(Window(), link_->openItemMessage, static_cast<WPARAM>(child), 0) != FALSE;
    }
};

class TitleBarAccessible final : public CaptionElements {
public:
    explicit TitleBarAccessible(std::shared_ptr<const CaptionLink> link) : CaptionElements(std::move(link)) {}

private:
    // The children as every title bar numbers them; this caption has no
    // input-method or help button, so those two are never shown.
    enum : long { kIme = 1, kMinimizeChild = 2, kMaximizeChild = 3, kHelp = 4, kCloseChild = 5 };

    static int ButtonOf(long child) {
        using namespace CaptionLayout;
        switch (child) {
        case kMinimizeChild: return kMinimize;
        case kMaximizeChild: return kMaximize;
        case kCloseChild: return kClose;
        default: return -1;
        }
    }

    long ChildCount() const override { return kCloseChild; }

    AccessibleElement Describe(long child) const override {
        const Ref<cOrvane> painter = Painter();
        const long hidden = Hidden(Window()) ? STATE_SYSTEM_INVISIBLE : 0;
        RECT w{};
        GetWindowRect(Window(), &w);
        AccessibleElement e;
        if (child == CHILDID_SELF) {
            e.role = ROLE_SYSTEM_TITLEBAR;
            std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Window())) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(Window(), text.data(), static_cast<int>(text.size()))));
            e.name = text;
            e.state = hidden;
            e.screen = CaptionBand(Window(), *painter, *Bar()).title;
            return e;
        }
        e.role = ROLE_SYSTEM_PUSHBUTTON;
        switch (child) {
        case kIme: e.name = L"输入法"; break;
        case kMinimizeChild: e.name = kMinimizeName; break;
        case kMaximizeChild: e.name = IsZoomed(Window()) ? kRestoreName : kMaximizeName; break;
        case kHelp: e.name = L"帮助"; break;
        default: e.name = kCloseName; break;
        }
        RECT r{};
        bool pressed = false;
        if (ButtonOf(child) < 0 || !painter->CaptionButton(ButtonOf(child), r, pressed)) {
            e.state = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE;
            return e;
        }
        e.state = hidden | (pressed ? STATE_SYSTEM_PRESSED : 0);
        e.defaultAction = kPressAction;
        OffsetRect(&r, w.left, w.top);
        e.screen = r;
        return e;
    }

    long HitTest(POINT screen) const override {
        for (long child = kIme; child <= kCloseChild; ++child) {
            const AccessibleElement e = Describe(child);
            if (!(e.state & STATE_SYSTEM_INVISIBLE) && PtInRect(&e.screen, screen)) return child;
        }
        const RECT title = CaptionBand(Window(), *Painter(), *Bar()).title;
        return PtInRect(&title, screen) ? CHILDID_SELF : -1;
    }

    // As the caption's own buttons do it: a system command, posted.
    bool DoDefaultAction(long child) override {
        RECT r{};
        bool pressed = false;
        if (ButtonOf(child) < 0 || !Painter()->CaptionButton(ButtonOf(child), r, pressed)) return false;
        WPARAM command = SC_CLOSE;
        if (child == kMinimizeChild) command = SC_MINIMIZE;
        if (child == kMaximizeChild) command = IsZoomed(Window()) ? SC_RESTORE : SC_MAXIMIZE;
        return PostMessageW(Window(), WM_SYSCOMMAND, command, 0) != FALSE;
    }
};

}  // namespace

// Each made with the one reference the caller adopts; COM's Release frees it.
ComRef<IAccessible> NewMenuBarAccessible(std::shared_ptr<const CaptionLink> link) {
    return ComRef<IAccessible>::Adopt(new MenuBarAccessible(std::move(link)));
}

ComRef<IAccessible> NewTitleBarAccessible(std::shared_ptr<const CaptionLink> link) {
    return ComRef<IAccessible>::Adopt(new TitleBarAccessible(std::move(link)));
}

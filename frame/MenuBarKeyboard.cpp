#include "frame/MenuBarKeyboard.h"

#include <windows.h>

#include "frame/MenuItemStore.h"
#include "frame/MenuKeys.h"
#include "frame/MenuModeEvents.h"
#include "frame/cMenuBar.h"

namespace {

bool IsButtonPress(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCXBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// The bar item whose mnemonic is the key's letter or digit; 0 when none.
int ItemForMnemonic(const cMenuBar& bar, unsigned vk) {
    for (int k = 1; k <= bar.ItemCount(); ++k) {
        if (MnemonicOf(BarItemText(bar.hMenu(), k)) == UpperChar(static_cast<wchar_t>(vk))) return k;
    }
    return 0;
}

}  // namespace

void RunMenuBarSelection(cMenuBar& bar) {
    const HWND window = bar.hWnd();
    if (!window || bar.ItemCount() < 1 || bar.InMenuLoop()) return;
    const Ref<cMenuBar> hold(&bar);
    const MenuModeScope mode(window);
    // Ends with the window's activation, as the system's menu mode does.
    const bool wasActive = GetActiveWindow() == window;
    int item = 1;
    bar.KeyboardItem(item);
    NotifyMenuItemFocus(window, item);
    const auto select = [&](int k) {
        if (k == item) return;
        item = k;
        bar.KeyboardItem(item);
        NotifyMenuItemFocus(window, item);
    };

    // Only a real move of the pointer picks an item: repaints make the
    // system repeat the last position as a move.
    POINT lastMouse{};
    GetCursorPos(&lastMouse);

    int open = 0;
    MSG msg;
    bool passOn = false;  // the message that ended the selection is the window's
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The loop's end is the program's: leave it for the outer loop.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // A popup opened by Alt+letter meanwhile, the window gone or no longer
        // active: the selection is over, and the message goes on as usual.
        if (mode.InnerScopeRan() || !IsWindow(window) || (wasActive && GetActiveWindow() != window)) {
            passOn = true;
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            const BarKeyStep step = StepForBarKey(static_cast<unsigned>(msg.wParam), item, bar.ItemCount());
            if (step.action == BarKey::Leave) break;
            if (step.action == BarKey::Move) select(step.item);
            if (step.action == BarKey::Open) {
                open = step.item;
                break;
            }
            if (step.action == BarKey::Mnemonic) {
                if (const int k = ItemForMnemonic(bar, static_cast<unsigned>(msg.wParam))) {
                    open = k;
                    break;
                }
            }
            continue;
        }
        switch (msg.message) {
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            continue;  // the keys belong to the selection while it lasts
        case WM_MOUSEMOVE:
            if (msg.hwnd == window) {
                // The pointer moved onto another item selects it; elsewhere
                // over the window it changes nothing.
                const bool moved = msg.pt.x != lastMouse.x || msg.pt.y != lastMouse.y;
                lastMouse = msg.pt;
                if (const int k = bar.HitTestPoint(msg.pt); moved && k >= 1) select(k);
                continue;
            }
            break;
        default:
            break;
        }
        if (IsButtonPress(msg.message)) {
            passOn = true;  // a click anywhere leaves, and does what it does
            break;
        }
        DispatchMessageW(&msg);
    }
    bar.KeyboardItem(0);
    if (passOn) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (open > 0) bar.ShowItem(open);
}

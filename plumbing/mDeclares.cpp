#include "plumbing/mDeclares.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <vector>

#include "plumbing/HookHandle.h"

namespace mDeclares {
namespace {

HookHandle g_keyboardHook;
std::vector<INCEngine*> g_engines;
HookHandle g_menuFilterHook;
IMenuFilterClient* g_menuTracker = nullptr;

constexpr std::uint32_t kAltDownFlag = 1u << 29;
constexpr std::uint32_t kKeyUpFlag = 1u << 31;

// Keys that keep their system meaning with Alt: F1..F12 (Alt+F4 closes),
// Escape (Alt+Esc switches windows) and Delete.
bool IsReservedAltKey(WPARAM vKey) {
    return (vKey >= VK_F1 && vKey <= VK_F12) || vKey == VK_ESCAPE || vKey == VK_DELETE;
}

}  // namespace

void RegisterEngine(INCEngine* engine) {
    if (!g_keyboardHook) {
        g_keyboardHook = HookHandle(SetWindowsHookExW(WH_KEYBOARD, &KeyboardHookProc, nullptr, GetCurrentThreadId()));
    }
    if (FindEngine(engine) == 0) g_engines.push_back(engine);
}

void UnregisterEngine(INCEngine* engine) {
    if (const int k = FindEngine(engine)) g_engines.erase(g_engines.begin() + (k - 1));
    if (g_engines.empty()) {
        std::vector<INCEngine*>().swap(g_engines);
        g_keyboardHook.reset();
    }
}

int FindEngine(const INCEngine* engine) noexcept {
    const auto it = std::find(g_engines.begin(), g_engines.end(), engine);
    return it == g_engines.end() ? 0 : static_cast<int>(it - g_engines.begin()) + 1;
}

bool FindActiveEngine(Ref<INCEngine>& engine) {
    // By index: a WindowActive answer must not be able to invalidate the scan.
    for (size_t i = 0; i < g_engines.size(); ++i) {
        if (!g_engines[i]) continue;
        Ref<INCEngine> candidate = ObjectFromPointer(g_engines[i]);
        if (candidate->WindowActive()) {
            engine = std::move(candidate);
            return true;
        }
    }
    return false;
}

int EngineCount() noexcept {
    return static_cast<int>(g_engines.size());
}

bool KeyboardHookInstalled() noexcept {
    return static_cast<bool>(g_keyboardHook);
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        const auto flags = static_cast<std::uint32_t>(lParam);
        const bool candidate = code == HC_ACTION && g_keyboardHook && (flags & kAltDownFlag) && wParam > 0 &&
                               wParam != VK_MENU && !(flags & kKeyUpFlag);
        // Only the "down now" bit: the low bit of GetAsyncKeyState reports a
        // press since the last query, which would drop the next Alt+key after
        // any Ctrl press.
        if (candidate && !(GetAsyncKeyState(VK_CONTROL) & 0x8000) && !IsReservedAltKey(wParam)) {
            Ref<INCEngine> engine;
            if (FindActiveEngine(engine) && engine->HandleAltKey(static_cast<int>(wParam)) != 0) return 1;
        }
    } catch (const std::exception&) {
        // An engine that failed on the key (the program's own errors and
        // running out of memory all come as std::exception) has not used
        // it: the key passes on to the window as if no menu bar were there.
        // Anything else is a fault, stopped here by noexcept.
    }
    return CallNextHookEx(g_keyboardHook.get(), code, wParam, lParam);
}

void StartMenuFilter(IMenuFilterClient* tracker) {
    g_menuFilterHook.reset();
    g_menuTracker = tracker;
    g_menuFilterHook = HookHandle(SetWindowsHookExW(WH_MSGFILTER, &MenuFilterHookProc, nullptr, GetCurrentThreadId()));
}

void StopMenuFilter() {
    g_menuFilterHook.reset();
}

void ForgetMenuTracker(const IMenuFilterClient* tracker) {
    if (g_menuTracker != tracker) return;
    g_menuFilterHook.reset();
    g_menuTracker = nullptr;
}

IMenuFilterClient* MenuTracker() noexcept {
    return g_menuTracker;
}

bool MenuFilterInstalled() noexcept {
    return static_cast<bool>(g_menuFilterHook);
}

LRESULT CALLBACK MenuFilterHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == MSGF_MENU && g_menuTracker && lParam) {
        try {
            const MSG msg = *reinterpret_cast<const MSG*>(lParam);
            const Ref<IMenuFilterClient> tracker = ObjectFromPointer(g_menuTracker);
            bool handled = false;
            tracker->MenuInput(msg, handled);
            if (handled) return 1;
        } catch (const std::exception&) {
            // The tracker failed on this message: the menu loop gets it as if
            // no tracker watched, and the popup behaves like a plain one.
        }
    }
    return CallNextHookEx(g_menuFilterHook.get(), code, wParam, lParam);
}

}  // namespace mDeclares

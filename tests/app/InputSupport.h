#pragma once
// Keys and drops as the program's message loop receives them.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/MessageLoop.h"
#include "app/frmMain.h"

// Runs the queue the way the program's own loop does, dialog keys included.
inline void PumpLoop(frmMain& main) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(main, msg);
}

// A key press posted to `target` with the modifier keys held in the
// thread's key state, as GetKeyState sees them during real typing.
inline void PressKey(frmMain& main, HWND target, UINT vk, std::initializer_list<UINT> held = {}) {
    BYTE state[256];
    GetKeyboardState(state);
    for (UINT k : held) state[k] |= 0x80;
    SetKeyboardState(state);
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
    PumpLoop(main);
    for (UINT k : held) state[k] &= static_cast<BYTE>(~0x80);
    SetKeyboardState(state);
}

// A drop in the layout DragQueryFile reads: DROPFILES, then the wide paths,
// each NUL-terminated, and one more NUL. The receiver frees it (DragFinish).
inline HDROP MakeDrop(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const auto& p : paths) list += p + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

inline void DropOn(frmMain& main, HWND target, const std::vector<std::wstring>& paths) {
    SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    PumpLoop(main);
}

// Real key presses through the system's input queue, as a person's arrive
// at the focused window; `held` keys go down first and up last.
inline void SendKeys(UINT vk, std::initializer_list<UINT> held = {}) {
    std::vector<INPUT> inputs;
    const auto key = [&inputs](UINT code, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = static_cast<WORD>(code);
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    for (UINT k : held) key(k, false);
    key(vk, false);
    key(vk, true);
    for (UINT k : held) key(k, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Runs the program's loop until `done` holds or `ms` have passed.
template <class F>
bool LoopUntil(frmMain& main, F&& done, DWORD ms = 5000) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpLoop(main);
        if (done()) return true;
        if (GetTickCount() - start > ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

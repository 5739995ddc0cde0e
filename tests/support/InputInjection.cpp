#include "tests/support/InputInjection.h"

namespace testinput {

namespace {

DWORD g_pause = 0;
POINT g_pointer{};  // where the last MoveMouse put the pointer
bool g_pointerKnown = false;

void Send(INPUT& in) {
    SendInput(1, &in, sizeof(in));
    if (g_pause) Sleep(g_pause);
}

}  // namespace

void SetPause(DWORD ms) { g_pause = ms; }

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    Send(in);
}

void Tap(WORD vk) {
    Key(vk, false);
    Key(vk, true);
}

void AltTap(WORD vk) {
    Key(VK_MENU, false);
    Tap(vk);
    Key(VK_MENU, true);
}

void MouseAt(POINT screen, DWORD flags) {
    // The inverse of the system's scaling of absolute coordinates
    // (x * width / 65536), so the pointer lands on the very pixel.
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = ((screen.x << 16) + cx - 1) / cx;
    in.mi.dy = ((screen.y << 16) + cy - 1) / cy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    Send(in);
}

void MoveMouse(POINT screen) {
    g_pointer = screen;
    g_pointerKnown = true;
    MouseAt(screen);
}

void Mouse(DWORD flags) {
    if (g_pointerKnown) {
        MouseAt(g_pointer, flags);
        return;
    }
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    Send(in);
}

void Click(POINT screen) {
    MoveMouse(screen);
    MouseAt(screen, MOUSEEVENTF_LEFTDOWN);
    MouseAt(screen, MOUSEEVENTF_LEFTUP);
}

}  // namespace testinput

#include "tests/support/InputInjection.h"

namespace testinput {

namespace {

DWORD g_pause = 0;

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

void MoveMouse(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(in);
}

void Mouse(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    Send(in);
}

void Click(POINT screen) {
    MoveMouse(screen);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
}

}  // namespace testinput

#pragma once
// Real keyboard and mouse input through SendInput, as a person's hands give
// it. Tests that drive another process set a pause after each event, so the
// other side's message loop sees the events one at a time.
#include <windows.h>

namespace testinput {

// Milliseconds to wait after each injected event (0, the default: none).
void SetPause(DWORD ms);

void Key(WORD vk, bool up);
void Tap(WORD vk);
void AltTap(WORD vk);
// Moves the pointer to a screen position.
void MoveMouse(POINT screen);
// Presses or releases buttons where the pointer is (MOUSEEVENTF_ flags).
void Mouse(DWORD flags);
// Moves there, then a left button press and release.
void Click(POINT screen);

}  // namespace testinput

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
// Pointer input at a screen position given with it (MOUSEEVENTF_ button
// flags, or none for a plain move). Under Wine the position input is routed
// by and the one GetCursorPos reports can differ for a while after a move,
// so a press or release sent without a position may land where the pointer
// was before.
void MouseAt(POINT screen, DWORD flags = 0);
// Moves the pointer to a screen position.
void MoveMouse(POINT screen);
// Presses or releases buttons where the last MoveMouse put the pointer.
void Mouse(DWORD flags);
// Moves there, then a left button press and release, both at that point.
void Click(POINT screen);

}  // namespace testinput

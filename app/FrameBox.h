#pragma once
// A caption-less frame: a container window with an etched border, painted in
// its own background colour. Its children's notifications and colour
// requests go on to the frame's parent, so the main window handles every
// control in one place.
#include <windows.h>

namespace FrameBox {

// Registers the window class once and creates a frame.
HWND Create(HWND parent, int id, int x, int y, int cx, int cy);

// Background colour used to paint the frame (a COLORREF).
void SetBackColor(HWND frame, COLORREF color);

}  // namespace FrameBox

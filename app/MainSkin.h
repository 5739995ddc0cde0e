#pragma once
// The main window's skinned frame: the caption painter with the program's
// colours and fonts, attached to the window.
#include <windows.h>

#include "frame/cOrvane.h"
#include "plumbing/RefCounted.h"

// The attached painter, drawing at dpi (the window's); empty when attaching
// failed, and the window keeps its standard frame. `caption` and `border`
// are the skin's pictures, at 96 DPI; the painter copies them, so they may
// go once this returns.
Ref<cOrvane> AttachMainSkin(HWND window, HBITMAP caption, HBITMAP border, COLORREF menuBack, int dpi);

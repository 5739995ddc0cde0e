#pragma once
// The main window's skinned frame: the caption painter with the program's
// colours and fonts, attached to the window.
#include <windows.h>

#include "frame/cOrvane.h"
#include "plumbing/RefCounted.h"

// The attached painter; empty when attaching failed, and the window keeps
// its standard frame. `caption` and `border` are the skin's pictures and
// must outlive the painter.
Ref<cOrvane> AttachMainSkin(HWND window, HBITMAP caption, HBITMAP border, COLORREF menuBack);

#pragma once
// OLE colours: an RGB value, or a system colour with the high bit set. They
// are kept as given and turned into RGB only when something is drawn.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

// The RGB value of an OLE colour; CLR_INVALID (-1) when it cannot be translated.
COLORREF TranslateColor(OLE_COLOR color, HPALETTE palette = nullptr) noexcept;

// The OLE colour that stands for system colour `index` (COLOR_MENU...).
constexpr OLE_COLOR SystemColor(int index) noexcept { return 0x80000000u | static_cast<OLE_COLOR>(index); }

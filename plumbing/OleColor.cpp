#include "plumbing/OleColor.h"

COLORREF TranslateColor(OLE_COLOR color, HPALETTE palette) noexcept {
    COLORREF rgb = 0;
    return SUCCEEDED(OleTranslateColor(color, palette, &rgb)) ? rgb : CLR_INVALID;
}

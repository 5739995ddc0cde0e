#pragma once
// What a hosting window tells a control about itself and its surroundings:
// the ambient font and colours a new or unsaved control starts from, and the
// instance's name in that window.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "plumbing/StdFont.h"

// OLE colours that refer to system colours (high bit set, index below).
constexpr OLE_COLOR kSysColorBtnFace = 0x80000000u | COLOR_BTNFACE;
constexpr OLE_COLOR kSysColorBtnText = 0x80000000u | COLOR_BTNTEXT;

struct ControlAmbient {
    Ref<StdFont> Font;                      // null: a plain default font
    OLE_COLOR BackColor = kSysColorBtnFace;
    OLE_COLOR ForeColor = kSysColorBtnText;
    std::wstring Name;                      // e.g. L"XLinkLabel1"
};

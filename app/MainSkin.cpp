#include "app/MainSkin.h"

#include <exception>

Ref<cOrvane> AttachMainSkin(HWND window, HBITMAP caption, HBITMAP border, COLORREF menuBack, int dpi) {
    Ref<cOrvane> painter = MakeRef<cOrvane>();
    painter->ActiveCaptionColor(0xFFFFFF);
    painter->InActiveCaptionColor(0xC0C0C0);
    painter->ActiveMenuColor(0);
    painter->ActiveMenuColorOver(0);
    painter->InActiveMenuColor(0);
    painter->MenuBackgroundColor(menuBack);
    painter->CaptionFont()->Name(L"宋体");
    painter->CaptionFont()->Size(9);
    painter->MenuFont()->Name(L"宋体");
    painter->MenuFont()->Size(9);
    painter->Dpi(dpi);
    try {
        painter->Attach(window, caption, border, 19, 20, 90, 140, 240, 400);
    } catch (const std::exception&) {
        return {};  // the window keeps its standard frame
    }
    return painter;
}

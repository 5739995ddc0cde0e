#pragma once
// The main window's client area laid out for a DPI: where each control sits
// in its container (in twips, 15 to a pixel at 96 DPI), the list's columns,
// and the two fonts the controls are drawn with. One table for the first
// layout and for every DPI the window meets afterwards, so a return to the
// first DPI looks exactly like a fresh start.
#include <windows.h>

#include <functional>

#include "app/ListView.h"
#include "frame/cOrvane.h"
#include "plumbing/GdiGuards.h"
#include "plumbing/StdFont.h"

class MainLayout {
public:
    static constexpr int kClientWidth = 8415;  // twips
    static constexpr int kClientHeight = 5775;
    static int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

    // The list's seven columns with their headers, as wide as at dpi.
    static void AddColumns(ListView& list, int dpi);

    // Places each control of the layout (control(id) gives it; an id
    // without a window is skipped), gives the controls fonts made for dpi
    // from `ui`, or `label` for the two labels, and sets the list's column
    // widths. The fonts are this object's and stay until the next Apply.
    void Apply(int dpi, const std::function<HWND(int)>& control, HWND list, const StdFont& ui, const StdFont& label);

    // The size of `window` that holds the layout's client area at dpi, in
    // its frame at dpi: the skin's (painter) or the system's. False when the
    // frame's measures at dpi are not known here.
    static bool WindowSizeFor(HWND window, const cOrvane* painter, int dpi, SIZE& size);

private:
    GdiObject<HFONT> ui_;
    GdiObject<HFONT> label_;
};

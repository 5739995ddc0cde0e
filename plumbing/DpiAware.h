#pragma once
// The DPI of a window and the system's measures at a DPI. The functions that
// came with per-monitor DPI (Windows 8.1 and 10) are looked up at run time:
// where they are missing, every window has the system's DPI and the plain
// calls answer for it.
#include <windows.h>

// Messages of Windows 10 1703 that the SDK level the program is built for
// (Windows 7) does not name. Older systems never send them.
constexpr UINT kWmDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT, to each child
constexpr UINT kWmGetDpiScaledSize = 0x02E4;       // WM_GETDPISCALEDSIZE, before WM_DPICHANGED

// The system's DPI (LOGPIXELSY of the screen): what every window has on a
// system without per-monitor DPI. Never 0.
int SystemDpi() noexcept;

// The DPI `window` is drawn at: GetDpiForWindow where the system has it,
// else the system's. Never 0. A window answering WM_DPICHANGED takes the
// message's value instead, which this may not report yet.
int WindowDpi(HWND window) noexcept;

// A size metric (SM_CXFRAME, SM_CYCAPTION...) at dpi: GetSystemMetricsForDpi,
// else GetSystemMetrics scaled from the system's DPI. Sizes only, not counts.
int MetricForDpi(int index, int dpi) noexcept;

// The window rectangle around client rectangle rc at dpi
// (AdjustWindowRectExForDpi, else AdjustWindowRectEx at the system's DPI).
bool AdjustWindowRectForDpi(RECT& rc, DWORD style, bool menu, DWORD exStyle, int dpi) noexcept;

// The fonts of captions, menus and message boxes at dpi
// (SystemParametersInfoForDpi, else the system's scaled from its DPI).
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) noexcept;

// Lets the system scale a standard frame with the window's DPI on Windows 10
// 1607, whose per-monitor awareness does not do it by itself. Call at
// WM_NCCREATE; elsewhere (and where the call is missing) nothing happens.
void EnableFrameScaling(HWND window) noexcept;

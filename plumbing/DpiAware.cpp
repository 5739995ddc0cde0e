#include "plumbing/DpiAware.h"

#include <initializer_list>

#include "plumbing/SystemLibrary.h"

namespace {

constexpr int kBaseDpi = 96;

// A user32 function that older systems lack; null there.
template <class F>
F User32(const char* name) noexcept {
    return SystemFunction<F>(L"user32.dll", name);
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);

// Each looked up once, on first use.
struct Functions {
    GetDpiForWindowFn getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    GetSystemMetricsForDpiFn getSystemMetricsForDpi = User32<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi =
        User32<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    SystemParametersInfoForDpiFn systemParametersInfoForDpi =
        User32<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    EnableNonClientDpiScalingFn enableNonClientDpiScaling =
        User32<EnableNonClientDpiScalingFn>("EnableNonClientDpiScaling");
};

const Functions& Api() noexcept {
    static const Functions functions;
    return functions;
}

int Valid(int dpi) noexcept { return dpi > 0 ? dpi : kBaseDpi; }

void ScaleFont(LOGFONTW& font, int dpi, int from) noexcept { font.lfHeight = MulDiv(font.lfHeight, dpi, from); }

}  // namespace

int SystemDpi() noexcept {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return Valid(dpi);
}

int WindowDpi(HWND window) noexcept {
    if (const auto get = Api().getDpiForWindow; get && window) {
        if (const UINT dpi = get(window)) return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int MetricForDpi(int index, int dpi) noexcept {
    dpi = Valid(dpi);
    if (const auto get = Api().getSystemMetricsForDpi) return get(index, static_cast<UINT>(dpi));
    const int system = SystemDpi();
    const int value = GetSystemMetrics(index);
    return dpi == system ? value : MulDiv(value, dpi, system);
}

bool AdjustWindowRectForDpi(RECT& rc, DWORD style, bool menu, DWORD exStyle, int dpi) noexcept {
    if (const auto adjust = Api().adjustWindowRectExForDpi) {
        return adjust(&rc, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(Valid(dpi))) != FALSE;
    }
    return AdjustWindowRectEx(&rc, style, menu ? TRUE : FALSE, exStyle) != FALSE;
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) noexcept {
    dpi = Valid(dpi);
    metrics.cbSize = sizeof(metrics);
    if (const auto get = Api().systemParametersInfoForDpi) {
        return get(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi)) != FALSE;
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
    const int system = SystemDpi();
    if (dpi != system) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont}) {
            ScaleFont(*font, dpi, system);
        }
    }
    return true;
}

void EnableFrameScaling(HWND window) noexcept {
    // Its answer is of no use: under per-monitor v2 (and on older systems)
    // the frame needs no help and the call may well fail.
    if (const auto enable = Api().enableNonClientDpiScaling) enable(window);
}

// The DPI functions: the window's own DPI, and the system's measures at
// another DPI, from the calls Windows 10 added or from the plain ones.
#include "plumbing/DpiAware.h"

#include <gtest/gtest.h>

TEST(DpiAware, AWindowHasADpiAndMeasuresGrowWithIt) {
    const int system = SystemDpi();
    EXPECT_GT(system, 0);
    EXPECT_EQ(WindowDpi(nullptr), system);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowDpi(window), system) << "one monitor, one DPI";
    DestroyWindow(window);

    for (const int index : {SM_CXFRAME, SM_CYCAPTION, SM_CYMENU, SM_CXSMICON}) {
        EXPECT_EQ(MetricForDpi(index, system), GetSystemMetrics(index)) << index;
    }
    // The frame's width is partly fixed; the rest doubles at 192.
    EXPECT_GT(MetricForDpi(SM_CXFRAME, 192), MetricForDpi(SM_CXFRAME, 96));
    for (const int index : {SM_CYCAPTION, SM_CYMENU, SM_CXSMICON}) {
        const int at96 = MetricForDpi(index, 96);
        EXPECT_GE(MetricForDpi(index, 192), 2 * at96 - 1) << index;
        EXPECT_LE(MetricForDpi(index, 192), 2 * at96 + 1) << index;
    }

    // The window around a client rectangle grows with the DPI too.
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT at96{0, 0, 200, 100}, at192{0, 0, 400, 200};
    ASSERT_TRUE(AdjustWindowRectForDpi(at96, style, false, 0, 96));
    ASSERT_TRUE(AdjustWindowRectForDpi(at192, style, false, 0, 192));
    EXPECT_GT(-at192.top, -at96.top) << "a taller caption";

    NONCLIENTMETRICSW small{}, large{};
    ASSERT_TRUE(NonClientMetricsForDpi(small, 96));
    ASSERT_TRUE(NonClientMetricsForDpi(large, 144));
    EXPECT_LT(large.lfMenuFont.lfHeight, small.lfMenuFont.lfHeight) << "a larger menu font (heights are negative)";
}

TEST(DpiAware, TheManifestMakesTheProgramPerMonitorAware) {
    // The test programs carry the program's manifest. Windows before 10
    // 1607 lack these calls and read the manifest's older entry instead.
    using GetContextFn = HANDLE(WINAPI*)();
    using AwarenessFn = int(WINAPI*)(HANDLE);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto context = reinterpret_cast<GetContextFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<AwarenessFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (!context || !awareness) GTEST_SKIP() << "no per-monitor DPI on this system";
    EXPECT_EQ(awareness(context()), 2) << "DPI_AWARENESS_PER_MONITOR_AWARE";
}

// The DPI functions: the window's own DPI, and the system's measures at
// another DPI, from the calls Windows 10 added or from the plain ones.
#include "plumbing/DpiAware.h"

#include <gtest/gtest.h>

TEST(DpiAware, MeasuresAtTheSystemsDpiAreItsOwnAndGrowWithTheDpi) {
    EXPECT_EQ(WindowDpi(nullptr), SystemDpi());
    for (const int index : {SM_CXFRAME, SM_CYCAPTION, SM_CYMENU}) {
        EXPECT_EQ(MetricForDpi(index, SystemDpi()), GetSystemMetrics(index)) << index;
        EXPECT_GT(MetricForDpi(index, 192), MetricForDpi(index, 96)) << index;
    }
    RECT at96{0, 0, 200, 100}, at192{0, 0, 400, 200};
    ASSERT_TRUE(AdjustWindowRectForDpi(at96, WS_OVERLAPPEDWINDOW, false, 0, 96));
    ASSERT_TRUE(AdjustWindowRectForDpi(at192, WS_OVERLAPPEDWINDOW, false, 0, 192));
    EXPECT_LT(at192.top, at96.top) << "a taller caption";
    NONCLIENTMETRICSW small{}, large{};
    ASSERT_TRUE(NonClientMetricsForDpi(small, 96) && NonClientMetricsForDpi(large, 144));
    EXPECT_LT(large.lfMenuFont.lfHeight, small.lfMenuFont.lfHeight) << "a larger menu font (heights are negative)";
}

TEST(DpiAware, TheManifestMakesTheProgramPerMonitorAware) {
    // The test programs carry the program's manifest. Windows before 10
    // 1607 lack these calls and read the manifest's older entry instead.
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto context = reinterpret_cast<HANDLE(WINAPI*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<int(WINAPI*)(HANDLE)>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (!context || !awareness) GTEST_SKIP() << "no per-monitor DPI on this system";
    EXPECT_EQ(awareness(context()), 2) << "DPI_AWARENESS_PER_MONITOR_AWARE";
}

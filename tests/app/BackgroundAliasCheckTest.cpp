#include "app/BackgroundAliasCheck.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "tests/support/TestSupport.h"

TEST(BackgroundAliasCheck, StoppingDoesNotWaitForAnInspectionHeldUpByTheNetwork) {
    // Stands in for a check stuck on a server that does not answer: it
    // ignores the stop and returns only when the test lets it.
    struct Held {
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> started{false}, returned{false};
        ~Held() { CloseHandle(release); }
    };
    const auto held = std::make_shared<Held>();
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    {
        BackgroundAliasCheck check([held](const std::vector<Entry>& entries, const std::wstring&, const UserPathKey&,
                                          const std::atomic<bool>&) {
            held->started = true;
            WaitForSingleObject(held->release, 60000);
            held->returned = true;
            return std::vector<AliasStore::Finding>(entries.size());
        });
        check.Start(window, WM_APP + 7, std::vector<Entry>(2), L"C:\\windows", {}, 0);
        ASSERT_TRUE(testsupport::WaitFor([&] { return held->started.load(); }));
        const DWORD start = GetTickCount();
        check.Stop();
        EXPECT_LT(GetTickCount() - start, 5000u) << "closing waited for the network";
        EXPECT_FALSE(check.Pending());
    }
    SetEvent(held->release);
    EXPECT_TRUE(testsupport::WaitFor([&] { return held->returned.load(); }));
    DestroyWindow(window);
}

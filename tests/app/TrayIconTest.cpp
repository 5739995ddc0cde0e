#include "app/TrayIcon.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr UINT kCallback = WM_USER + 376;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kCallback) return 7;  // the window's own answer, which must come back through the tray procedure
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A plain top-level window of the test's own class.
struct TestWindow {
    TestWindow() {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = CountingProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"TrayIconTestWindow";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        hwnd = CreateWindowW(L"TrayIconTestWindow", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(hwnd); }
    HWND hwnd;
};

}  // namespace

TEST(TrayIcon, RecordCarriesWindowCallbackIconAndTip) {
    TestWindow w;
    TrayIcon tray(kCallback, L"Tarvolo");
    const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(tray.Add(w.hwnd, icon, nullptr));
    const NOTIFYICONDATAW nid = tray.Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(nid.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(nid.hWnd, w.hwnd);
    EXPECT_EQ(nid.uID, 0u);
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 1400u);
    EXPECT_EQ(nid.hIcon, icon);
    EXPECT_STREQ(nid.szTip, L"Tarvolo");
    // A record for removal names the icon and nothing else.
    const NOTIFYICONDATAW bare = tray.Record(0);
    EXPECT_EQ(bare.hWnd, w.hwnd);
    EXPECT_EQ(bare.hIcon, nullptr);
    EXPECT_EQ(bare.szTip[0], L'\0');
}

TEST(TrayIcon, ReplacesTheProcedureWhileShownAndPassesEveryMessageOn) {
    TestWindow w;
    const LONG_PTR own = GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC);
    std::vector<LPARAM> heard;
    {
        TrayIcon tray(kCallback, L"Tarvolo");
        // The shell also tells of a pointer that happens to rest on the new
        // icon; only the clicks this test sends are counted.
        ASSERT_TRUE(tray.Add(w.hwnd, LoadIconW(nullptr, IDI_APPLICATION), [&](LPARAM m) {
            if (m == WM_RBUTTONUP || m == WM_LBUTTONDBLCLK) heard.push_back(m);
        }));
        EXPECT_TRUE(tray.Shown());
        EXPECT_NE(GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC), own);
        EXPECT_FALSE(tray.Add(w.hwnd, nullptr, nullptr));  // never twice: the saved procedure would be ours

        EXPECT_EQ(SendMessageW(w.hwnd, kCallback, 0, WM_RBUTTONUP), 7);
        EXPECT_EQ(SendMessageW(w.hwnd, kCallback, 0, WM_LBUTTONDBLCLK), 7);
        SendMessageW(w.hwnd, WM_USER + 1, 0, WM_RBUTTONUP);  // another message is not the icon's
        EXPECT_EQ(heard, (std::vector<LPARAM>{WM_RBUTTONUP, WM_LBUTTONDBLCLK}));

        EXPECT_TRUE(tray.Modify(LoadIconW(nullptr, IDI_INFORMATION)));
        EXPECT_TRUE(tray.Readd());  // still known to the shell: updated in place
        // The shell forgets the icon (it restarted): it comes back.
        NOTIFYICONDATAW forget = tray.Record(0);
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &forget));
        EXPECT_FALSE(tray.Modify(LoadIconW(nullptr, IDI_APPLICATION)));
        EXPECT_TRUE(tray.Readd());
        EXPECT_TRUE(tray.Modify(LoadIconW(nullptr, IDI_APPLICATION)));
        tray.Remove();
        EXPECT_FALSE(tray.Shown());
        EXPECT_EQ(GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC), own);
        EXPECT_FALSE(tray.Modify(nullptr));
        EXPECT_FALSE(tray.Readd());

        // Shown again, then the object goes: it takes its procedure with it.
        ASSERT_TRUE(tray.Add(w.hwnd, LoadIconW(nullptr, IDI_APPLICATION), nullptr));
    }
    EXPECT_EQ(GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC), own);
    EXPECT_EQ(SendMessageW(w.hwnd, kCallback, 0, WM_RBUTTONUP), 7);
    EXPECT_EQ(heard.size(), 2u);
}

TEST(TrayIcon, HandlerMayRemoveTheIconWhileItsMessageIsStillDelivered) {
    TestWindow w;
    const LONG_PTR own = GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC);
    TrayIcon tray(kCallback, L"Tarvolo");
    ASSERT_TRUE(tray.Add(w.hwnd, LoadIconW(nullptr, IDI_APPLICATION), [&](LPARAM) { tray.Remove(); }));
    // The restore happens inside the handler; the window still answers this message.
    EXPECT_EQ(SendMessageW(w.hwnd, kCallback, 0, WM_LBUTTONDBLCLK), 7);
    EXPECT_FALSE(tray.Shown());
    EXPECT_EQ(GetWindowLongPtrW(w.hwnd, GWLP_WNDPROC), own);
}

TEST(TrayIcon, TwoWindowsKeepTheirOwnProcedures) {
    TestWindow a, b;
    const LONG_PTR own = GetWindowLongPtrW(a.hwnd, GWLP_WNDPROC);
    int heardA = 0, heardB = 0;
    TrayIcon trayA(kCallback, L"A"), trayB(kCallback, L"B");
    ASSERT_TRUE(trayA.Add(a.hwnd, nullptr, [&](LPARAM) { ++heardA; }));
    ASSERT_TRUE(trayB.Add(b.hwnd, nullptr, [&](LPARAM) { ++heardB; }));
    trayA.Remove();  // the other window's icon is not disturbed
    SendMessageW(b.hwnd, kCallback, 0, WM_RBUTTONUP);
    SendMessageW(a.hwnd, kCallback, 0, WM_RBUTTONUP);
    EXPECT_EQ(heardA, 0);
    EXPECT_EQ(heardB, 1);
    EXPECT_EQ(GetWindowLongPtrW(a.hwnd, GWLP_WNDPROC), own);
    trayB.Remove();
    EXPECT_EQ(GetWindowLongPtrW(b.hwnd, GWLP_WNDPROC), own);
}

#include "frame/cNCCalcSize.h"

#include <windowsx.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "plumbing/GSubclass.h"
#include "plumbing/mDeclares.h"
#include "tests/frame/cNCCalcSizeTestFixture.h"
#include "tests/support/TestSupport.h"

using testsupport::PumpFor;
using testsupport::PumpMessages;
using namespace ncctest;

TEST(cNCCalcSize, PartnerMarginsShapeTheClientArea) {
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int cap = GetSystemMetrics(SM_CYCAPTION);
    const struct {
        bool keep;
        int top, left, right, bottom;
        RECT client;
    } cases[] = {
        {false, 40, 4, 4, 4, {104, 140, 496, 396}},
        {false, 0, 0, 0, 0, {100, 100, 500, 400}},
        {true, 0, 0, 0, 0, {100 + fx, 100 + cap + fy, 500 - fx, 400 - fy}},  // the defaults
    };
    for (const auto& c : cases) {
        Framed f;
        TestPartner& p = *f.partner;
        p.keepMargins = c.keep;
        p.top = c.top, p.left = c.left, p.right = c.right, p.bottom = c.bottom;
        p.log.clear();
        f.engine->Display(f.hWnd);
        EXPECT_EQ(p.log, (std::vector<std::string>{"left", "top", "right", "bottom"}));
        EXPECT_TRUE(ClientOnScreen(f.hWnd) == c.client) << ToString(ClientOnScreen(f.hWnd));

        // Asked directly: the first two rectangles get the client area, the
        // third stays, and the window's own procedure runs once.
        WINDOWPOS pos{f.hWnd, nullptr, 100, 100, 400, 300, 0};
        NCCALCSIZE_PARAMS params{{{100, 100, 500, 400}, {1, 2, 3, 4}, {5, 6, 7, 8}}, &pos};
        g_previous.clear();
        EXPECT_EQ(SendMessageW(f.hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params)), WVR_VALIDRECTS);
        EXPECT_TRUE(params.rgrc[0] == c.client) << ToString(params.rgrc[0]);
        EXPECT_TRUE(params.rgrc[1] == c.client);
        EXPECT_TRUE(params.rgrc[2] == (RECT{5, 6, 7, 8}));
        EXPECT_EQ(g_previous[WM_NCCALCSIZE], 1);
    }
}

TEST(cNCCalcSize, PreviousProcedureRunsOncePerMessage) {
    Framed f;
    ASSERT_EQ(GetActiveWindow(), f.hWnd);
    EXPECT_TRUE(f.engine->WindowActive());  // attached while already active
    // With wParam 0 the answer is the previous procedure's rectangle after
    // one run, not two.
    RECT once{100, 100, 500, 400};
    DefWindowProcW(f.hWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&once));
    RECT rc{100, 100, 500, 400};
    g_previous.clear();
    EXPECT_EQ(SendMessageW(f.hWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc)), 0);
    EXPECT_TRUE(rc == once) << ToString(rc) << " vs " << ToString(once);
    EXPECT_EQ(g_previous[WM_NCCALCSIZE], 1);

    const struct {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        int runs;
    } cases[] = {
        {WM_NCACTIVATE, FALSE, 0, 1},   {WM_NCACTIVATE, TRUE, 0, 1},
        {WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Renamed"), 1},
        {WM_ACTIVATEAPP, TRUE, 0, 1},   {WM_INITMENU, 0, 0, 1},
        {WM_NCLBUTTONUP, HTCAPTION, 0, 1}, {WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 1},
        {WM_ENTERMENULOOP, FALSE, 0, 1}, {WM_EXITMENULOOP, FALSE, 0, 1},
        {WM_NCPAINT, 1, 0, 0},          {WM_NCHITTEST, 0, MAKELPARAM(300, 300), 0},
    };
    for (const auto& c : cases) {
        g_previous.clear();
        const LRESULT result = SendMessageW(f.hWnd, c.msg, c.wParam, c.lParam);
        EXPECT_EQ(g_previous[c.msg], c.runs) << "message " << c.msg;
        // FALSE would refuse the deactivation.
        if (c.msg == WM_NCACTIVATE) {
            EXPECT_TRUE(result) << "wParam " << c.wParam;
        }
    }
    SendMessageW(f.hWnd, WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(f.engine->WindowActive());
    SendMessageW(f.hWnd, WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(f.engine->WindowActive());
    EXPECT_TRUE(f.engine->AppActive());
    SendMessageW(f.hWnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(f.engine->AppActive());
}

TEST(cNCCalcSize, HitTestBands) {
    const int cap = GetSystemMetrics(SM_CYCAPTION);
    ASSERT_LT(4 + cap + 2, 40);  // the menu bar band lies between caption line and top margin
    const struct {
        int x, y;
        LRESULT sizable, fixed;
    } cases[] = {
        {2, 150, HTLEFT, HTCLIENT},        {397, 150, HTRIGHT, HTCLIENT},
        {2, 2, HTTOPLEFT, HTCLIENT},       {397, 2, HTTOPRIGHT, HTCLIENT},
        {2, 297, HTBOTTOMLEFT, HTCLIENT},  {397, 297, HTBOTTOMRIGHT, HTCLIENT},
        {200, 4, HTTOP, HTCLIENT},         {200, 296, HTBOTTOM, HTCLIENT},
        {200, 5, HTCAPTION, HTCAPTION},    {200, 4 + cap, HTCAPTION, HTCAPTION},
        {10, 10, HTSYSMENU, HTSYSMENU},    {cap, 10, HTSYSMENU, HTSYSMENU},
        {cap + 1, 10, HTCAPTION, HTCAPTION}, {200, 5 + cap, HTCLIENT, HTCLIENT},
        {200, 150, HTCLIENT, HTCLIENT},    {450, 150, HTCLIENT, HTCLIENT},
    };
    for (const bool sizable : {true, false}) {
        Framed f(sizable ? WS_OVERLAPPEDWINDOW : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
        for (const auto& c : cases) {
            const LRESULT expected = sizable ? c.sizable : c.fixed;
            EXPECT_EQ(f.HitTest(c.x, c.y), expected) << c.x << "," << c.y << " sizable " << sizable;
            EXPECT_EQ(f.partner->proposal, expected);
            EXPECT_EQ(f.partner->hitPoint.x, c.x);
            EXPECT_EQ(f.partner->hitPoint.y, c.y);
        }
    }
}

TEST(cNCCalcSize, ZoomedMDIChildIsLeftToTheSystem) {
    const HWND frame = CreateWindowW(RegisterOnce(L"EngineTestMDIFrame", MDIFrameProc), L"MDI",
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 500, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    CLIENTCREATESTRUCT ccs{nullptr, 1000};
    g_mdiClient = CreateWindowW(L"MDIClient", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                                nullptr, GetModuleHandleW(nullptr), &ccs);
    SendMessageW(frame, WM_SIZE, 0, MAKELPARAM(600, 450));
    const HWND child = CreateMDIWindowW(RegisterOnce(L"EngineTestMDIChild", MDIChildProc), L"Child",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, g_mdiClient,
                                        GetModuleHandleW(nullptr), 0);
    ASSERT_TRUE(child);
    const auto partner = MakeRef<TestPartner>(child);
    const auto engine = MakeRef<cNCCalcSize>();
    engine->Attach(partner.get());

    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int cap = GetSystemMetrics(SM_CYCAPTION);
    for (const bool zoomed : {false, true}) {
        SendMessageW(g_mdiClient, zoomed ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        PumpMessages();
        ASSERT_EQ(IsZoomed(child) != 0, zoomed);
        partner->log.clear();
        partner->paints = 0;
        WINDOWPOS pos{child, nullptr, 10, 20, 300, 200, 0};
        NCCALCSIZE_PARAMS params{{{10, 20, 310, 220}}, &pos};
        SendMessageW(child, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        SendMessageW(child, WM_NCPAINT, 1, 0);
        SendMessageW(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));  // repaints an MDI child
        const RECT expected = zoomed ? RECT{10 + fx, 20 + cap + fy, 310 - fx, 220 - fy} : RECT{14, 60, 306, 216};
        EXPECT_TRUE(params.rgrc[0] == expected) << ToString(params.rgrc[0]) << " zoomed " << zoomed;
        EXPECT_EQ(partner->log.size(), zoomed ? 0u : 4u);
        EXPECT_EQ(partner->paints, zoomed ? 0 : 2);
    }
    engine->Detach();
    DestroyWindow(frame);
    g_mdiClient = nullptr;
}

TEST(cNCCalcSize, MenusStayThePartners) {
    const HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 1, L"&File");
    Framed f(WS_OVERLAPPEDWINDOW, menu);
    EXPECT_EQ(f.engine->hMenu(), menu);

    const LONG_PTR style = GetWindowLongPtrW(f.hWnd, GWL_STYLE);
    const int paints = f.partner->paints;
    SendMessageW(f.hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(f.hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetMenu(f.hWnd), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(f.hWnd, GWL_STYLE), style);
    EXPECT_EQ(f.partner->paints, paints);  // nothing painted while the style claims "hidden"
    EXPECT_EQ(f.engine->hMenu(), menu);

    const struct {
        UINT msg;
        LPARAM lParam;
        std::vector<std::string> log;
    } cases[] = {
        {WM_INITMENUPOPUP, MAKELPARAM(0, 1), {}},  // the system menu
        {WM_INITMENUPOPUP, MAKELPARAM(2, 0), {"popup 2"}},
        {WM_ENTERMENULOOP, 0, {}},
        {WM_EXITMENULOOP, 0, {"exit"}},
    };
    for (const auto& c : cases) {
        f.partner->log.clear();
        SendMessageW(f.hWnd, c.msg, reinterpret_cast<WPARAM>(menu), c.lParam);
        EXPECT_EQ(f.partner->log, c.log) << c.msg << " " << c.lParam;
    }
    f.engine->Detach();
    EXPECT_EQ(GetMenu(f.hWnd), nullptr);
    DestroyMenu(menu);
}

TEST(cNCCalcSize, DetachLeavesNothingBehind) {
    const auto ownProc = reinterpret_cast<LONG_PTR>(&OwnProc);
    Framed a, b;
    EXPECT_NE(GetWindowLongPtrW(a.hWnd, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(GetPropW(a.hWnd, L"teskCNCImplementation"), static_cast<INCAreaModifier*>(a.partner.get()));
    EXPECT_EQ(mDeclares::EngineCount(), 2);

    // Alt+F through the keyboard hook reaches the active window's partner only.
    SetForegroundWindow(b.hWnd);
    PumpMessages();
    a.partner->log.clear();
    b.partner->log.clear();
    const std::pair<WORD, DWORD> keys[] = {{VK_MENU, 0}, {'F', 0}, {'F', KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}};
    for (const auto& [vk, flags] : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = flags;
        SendInput(1, &in, sizeof(in));
    }
    PumpFor(100);
    EXPECT_EQ(b.partner->log, std::vector<std::string>{"alt F"});
    EXPECT_TRUE(a.partner->log.empty());

    // Attaching elsewhere first lets go of the first window; Detach lets go of
    // the second.
    const HWND third = CreateWindowW(L"EngineTestWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    const auto thirdPartner = MakeRef<TestPartner>(third);
    a.engine->Attach(thirdPartner.get());
    EXPECT_EQ(GetWindowLongPtrW(a.hWnd, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(GetPropW(a.hWnd, L"teskCNCImplementation"), nullptr);
    EXPECT_EQ(GetPropW(third, L"teskCNCImplementation"), static_cast<INCAreaModifier*>(thirdPartner.get()));
    a.engine->Detach();
    EXPECT_EQ(GetWindowLongPtrW(third, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(GetPropW(third, L"teskCNCImplementation"), nullptr);
    EXPECT_EQ(a.engine->hMenu(), nullptr);
    EXPECT_TRUE(mDeclares::KeyboardHookInstalled());  // b's engine still needs it
    DestroyWindow(third);

    // Destroying the window detaches its engine, and the last one takes the hook.
    DestroyWindow(b.hWnd);
    EXPECT_EQ(b.engine->HandleAltKey('F'), 0);
    EXPECT_EQ(mDeclares::EngineCount(), 0);
    EXPECT_FALSE(mDeclares::KeyboardHookInstalled());
}

// TARVOLO_SHOT_WAIT=<seconds> holds each state on screen for a screenshot.
TEST(cNCCalcSize, PlainFrameWithoutPartner) {
    Framed other;
    SetWindowPos(other.hWnd, nullptr, 550, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Framed f;
    RemovePropW(f.hWnd, L"teskCNCImplementation");
    SetWindowTextW(f.hWnd, L"Tarvolo plain frame");
    f.engine->Display(f.hWnd);
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int h = GetSystemMetrics(SM_CYCAPTION) - 1;
    EXPECT_TRUE(ClientOnScreen(f.hWnd) == (RECT{100 + fx, 100 + h + 1 + fy, 500 - fx, 400 - fy}));
    const char* wait = std::getenv("TARVOLO_SHOT_WAIT");
    for (const bool active : {true, false}) {
        SetForegroundWindow(active ? f.hWnd : other.hWnd);
        PumpFor(100);
        EXPECT_EQ(f.engine->WindowActive(), active);
        const HDC screen = GetDC(nullptr);
        // Top row of the caption above the close button, and the last border column.
        const COLORREF caption = GetPixel(screen, 500 - fx - h / 2, 100 + fy);
        const COLORREF border = GetPixel(screen, 100 + fx - 1, 250);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(caption, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION)) << active;
        if (fx > 2) {
            EXPECT_EQ(border, GetSysColor(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER)) << active;
        }
        if (wait) PumpFor(static_cast<DWORD>(std::atoi(wait)) * 1000);
    }
}

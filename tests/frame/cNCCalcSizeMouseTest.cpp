// The engine under the pointer: presses routed by the remembered hit test,
// the nudge, and its own caption drag loop.
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

TEST(cNCCalcSize, PressesFollowTheRememberedHitTest) {
    Framed f;
    g_swallowNCDown = true;
    TestPartner& p = *f.partner;

    // HTMENU reaches the system as HTCLIENT, but a press then goes to the
    // partner, not to the caption drag.
    p.answer = HTMENU;
    EXPECT_EQ(f.HitTest(200, 30), HTCLIENT);
    p.log.clear();
    f.Press(200, 30);
    EXPECT_EQ(p.log, (std::vector<std::string>{"down 200,30"}));

    // A remembered HTCAPTION starts the engine's drag (over at once: no
    // button is down), with neither the partner nor the system involved.
    p.answer = HTCAPTION;
    f.HitTest(200, 30);
    p.log.clear();
    g_ncDownCodes.clear();
    f.Press(200, 30);
    EXPECT_TRUE(p.log.empty());
    EXPECT_TRUE(g_ncDownCodes.empty());

    // A press the partner leaves alone reaches the window's own procedure
    // with the engine's code for the pressed point, whatever the message
    // said, even when the partner's handling dispatched a message of another
    // subclassed window in between.
    const HWND button = CreateWindowW(L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    const auto bystander = MakeRef<Bystander>();
    GSubclass::AttachMessage(bystander.get(), button, WM_APP);
    p.duringPress = [button] { SendMessageW(button, WM_APP, 0, 0); };
    p.answer = 0;
    p.handlePress = false;
    f.HitTest(2, 150);
    f.Press(2, 150, HTCAPTION);
    EXPECT_EQ(g_ncDownCodes, std::vector<WPARAM>{HTLEFT});
    p.duringPress = nullptr;
    GSubclass::DetachMessage(bystander.get(), button, WM_APP);
    DestroyWindow(button);

    // Without a partner the system's own code passes through.
    RemovePropW(f.hWnd, L"teskCNCImplementation");
    g_ncDownCodes.clear();
    f.Press(200, 10, HTCAPTION);
    EXPECT_EQ(g_ncDownCodes, std::vector<WPARAM>{HTCAPTION});

    // A release gives the partner a down and an up at the released point.
    SetPropW(f.hWnd, L"teskCNCImplementation", static_cast<INCAreaModifier*>(f.partner.get()));
    p.log.clear();
    RECT wr;
    GetWindowRect(f.hWnd, &wr);
    SendMessageW(f.hWnd, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 50, wr.top + 12));
    EXPECT_EQ(p.log, (std::vector<std::string>{"down 50,12", "up 50,12"}));
    g_swallowNCDown = false;
}

TEST(cNCCalcSize, PressesNudgeThePointerBackAndForth) {
    Framed f;
    f.HitTest(200, 150);  // not the caption: the press goes to the partner
    const auto pointerAt = [](POINT p) {
        return testsupport::WaitFor([&] {
            PumpMessages();
            const POINT at = Cursor();
            return at.x == p.x && at.y == p.y;
        });
    };
    // Injected input is handled in order: once this move shows, any nudge an
    // earlier test's press left queued has been applied, and none can shift
    // the pointer under the presses below.
    MouseAt({310, 310});
    ASSERT_TRUE(pointerAt({310, 310}));
    SetCursorPos(300, 300);
    ASSERT_TRUE(pointerAt({300, 300}));
    for (const LONG step : {-1, 1, -1}) {
        const POINT before = Cursor();
        f.Press(200, 150, HTCLIENT);
        // The nudge is injected input too: Wine moves the pointer when the
        // input is processed, which can be after the press returns.
        ASSERT_TRUE(pointerAt({before.x + step, before.y + step}))
            << "a nudge of " << step << " from " << before.x << "," << before.y << " left the pointer at "
            << Cursor().x << "," << Cursor().y;
    }
}

TEST(cNCCalcSize, CaptionDragMovesTheWindow) {
    for (const bool owned : {false, true}) {
        // An owned popup's GetParent is its owner, whose client origin must
        // not leak into the position.
        const HWND owner = owned ? CreateWindowW(L"EngineTestWindow", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                 600, 50, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                                 nullptr)
                                 : nullptr;
        Framed f(owned ? WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME : WS_OVERLAPPEDWINDOW, nullptr, owner);
        SetForegroundWindow(f.hWnd);
        PumpFor(50);
        RECT before;
        GetWindowRect(f.hWnd, &before);
        const POINT start{before.left + 200, before.top + 12};
        const POINT target{start.x + 50, start.y + 30};
        std::atomic<bool> done{false};
        // The window stands where the pointer's move (dx, dy) put it: one
        // pixel further for the press's up-left nudge, or not, depending on
        // whether the loop read its starting point before or after it.
        const auto movedBy = [&](int dx, int dy) {
            RECT now;
            GetWindowRect(f.hWnd, &now);
            const int mx = now.left - before.left, my = now.top - before.top;
            return (mx == dx + 1 && my == dy + 1) || (mx == dx && my == dy);
        };
        std::thread input([&] {
            MoveTo(start);
            MouseAt(start, MOUSEEVENTF_LEFTDOWN);
            // The press nudges the pointer and then runs the drag loop, which
            // reads its starting point before it first looks at the queue:
            // once the nudge shows and the window's thread has caught up,
            // the loop is running and every step below is seen.
            testsupport::WaitFor([&] { return Cursor().x != start.x || Cursor().y != start.y; }, 15000, 5);
            testsupport::ThreadOfWindowCaughtUp(f.hWnd);
            for (int i = 1; i <= 5; ++i) {
                MouseAt({start.x + 10 * i, start.y + 6 * i});
                testsupport::WaitFor([&] { return movedBy(10 * i, 6 * i); }, 15000, 5);
            }
            MouseAt(target, MOUSEEVENTF_LEFTUP);
            // Once the release shows and the thread has caught up, the loop
            // checks the button before it reads the pointer again.
            testsupport::WaitFor([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; }, 15000, 5);
            testsupport::ThreadOfWindowCaughtUp(f.hWnd);
            MoveTo({target.x + 20, target.y + 20});  // after the release: the window stays
            done = true;
        });
        while (!done) PumpFor(10);
        input.join();
        PumpFor(50);
        RECT after;
        GetWindowRect(f.hWnd, &after);
        // The window keeps its offset to the pointer, in both directions
        // alike, and stayed where the release left it.
        EXPECT_TRUE(movedBy(50, 30)) << "owned " << owned << ": moved by (" << after.left - before.left << ", "
                                     << after.top - before.top << ")";
        EXPECT_EQ(after.right - after.left, 400);
        if (owner) DestroyWindow(owner);
    }
}

TEST(cNCCalcSize, DragLoopLeavesAQuitRequestToTheProgram) {
    Framed f;
    RECT wr;
    GetWindowRect(f.hWnd, &wr);
    const POINT inside{wr.left + 200, wr.top + 150};
    MoveTo(inside);
    MouseAt(inside, MOUSEEVENTF_LEFTDOWN);  // the button the drag loop watches
    // Released from another thread in any case, so a loop that kept the
    // request to itself would still end: once the loop is seen handling
    // messages, or the press is over.
    std::atomic<bool> pressed{false};
    std::thread release([&] {
        testsupport::WaitFor([&] { return pressed || testsupport::ThreadOfWindowCaughtUp(f.hWnd, 50); }, 10000, 1);
        MouseAt(inside, MOUSEEVENTF_LEFTUP);
    });
    f.partner->answer = HTCAPTION;
    f.HitTest(200, 10);
    PostQuitMessage(7);
    f.Press(200, 10);
    pressed = true;
    MSG msg{};
    const bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    release.join();
    PumpFor(50);
    EXPECT_TRUE(quit);
    EXPECT_EQ(msg.wParam, 7u);
}

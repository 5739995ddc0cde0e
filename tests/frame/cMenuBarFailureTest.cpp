// The menu bar when the platform refuses it something: the failure stays in
// the bar's handler, the window goes on working.
#include "frame/cMenuBar.h"

#include <gtest/gtest.h>

#include <vector>

#include "plumbing/CTimer.h"
#include "plumbing/MTimer.h"
#include "plumbing/PlumbingError.h"
#include "tests/frame/MenuBarTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace menubartest;

TEST(cMenuBarFailures, AFullTimerTableLeavesTheBarWorking) {
    HMENU menu = CreateMenu();
    HMENU file = CreatePopupMenu();
    AddCommand(file, 101, L"&Open");
    AddPopup(menu, file, L"&File");
    {
        FramedWindow w(menu);
        w.Paint();
        ASSERT_EQ(w.bar().ItemCount(), 1);

        // Every slot of the timer table taken: the bar's mouse poll cannot start.
        std::vector<Ref<CTimer>> taken;
        bool full = false;
        for (int i = 0; i <= MTimer::kTimerSlots && !full; ++i) {
            const Ref<CTimer> t = MakeRef<CTimer>();
            try {
                t->Interval(60000);
                taken.push_back(t);
            } catch (const PlumbingError& e) {
                EXPECT_EQ(e.Number(), MTimer::ErrTooManyTimers | kObjectErrorBase);
                full = true;
            }
        }
        ASSERT_TRUE(full);

        // A move over the item: handled inside the bar, the window lives on
        // and the item is hot all the same.
        const POINT centre = w.ItemCentre(1);
        SetCursorPos(centre.x, centre.y);
        POINT client = centre;
        ScreenToClient(w.hwnd(), &client);
        EXPECT_EQ(SendMessageW(w.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y)), 0);
        EXPECT_TRUE(IsWindow(w.hwnd()));

        // With room again, the next move starts the poll, which finds the
        // pointer gone and stops by itself.
        for (const Ref<CTimer>& t : taken) t->Interval(0);
        taken.clear();
        SetCursorPos(centre.x, centre.y + 200);
        EXPECT_EQ(SendMessageW(w.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y + 200)), 0);
        const Ref<CTimer> probe = MakeRef<CTimer>();
        EXPECT_NO_THROW(probe->Interval(60000));
        probe->Interval(0);
    }
    DestroyMenu(menu);
}

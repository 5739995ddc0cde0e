#include "plumbing/CTimer.h"
#include "plumbing/MTimer.h"
#include "plumbing/PlumbingError.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class TimerTable : public testing::Test {
protected:
    void SetUp() override { MTimer::ResetTable(); }
    void TearDown() override { MTimer::ResetTable(); }
};

}  // namespace

TEST_F(TimerTable, FirstTimerTakesSlotOneAndRaisesTheMark) {
    const Ref<CTimer> t = MakeRef<CTimer>();
    EXPECT_EQ(t->Interval(), 0);
    EXPECT_EQ(MTimer::SlotOf(*t), 0);
    t->Interval(50);
    EXPECT_EQ(t->Interval(), 50);
    EXPECT_EQ(MTimer::SlotOf(*t), 1);
    EXPECT_EQ(MTimer::HighWaterMark(), 1);
    // The same interval again creates nothing new.
    t->Interval(50);
    EXPECT_EQ(MTimer::SlotOf(*t), 1);
    EXPECT_EQ(MTimer::TimerInSlot(2), nullptr);
    t->Interval(0);
}

TEST_F(TimerTable, StopKeepsTheMarkAndTheLowestEmptySlotIsReused) {
    const Ref<CTimer> a = MakeRef<CTimer>(), b = MakeRef<CTimer>(), c = MakeRef<CTimer>();
    a->Interval(100);
    b->Interval(100);
    c->Interval(100);
    a->Interval(0);
    b->Interval(0);
    EXPECT_EQ(MTimer::TimerInSlot(1), nullptr);
    EXPECT_EQ(MTimer::HighWaterMark(), 3);
    b->Interval(70);
    EXPECT_EQ(MTimer::SlotOf(*b), 1);
    // Re-timing a running timer files it again in the first free slot.
    c->Interval(80);
    EXPECT_EQ(MTimer::SlotOf(*c), 2);
    EXPECT_EQ(MTimer::HighWaterMark(), 3);
    b->Interval(0);
    c->Interval(0);
}

TEST_F(TimerTable, NegativeIntervalsStop) {
    const struct {
        int start, set, expected;
    } cases[] = {{50, -1, 0}, {50, INT_MIN, 0}, {0, -5, 0}, {50, 0, 0}};
    for (const auto& c : cases) {
        const Ref<CTimer> t = MakeRef<CTimer>();
        if (c.start) t->Interval(c.start);
        t->Interval(c.set);
        EXPECT_EQ(t->Interval(), c.expected) << c.start << " then " << c.set;
        EXPECT_EQ(MTimer::SlotOf(*t), 0);
    }
}

TEST_F(TimerTable, TheHundredAndFirstTimerIsRefused) {
    std::vector<Ref<CTimer>> timers;
    for (int i = 0; i < 100; ++i) {
        timers.push_back(MakeRef<CTimer>());
        timers.back()->Interval(10000);
    }
    const Ref<CTimer> extra = MakeRef<CTimer>();
    try {
        extra->Interval(10000);
        ADD_FAILURE() << "no error";
    } catch (const PlumbingError& e) {
        EXPECT_EQ(e.Number(), -2147207853);
        EXPECT_EQ(e.Description(), L"No more than 10 timers allowed per class");
        EXPECT_EQ(e.Source(), L"plumbing_tests.WindowProc");
    }
    // Left stopped, not claiming a timer it does not have; a retry works
    // once a slot is free.
    EXPECT_EQ(extra->Interval(), 0);
    EXPECT_EQ(MTimer::SlotOf(*extra), 0);
    EXPECT_EQ(MTimer::HighWaterMark(), 100);
    timers[41]->Interval(0);
    extra->Interval(10000);
    EXPECT_EQ(MTimer::SlotOf(*extra), 42);
    extra->Interval(0);
    for (auto& t : timers) t->Interval(0);
}

TEST_F(TimerTable, TicksReachTheHandlerThroughTheMessageLoop) {
    const Ref<CTimer> t = MakeRef<CTimer>();
    int ticks = 0;
    t->ThatTime = [&] { ++ticks; };
    t->Item(std::string("owner data"));
    t->Interval(20);
    testsupport::PumpFor(400);
    t->Interval(0);
    EXPECT_GE(ticks, 4);
    const int seen = ticks;
    testsupport::PumpFor(100);
    EXPECT_EQ(ticks, seen);
    EXPECT_EQ(std::any_cast<std::string>(t->Item()), "owner data");
}

TEST_F(TimerTable, UnknownTickIdsAreIgnored) {
    const Ref<CTimer> t = MakeRef<CTimer>();
    int ticks = 0;
    t->ThatTime = [&] { ++ticks; };
    t->Interval(10000);
    MTimer::TimerTickProc(nullptr, WM_TIMER, 0, 0);
    MTimer::TimerTickProc(nullptr, WM_TIMER, static_cast<UINT_PTR>(-1), 0);
    EXPECT_EQ(ticks, 0);
    t->PulseTimer();  // by hand
    EXPECT_EQ(ticks, 1);
    t->Interval(0);
}

TEST_F(TimerTable, HandlerMayStopItsOwnTimerAfterTheOwnerLetGo) {
    auto alive = std::make_shared<int>(0);
    const std::weak_ptr<int> watch = alive;
    int ticks = 0;
    {
        Ref<CTimer> t = MakeRef<CTimer>();
        CTimer* const raw = t.get();
        t->Item(std::move(alive));  // dies with the timer object
        t->ThatTime = [&ticks, raw] {
            ++ticks;
            raw->Interval(0);  // drops the table's reference, the last one
            EXPECT_EQ(raw->Interval(), 0);
        };
        t->Interval(10);
    }
    EXPECT_FALSE(watch.expired());  // the table keeps it alive
    testsupport::PumpFor(200);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(MTimer::TimerInSlot(1), nullptr);
}

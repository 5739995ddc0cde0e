#include "plumbing/MTimer.h"

#include <array>

#include "plumbing/CallbackGuard.h"
#include "plumbing/PlumbingError.h"

namespace MTimer {
namespace {

std::array<Ref<CTimer>, kTimerSlots + 1> g_slots;  // index 0 unused
std::int16_t g_highWaterMark = 0;

}  // namespace

bool StartSystemTimer(CTimer& timer) {
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(timer.Interval()), &TimerTickProc);
    timer.SystemTimerId(id);
    if (id == 0) {
        timer.Interval(0);
        return false;
    }
    for (int slot = 1; slot <= kTimerSlots; ++slot) {
        if (!g_slots[slot]) {
            g_slots[slot] = Ref<CTimer>(&timer);
            if (slot > g_highWaterMark) g_highWaterMark = static_cast<std::int16_t>(slot);
            return true;
        }
    }
    // No slot would ever route this timer's ticks: kill it rather than leave
    // an orphan, and leave the object stopped so a retry can start it.
    KillTimer(nullptr, id);
    timer.SystemTimerId(0);
    timer.interval_ = 0;
    throw PlumbingError(ErrTooManyTimers, L"No more than 10 timers allowed per class");
}

bool StopSystemTimer(CTimer& timer) {
    for (int slot = 1; slot <= g_highWaterMark; ++slot) {
        if (g_slots[slot] && g_slots[slot]->SystemTimerId() == timer.SystemTimerId()) {
            KillTimer(nullptr, timer.SystemTimerId());
            // Moved out first: dropping the reference may destroy the timer.
            Ref<CTimer> released = std::move(g_slots[slot]);
            return true;
        }
    }
    return false;
}

void CALLBACK TimerTickProc(HWND, UINT, UINT_PTR idEvent, DWORD) {
    for (int slot = 1; slot <= g_highWaterMark; ++slot) {
        if (g_slots[slot] && g_slots[slot]->SystemTimerId() == idEvent) {
            // Held for the call: a handler that stops its own timer empties
            // the slot, which must not destroy the object under it.
            const Ref<CTimer> timer = g_slots[slot];
            // A handler that fails has had its tick; the timer runs on.
            RunGuarded([&] { timer->PulseTimer(); });
            return;
        }
    }
}

std::int16_t HighWaterMark() noexcept {
    return g_highWaterMark;
}

CTimer* TimerInSlot(int slot) noexcept {
    return slot >= 1 && slot <= kTimerSlots ? g_slots[slot].get() : nullptr;
}

int SlotOf(const CTimer& timer) noexcept {
    for (int slot = 1; slot <= kTimerSlots; ++slot) {
        if (g_slots[slot].get() == &timer) return slot;
    }
    return 0;
}

void ResetTable() noexcept {
    for (int slot = 1; slot <= kTimerSlots; ++slot) {
        if (Ref<CTimer> timer = std::move(g_slots[slot])) {
            KillTimer(nullptr, timer->SystemTimerId());
            timer->interval_ = 0;
        }
    }
    g_highWaterMark = 0;
}

}  // namespace MTimer

#pragma once
// A windowless interval timer. The owner sets Interval (milliseconds, 0 =
// stopped) and ThatTime; ticks arrive through the thread's message loop.
// While running, the timer is kept alive by MTimer's table, so the owner must
// set Interval to 0 before dropping its last reference.
#include <windows.h>

#include <any>
#include <functional>

#include "plumbing/RefCounted.h"

class CTimer;

namespace MTimer {
bool StartSystemTimer(CTimer& timer);
bool StopSystemTimer(CTimer& timer);
void CALLBACK TimerTickProc(HWND, UINT, UINT_PTR idEvent, DWORD);
void ResetTable() noexcept;
}  // namespace MTimer

class CTimer : public RefCounted {
public:
    CTimer() = default;
    ~CTimer() override;

    // Gets/sets a piece of additional data to store with the timer.
    const std::any& Item() const noexcept { return item_; }
    std::any& Item() noexcept { return item_; }
    void Item(std::any value) { item_ = std::move(value); }

    // Gets/sets the interval at which the timer fires. Set to zero to stop
    // the timer. A negative value stops it too. Raises PlumbingError 13651 or
    // 13652 when no system timer can be had; the timer is then left stopped.
    int Interval() const noexcept { return interval_; }
    void Interval(int iIntervalA);

    // Raises ThatTime once, synchronously.
    void PulseTimer();

    // Raised when the timer fires.
    std::function<void()> ThatTime;

private:
    friend bool MTimer::StartSystemTimer(CTimer&);
    friend bool MTimer::StopSystemTimer(CTimer&);
    friend void CALLBACK MTimer::TimerTickProc(HWND, UINT, UINT_PTR, DWORD);
    friend void MTimer::ResetTable() noexcept;

    UINT_PTR SystemTimerId() const noexcept { return systemTimerId_; }
    void SystemTimerId(UINT_PTR id) noexcept { systemTimerId_ = id; }

    std::any item_;
    int interval_ = 0;
    UINT_PTR systemTimerId_ = 0;
};

#include "plumbing/CTimer.h"

#include "plumbing/MTimer.h"
#include "plumbing/PlumbingError.h"

CTimer::~CTimer() {
    // Only reached once the table has let go, so nothing is left to kill;
    // kept so an object never dies claiming to run.
    interval_ = 0;
}

void CTimer::Interval(int iIntervalA) {
    if (iIntervalA > 0) {
        if (iIntervalA == interval_) return;
        if (interval_ != 0) MTimer::StopSystemTimer(*this);
        interval_ = iIntervalA;
        // StartSystemTimer raises 13651 itself when the table is full.
        if (!MTimer::StartSystemTimer(*this)) throw PlumbingError(MTimer::ErrTimerCreate, L"Can't create system timer");
    } else if (interval_ > 0) {
        interval_ = 0;
        MTimer::StopSystemTimer(*this);
    }
}

void CTimer::PulseTimer() {
    // A copy, so a handler may replace ThatTime while it runs.
    if (const std::function<void()> handler = ThatTime) handler();
}

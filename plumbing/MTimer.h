#pragma once
// The process's table of running CTimer objects and the system timers behind
// them: windowless SetTimer timers whose ticks are routed back by id. The
// table is the one registry that holds counted references.
#include <windows.h>

#include <cstdint>

#include "plumbing/CTimer.h"

namespace MTimer {

constexpr std::int32_t ErrTooManyTimers = 13651;
constexpr std::int32_t ErrTimerCreate = 13652;
constexpr int kTimerSlots = 100;

// Creates the timer's system timer and files the timer in the first empty
// slot. False (timer stopped) when SetTimer fails; raises 13651 when all
// slots are full, after killing the system timer it just made.
bool StartSystemTimer(CTimer& timer);
// Kills the system timer of the slot holding the timer's id and empties it.
bool StopSystemTimer(CTimer& timer);
// Timer procedure given to SetTimer; only the timer id is used.
void CALLBACK TimerTickProc(HWND hWnd, UINT iMsg, UINT_PTR idEvent, DWORD dwTime);

// Highest slot number ever filled (1-based, never lowered).
std::int16_t HighWaterMark() noexcept;
// The timer in slot 1..100, null when empty.
CTimer* TimerInSlot(int slot) noexcept;
// The slot holding the timer, 0 when it is not filed.
int SlotOf(const CTimer& timer) noexcept;

// Kills every system timer, empties the table and lowers the mark to 0.
// For tests, which need a fresh table in one process.
void ResetTable() noexcept;

}  // namespace MTimer

#pragma once
// The system calls the program's window procedures, hooks, timer callbacks
// and COM methods, and cannot carry a C++ exception back through its own
// frames. Each runs its work through RunGuarded: a failure of the program's
// own kind (std::exception: memory running out, the plumbing's errors) ends
// there, the callback gives its fallback answer as if it had done nothing,
// and the failure is remembered so the message loop can tell the user once
// it is outside every handler (TakeCallbackFailure). Anything else is a fault
// and noexcept ends the program at once.
#include <exception>
#include <string>
#include <utility>

// Remembers a failure for the user; several before the next Take are told as one.
void NoteCallbackFailure(const std::exception& failure) noexcept;

// What the user is to be told about the failures noted since the last call
// (why the last action did not finish); empty when nothing failed.
std::wstring TakeCallbackFailure();

// The failures noted and not yet taken.
int PendingCallbackFailures() noexcept;

template <class R, class F>
R RunGuarded(R fallback, F&& work) noexcept {
    try {
        return std::forward<F>(work)();
    } catch (const std::exception& failure) {
        NoteCallbackFailure(failure);
        return fallback;
    }
}

template <class F>
void RunGuarded(F&& work) noexcept {
    try {
        std::forward<F>(work)();
    } catch (const std::exception& failure) {
        NoteCallbackFailure(failure);
    }
}

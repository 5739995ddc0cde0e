#pragma once
// The start-up alias check's inspection, run on a thread of its own so the
// window shows its rows without waiting for it (a large catalogue costs
// seconds). The thread works on a copy of the entries with its own COM
// apartment and posts the window a message when it is done; the question
// is then asked on the window's thread.
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/AliasStore.h"

class BackgroundAliasCheck {
public:
    struct Result {
        std::vector<Entry> entries;
        std::vector<AliasStore::Finding> findings;  // one per entry
        unsigned listChanges = 0;                   // the list's change count the entries were copied at
    };

    BackgroundAliasCheck() = default;
    ~BackgroundAliasCheck() { Stop(); }
    BackgroundAliasCheck(const BackgroundAliasCheck&) = delete;
    BackgroundAliasCheck& operator=(const BackgroundAliasCheck&) = delete;

    // Stops a check still running, then starts inspecting `entries`. When it
    // is done, `done` is posted to `window` with this run's number as wParam.
    void Start(HWND window, UINT done, std::vector<Entry> entries, std::wstring windir, UserPathKey key,
               unsigned listChanges);

    // Ends a running check and waits for its thread, which stops after the
    // entry in hand; its result is dropped and its message ignored.
    void Stop();

    // A check was started and its result not yet taken or dropped.
    bool Pending() const { return thread_.joinable(); }
    // Whether a posted message is from the run in hand (not one stopped since).
    bool IsCurrent(WPARAM run) const { return Pending() && run == run_; }
    WPARAM Run() const { return run_; }

    // After the run's message: its result; nullopt when the inspection
    // failed (the shell link object or memory ran out).
    std::optional<Result> Take();

private:
    std::thread thread_;
    std::atomic<bool> stop_{false};
    WPARAM run_ = 0;
    // Written by the thread before it posts; read only after joining it.
    std::optional<Result> result_;
};

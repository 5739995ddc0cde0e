#pragma once
// The start-up alias check's inspection, run on a thread of its own so the
// window shows its rows without waiting for it (a large catalogue costs
// seconds). The thread works on a copy of the entries with its own COM
// apartment and posts the window a message when it is done; the question
// is then asked on the window's thread. What the thread uses lives as long
// as the thread, not as long as this object: a thread held up by a network
// path that does not answer is let go rather than waited for.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/AliasStore.h"
#include "plumbing/WorkerThread.h"

class BackgroundAliasCheck {
public:
    struct Result {
        std::vector<Entry> entries;
        std::vector<AliasStore::Finding> findings;  // one per entry
        unsigned listChanges = 0;                   // the list's change count the entries were copied at
    };
    // The inspection the thread runs; the store's own unless a test stands
    // in another. It ends early once `stop` is set.
    using Inspection = std::function<std::vector<AliasStore::Finding>(
        const std::vector<Entry>& entries, const std::wstring& windir, const UserPathKey& key,
        const std::atomic<bool>& stop)>;

    // How long Stop waits for the thread before letting it go.
    static constexpr DWORD kStopWaitMs = 200;

    explicit BackgroundAliasCheck(Inspection inspection = {});
    ~BackgroundAliasCheck() { Stop(); }
    BackgroundAliasCheck(const BackgroundAliasCheck&) = delete;
    BackgroundAliasCheck& operator=(const BackgroundAliasCheck&) = delete;

    // Stops a check still running, then starts inspecting `entries`. When it
    // is done, `done` is posted to `window` with this run's number as wParam.
    void Start(HWND window, UINT done, std::vector<Entry> entries, std::wstring windir, UserPathKey key,
               unsigned listChanges);

    // Ends a running check: its result is dropped and its message ignored.
    // Waits for the thread, which stops after the entry in hand, at most
    // kStopWaitMs; a thread still busy then ends on its own later.
    void Stop();

    // A check was started and its result not yet taken or dropped.
    bool Pending() const { return thread_.Started(); }
    // Whether a posted message is from the run in hand (not one stopped since).
    bool IsCurrent(WPARAM run) const { return Pending() && run == run_; }
    WPARAM Run() const { return run_; }

    // After the run's message: its result; nullopt when the inspection
    // failed (the shell link object or memory ran out).
    std::optional<Result> Take();

private:
    struct Shared;  // what a run's thread and this object share

    Inspection inspection_;
    WorkerThread thread_;
    std::shared_ptr<Shared> shared_;
    WPARAM run_ = 0;
};

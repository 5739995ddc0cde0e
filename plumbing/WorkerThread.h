#pragma once
// A thread of the system's own (CreateThread) for work that may have to be
// let go while it is still busy, such as a look at a network path that does
// not answer. std::thread is not used for that: with this compiler's thread
// library, a detached thread that ends while another one starts can hand
// the new thread a stale start record (a crash, seen under Wine), and its
// timed condition wait loses wake-ups. The thread's own handle says when it
// has ended. Move-only; the owner waits for the thread when it goes, unless
// it was let go.
#include <windows.h>

#include <functional>

#include "plumbing/HandleGuards.h"

class WorkerThread {
public:
    WorkerThread() = default;
    // Starts `work` on a new thread; Started() is false when none could be
    // made. An exception leaving `work` ends the thread, not the process.
    explicit WorkerThread(std::function<void()> work);
    ~WorkerThread() { (void)Wait(INFINITE); }
    WorkerThread(WorkerThread&&) noexcept = default;
    WorkerThread& operator=(WorkerThread&& other) noexcept;

    // A thread is owned: started and neither waited for to its end nor let go.
    bool Started() const noexcept { return thread_.valid(); }
    // True when the thread has ended within `ms` (it is then no longer
    // owned), or none is owned.
    bool Wait(DWORD ms);
    // Lets the thread go: it ends on its own, and nothing waits for it.
    void Release() noexcept { thread_.reset(); }

private:
    ObjectHandle thread_;
};

#include "plumbing/WorkerThread.h"

#include <memory>
#include <utility>

namespace {

DWORD WINAPI Run(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {
        // Nothing to report to: the owner sees a thread that ended.
    }
    return 0;
}

}  // namespace

WorkerThread::WorkerThread(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    thread_.reset(CreateThread(nullptr, 0, &Run, owned.get(), 0, nullptr));
    // The thread owns the work from here; without a thread it is freed here.
    if (thread_) (void)owned.release();
}

WorkerThread& WorkerThread::operator=(WorkerThread&& other) noexcept {
    if (this != &other) {
        (void)Wait(INFINITE);
        thread_ = std::move(other.thread_);
    }
    return *this;
}

bool WorkerThread::Wait(DWORD ms) {
    if (!thread_) return true;
    if (WaitForSingleObject(thread_.get(), ms) != WAIT_OBJECT_0) return false;
    thread_.reset();
    return true;
}

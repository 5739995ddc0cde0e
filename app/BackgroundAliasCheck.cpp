#include "app/BackgroundAliasCheck.h"

#include <objbase.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

struct BackgroundAliasCheck::Shared {
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    // Written by the thread before it posts; read after it has finished.
    std::optional<Result> result;
};

BackgroundAliasCheck::BackgroundAliasCheck(Inspection inspection) : inspection_(std::move(inspection)) {
    if (!inspection_) {
        inspection_ = [](const std::vector<Entry>& entries, const std::wstring& windir, const UserPathKey& key,
                         const std::atomic<bool>& stop) { return AliasStore(windir, key).Inspect(entries, &stop); };
    }
}

void BackgroundAliasCheck::Start(HWND window, UINT done, std::vector<Entry> entries, std::wstring windir,
                                 UserPathKey key, unsigned listChanges) {
    Stop();
    shared_ = std::make_shared<Shared>();
    const WPARAM run = ++run_;
    // The thread owns everything it uses: it may outlive this object.
    thread_ = std::thread([shared = shared_, inspection = inspection_, window, done, run, listChanges,
                           entries = std::move(entries), windir = std::move(windir), key = std::move(key)]() mutable {
        // The shell link object needs an apartment on this thread too.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        try {
            Result result;
            result.findings = inspection(entries, windir, key, shared->stop);
            result.entries = std::move(entries);
            result.listChanges = listChanges;
            if (result.findings.size() == result.entries.size()) shared->result = std::move(result);
        } catch (const std::exception&) {
            // Out of memory: no result, and the start-up stays silent.
        }
        if (SUCCEEDED(com)) CoUninitialize();
        if (!shared->stop) PostMessageW(window, done, run, 0);
        {
            const std::lock_guard lock(shared->mutex);
            shared->finished = true;
        }
        shared->ended.notify_all();
    });
}

void BackgroundAliasCheck::Stop() {
    if (!thread_.joinable()) return;
    shared_->stop = true;
    bool finished = false;
    {
        std::unique_lock lock(shared_->mutex);
        finished = shared_->ended.wait_for(lock, std::chrono::milliseconds(kStopWaitMs),
                                           [&] { return shared_->finished; });
    }
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();  // it stops at its next entry, or when the network answers
    }
    shared_.reset();
}

std::optional<BackgroundAliasCheck::Result> BackgroundAliasCheck::Take() {
    if (!thread_.joinable()) return std::nullopt;
    thread_.join();
    std::optional<Result> out = std::move(shared_->result);
    shared_.reset();
    return out;
}

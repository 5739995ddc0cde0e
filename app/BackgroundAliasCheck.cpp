#include "app/BackgroundAliasCheck.h"

#include <objbase.h>

#include <exception>

struct BackgroundAliasCheck::Shared {
    std::atomic<bool> stop{false};
    // Written by the thread before it posts; read after it has ended.
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
    thread_ = WorkerThread([shared = shared_, inspection = inspection_, window, done, run, listChanges,
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
    });
}

void BackgroundAliasCheck::Stop() {
    if (!thread_.Started()) return;
    shared_->stop = true;
    // It stops at its next entry, or, held up by the network, when that answers.
    if (!thread_.Wait(kStopWaitMs)) thread_.Release();
    shared_.reset();
}

std::optional<BackgroundAliasCheck::Result> BackgroundAliasCheck::Take() {
    if (!thread_.Started()) return std::nullopt;
    (void)thread_.Wait(INFINITE);
    std::optional<Result> out = std::move(shared_->result);
    shared_.reset();
    return out;
}

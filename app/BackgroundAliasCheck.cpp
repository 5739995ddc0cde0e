#include "app/BackgroundAliasCheck.h"

#include <objbase.h>

#include <exception>

void BackgroundAliasCheck::Start(HWND window, UINT done, std::vector<Entry> entries, std::wstring windir,
                                 UserPathKey key, unsigned listChanges) {
    Stop();
    stop_ = false;
    result_.reset();
    const WPARAM run = ++run_;
    // Everything the thread uses is its own or lives until it is joined.
    thread_ = std::thread([this, window, done, run, listChanges, entries = std::move(entries),
                           windir = std::move(windir), key = std::move(key)]() mutable {
        // The shell link object needs an apartment on this thread too.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        try {
            Result result;
            result.findings = AliasStore(std::move(windir), std::move(key)).Inspect(entries, &stop_);
            result.entries = std::move(entries);
            result.listChanges = listChanges;
            if (result.findings.size() == result.entries.size()) result_ = std::move(result);
        } catch (const std::exception&) {
            // Out of memory: no result, and the start-up stays silent.
        }
        if (SUCCEEDED(com)) CoUninitialize();
        if (!stop_) PostMessageW(window, done, run, 0);
    });
}

void BackgroundAliasCheck::Stop() {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
    result_.reset();
}

std::optional<BackgroundAliasCheck::Result> BackgroundAliasCheck::Take() {
    if (!thread_.joinable()) return std::nullopt;
    thread_.join();
    std::optional<Result> out = std::move(result_);
    result_.reset();
    return out;
}

#pragma once
// A control that fetches one address in the background and saves it to a
// file, reporting progress, failure and completion to its host. It has
// nothing to show: its window is a hidden message-only window (titled with
// the control's design-time face) that receives the transfers' notifications,
// so every event is raised on the thread that created the control.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/HttpTransfer.h"
#include "plumbing/RefCounted.h"

class downloader : public RefCounted {
public:
    static constexpr const wchar_t* kDesignCaption = L"文件下载控件";

    static Ref<downloader> Create();

    // Starts fetching `url` afresh (never from a cache); the bytes will replace
    // `SaveFile` when the whole resource has arrived. An address rejected at
    // once shows the start-failure message and raises no event.
    void BeginDownload(const std::wstring& url, const std::wstring& SaveFile);
    // Stops every transfer under way: no further events, no file written.
    // Always returns false.
    bool CancelAsyncRead();

    // True while a transfer is under way.
    bool downStat = false;

    std::function<void(std::int32_t CurBytes, std::int32_t MaxBytes, const std::wstring& SaveFile)> DownloadProgress;
    std::function<void(const std::wstring& SaveFile)> DownloadError;
    std::function<void(std::int32_t MaxBytes, const std::wstring& SaveFile)> DownloadComplete;

    // Shows the start-failure message; tests replace the modal box.
    std::function<void(const std::wstring& text, const std::wstring& title, UINT style)> ShowMessage;

    HWND hWnd() const { return m_hWnd; }
    // Transfers whose worker has not been collected yet (running or ending).
    std::size_t TransfersInFlight() const { return m_Transfers.size(); }

    ~downloader() override;

private:
    struct Token {};

public:
    downloader(Token);

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTransferNotice();
    void OnProgress(const HttpTransfer& transfer, const TransferEvent& event);
    void OnComplete(HttpTransfer& transfer, const TransferEvent& event);

    HWND m_hWnd = nullptr;
    std::vector<std::unique_ptr<HttpTransfer>> m_Transfers;
};

#pragma once
// One background read of an address into a temporary file beside the save
// path (WinINet on a thread of its own). The owner collects what happened with
// NextEvent, on its own thread, after the notify callback told it there is
// something; at the end it puts the file in place with Commit or drops it
// with Discard. No window types: the owner decides how to wake itself.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct TransferEvent {
    enum class Kind { Progress, Done };
    Kind kind = Kind::Progress;
    std::uint64_t curBytes = 0;
    std::uint64_t maxBytes = 0;  // 0: the size is not known
    bool ok = false;             // Done only: every expected byte arrived intact
};

class HttpTransfer {
public:
    // Called on the worker thread whenever an event was queued.
    using Notify = std::function<void()>;

    HttpTransfer(std::wstring url, std::wstring saveFile, Notify notify);
    // Cancels and waits for the worker; removes a temporary file left over.
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    const std::wstring& SaveFile() const { return saveFile_; }

    // Asks the worker to stop; it stops at the next block received (or when
    // the receive time-out ends a stalled read) and queues nothing more.
    void Cancel();
    bool Cancelled() const { return cancel_; }

    // Takes the oldest event not yet taken; false when there is none. One at a
    // time, so events keep their order even if a handler runs a nested loop.
    bool NextEvent(TransferEvent& event);
    // The worker has queued its last event (none follow) and is ending.
    bool Finished() const { return finished_; }

    // After Done: replaces the save file by the received bytes in one step, so
    // a complete file is never left half-written. False when it cannot.
    bool Commit();
    // Removes the received bytes.
    void Discard();

    // Waits for the worker to end.
    void Join();

private:
    void Run();
    bool Receive(void* request, std::uint64_t maxBytes, std::uint64_t& curBytes);
    void Queue(const TransferEvent& event);

    const std::wstring url_;
    const std::wstring saveFile_;
    const Notify notify_;
    std::wstring tempFile_;  // written by the worker before Done, read after
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::mutex mutex_;
    std::deque<TransferEvent> events_;
    std::thread thread_;  // last: started once everything above exists
};

// Checks an address the way a start is checked: 0 when it can be fetched, or
// the WinINet error that rejects it at once (malformed, or not http, https or
// ftp).
DWORD CheckDownloadAddress(const std::wstring& url);

// The text of a WinINet or system error code, without a trailing line break.
std::wstring DescribeDownloadError(DWORD code);

// The message shown when a download cannot start.
std::wstring StartFailureText(DWORD code, const std::wstring& description);

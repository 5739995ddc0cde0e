#pragma once
// Small helpers shared by the Windows tests.
#include <windows.h>

#include <filesystem>
#include <initializer_list>
#include <string>

namespace testsupport {

// Runs the thread's message queue until it is empty.
void PumpMessages();

// Runs the message queue for about `ms` milliseconds.
void PumpFor(DWORD ms);

// Runs the message queue until `done` holds (true) or `ms` have passed
// (false); for effects of this thread's own timers and posted messages.
template <class F>
bool PumpUntil(F&& done, DWORD ms = 15000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        PumpFor(10);
    }
    return true;
}

// Checks `done` every `every` ms until it holds (true) or `ms` have passed
// (false); for waiting on other processes' and threads' windows, files and
// input, without pumping this thread's messages.
template <class F>
bool WaitFor(F&& done, DWORD ms = 15000, DWORD every = 50) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(every);
    }
    return true;
}

// Returns once `hwnd`'s thread has looked at its message queue again (a sent
// message is handled only there), or false after `ms`: proof that the thread
// got past whatever it was doing when this was called.
inline bool ThreadOfWindowCaughtUp(HWND hwnd, DWORD ms = 5000) {
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, nullptr) != 0;
}

// A fresh, empty folder under the temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole file as bytes ("" when it cannot be read).
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// UTF-8 source text to the ANSI code page and back, for building catalogue bytes.
std::string ToAnsi(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// Catalogue bytes: each line in the ANSI code page, ended with CR LF.
std::string AnsiLines(std::initializer_list<std::wstring> lines);

// A Unix path handed in by the build (Wine's Z: drive is the Unix root).
std::wstring WinePathFromUnix(const char* path);

// A child process, killed on destruction if still running.
class ChildProcess {
public:
    ChildProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder = L"");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Started() const { return started_; }
    // Why the start failed (GetLastError), 0 when it did not.
    DWORD StartError() const { return startError_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    // True when the process ended within `ms`; its exit code goes to *code.
    bool Wait(DWORD ms, DWORD* code = nullptr) const;
    void Kill();

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
    DWORD startError_ = 0;
};

}  // namespace testsupport

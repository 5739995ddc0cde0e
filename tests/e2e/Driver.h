#pragma once
// Drives a running tarvolo.exe from another process in the same Wine
// desktop: finds its windows, presses buttons, fills fields, answers message
// boxes and saves screenshots.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <filesystem>
#include <string>

#include "app/EntryDialog.h"
#include "app/frmMain.h"
#include "tests/e2e/Screen.h"
#include "tests/support/InputInjection.h"
#include "tests/support/TestSupport.h"

namespace e2e {

namespace fs = std::filesystem;

inline std::wstring g_exe;    // the program under test
inline std::wstring g_shots;  // where screenshots go

using testsupport::AnsiLines;
using testsupport::WaitFor;

// C:\windows\system, where the program writes its shortcuts.
inline fs::path SystemFolder() {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    return fs::path(windows) / L"system";
}

struct Found {
    DWORD pid;
    const wchar_t* cls;
    std::wstring title;
    HWND hwnd;
};

inline HWND FindTopLevel(DWORD pid, const wchar_t* cls, const std::wstring& title) {
    Found f{pid, cls, title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<Found*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {}, text[256] = {};
            GetClassNameW(w, cls, 64);
            GetWindowTextW(w, text, 256);
            if (owner == f->pid && IsWindowVisible(w) && lstrcmpiW(cls, f->cls) == 0 &&
                (f->title.empty() || f->title == text)) {
                f->hwnd = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

inline HWND WaitTopLevel(DWORD pid, const wchar_t* cls, const std::wstring& title = L"") {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(pid, cls, title)) != nullptr; });
    return found;
}

inline HWND Child(HWND parent, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<std::pair<int, HWND>*>(p);
            if (GetDlgCtrlID(w) != s->first) return TRUE;
            s->second = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Whether the process has the DLL loaded (a name such as L"wininet.dll").
inline bool HasModule(DWORD pid, const wchar_t* dll) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module{sizeof(module)};
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module)) {
        found = lstrcmpiW(module.szModule, dll) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

// The longest static text of a message box: its message.
inline std::wstring MessageText(HWND box) {
    std::wstring best;
    EnumChildWindows(
        box,
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[32] = {}, text[512] = {};
            GetClassNameW(w, cls, 32);
            GetWindowTextW(w, text, 512);
            auto* best = reinterpret_cast<std::wstring*>(p);
            if (lstrcmpiW(cls, L"Static") == 0 && wcslen(text) > best->size()) *best = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&best));
    return best;
}

inline void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

inline void Answer(HWND box, int id) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

// Saves the screen once it holds still: two captures 100 ms apart that agree
// mean the windows have finished painting (after 3 s it is saved as it is).
inline void Shot(const std::wstring& name) {
    std::string last = ScreenPixels();
    const DWORD start = GetTickCount();
    for (;;) {
        Sleep(100);
        std::string now = ScreenPixels();
        if (now == last || GetTickCount() - start > 3000) break;
        last = std::move(now);
    }
    SaveScreenshot(g_shots + L"\\" + name + L".bmp");
}

class Tarvolo {
public:
    explicit Tarvolo(const fs::path& exe) {
        STARTUPINFOW si{sizeof(si)};
        std::wstring cmd = L"\"" + exe.wstring() + L"\"";
        const std::wstring dir = exe.parent_path().wstring();
        started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_);
        if (started_) main = WaitTopLevel(pi_.dwProcessId, L"TarvoloMain");
        if (main) list = Child(main, frmMain::IdList1);
    }
    ~Tarvolo() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Tarvolo(const Tarvolo&) = delete;
    Tarvolo& operator=(const Tarvolo&) = delete;

    DWORD pid() const { return pi_.dwProcessId; }
    bool Exited(DWORD ms = 15000) const { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
    void Click(int id) { Press(Child(main, id)); }
    int Rows() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    int Selected() const {
        return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    // Picks a row with the keyboard, as a person could, once the last entry
    // dialog has gone: its close posts a return to the list that selects the
    // row it acted on. The keys are posted behind it, and the pick is waited for.
    bool SelectRow(int row) {
        if (!WaitFor([&] { return !AnyWindowOfClass(L"TarvoloEntryDialog"); })) return false;
        PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
        for (int i = 0; i < row; ++i) PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
        return WaitFor([&] { return Selected() == row; });
    }
    // Any top-level window of the class, shown or not.
    bool AnyWindowOfClass(const wchar_t* cls) const {
        std::pair<const wchar_t*, DWORD> search{cls, pi_.dwProcessId};
        return !EnumWindows(
            [](HWND w, LPARAM p) -> BOOL {
                const auto* s = reinterpret_cast<const std::pair<const wchar_t*, DWORD>*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                wchar_t name[64] = {};
                GetClassNameW(w, name, 64);
                return !(owner == s->second && lstrcmpiW(name, s->first) == 0);
            },
            reinterpret_cast<LPARAM>(&search));
    }
    HWND Dialog(const std::wstring& caption) { return WaitTopLevel(pid(), L"TarvoloEntryDialog", caption); }
    HWND Box() { return WaitTopLevel(pid(), L"#32770", L"Tarvolo"); }

    HWND main = nullptr;
    HWND list = nullptr;

private:
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

inline void Fill(HWND dialog, const std::wstring& path, const std::wstring& name, const std::wstring& work,
          const std::wstring& args, const std::wstring& comment) {
    SendMessageW(Child(dialog, EntryDialog::IdTxtPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtWork), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(work.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtArg), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtCom), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(comment.c_str()));
}


// Real input, as a person's mouse and keyboard would give it; main() sets
// a pause after each event so the program sees them one at a time.
using testinput::AltTap;
using testinput::Key;
using testinput::Mouse;
using testinput::Tap;
inline void MoveTo(int x, int y) { testinput::MoveMouse({x, y}); }
inline void ClickAt(int x, int y) { testinput::Click({x, y}); }

// The open popup menu of a process, if any.
inline HWND Popup(DWORD pid) { return FindTopLevel(pid, L"#32768", L""); }

inline RECT WindowRect(HWND w) {
    RECT rc{};
    GetWindowRect(w, &rc);
    return rc;
}

inline std::wstring TextOf(HWND w) {
    wchar_t text[512] = {};
    SendMessageW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace e2e

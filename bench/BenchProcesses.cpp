// Start-up to a shown, filled window and the working set, each against
// the minimal window program.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"
#include <psapi.h>
#include <tlhelp32.h>

#include "tests/support/ObjectCounts.h"
#include "bench/StartUpAliases.h"

namespace bench {

struct Launched {
    double ms = -1;  // to a shown window with the rows; -1 when it never came
    size_t workingSet = 0;
    double checkMs = -1;  // to the end of the start-up alias check; -1 when not waited for
    bool asked = false;   // a message box came up
    DWORD exitCode = STILL_ACTIVE;  // when the window never came: how the process ended
};

// Launch options beyond the window to wait for.
struct LaunchWith {
    bool workingSet = false;
    wchar_t* environment = nullptr;  // nullptr: this process's own
    // Waits, before the close, until the program's start-up alias check
    // has ended: its thread has gone (threads are counted) and no question
    // came up.
    bool waitForCheck = false;
};

int Threads(DWORD pid) {
    const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    int n = 0;
    THREADENTRY32 t{sizeof(t)};
    for (BOOL more = Thread32First(snap, &t); more; more = Thread32Next(snap, &t)) n += t.th32OwnerProcessID == pid;
    CloseHandle(snap);
    return n;
}

// The first visible top-level window of the program's main thread that
// `match` accepts. Only that thread's windows are asked for: walking every
// window on the desktop (a thousand and more once Wine's explorer has kept
// its tooltip windows) costs two server round trips per window on each
// poll, and the wineserver the launched program needs is kept busy with them.
template <class Match>
HWND VisibleWindowOf(DWORD threadId, Match&& match) {
    struct Search {
        Match* match;
        HWND found = nullptr;
    } search{&match};
    EnumThreadWindows(
        threadId,
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!IsWindowVisible(hwnd) || !(*s->match)(hwnd)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND MessageBoxOf(DWORD threadId) {
    return VisibleWindowOf(threadId, [](HWND hwnd) {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        return std::wstring(cls) == L"#32770";
    });
}

// The window with its list holding `rows` rows (listId 0: a window without
// a list). Either way the answer comes from the program's own thread: a
// window counts once that thread is in its message loop, not from the
// moment ShowWindow has marked it visible (the show and the first paint
// are still ahead then).
HWND ReadyWindowOf(DWORD threadId, int listParent, int listId, int rows) {
    return VisibleWindowOf(threadId, [&](HWND hwnd) {
        if (!listId) return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr) != 0;
        HWND parent = listParent ? GetDlgItem(hwnd, listParent) : hwnd;
        HWND list = GetDlgItem(parent, listId);
        DWORD_PTR count = 0;
        return list && SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count) &&
               static_cast<int>(count) == rows;
    });
}

Launched Launch(const std::wstring& exe, const std::wstring& args, int listParent, int listId, int rows,
                const LaunchWith& with = {}) {
    Launched out;
    std::wstring command = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const size_t slash = exe.find_last_of(L'\\');
    const std::wstring dir = exe.substr(0, slash);
    const double t0 = NowMs();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        with.environment, dir.c_str(), &si, &pi)) {
        return out;
    }
    HWND ready = nullptr;
    while (NowMs() - t0 < 60000) {
        ready = ReadyWindowOf(pi.dwThreadId, listParent, listId, rows);
        if (ready) break;
        if (WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0) break;
    }
    if (ready) {
        out.ms = NowMs() - t0;
        if (with.waitForCheck) {
            const int withCheck = Threads(pi.dwProcessId);
            while (NowMs() - t0 < 120000 && !out.asked && Threads(pi.dwProcessId) >= withCheck) {
                out.asked = MessageBoxOf(pi.dwThreadId) != nullptr;
                if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
            }
            out.checkMs = NowMs() - t0;
        }
        if (with.workingSet) {
            // A message answered means the program is in its message loop.
            SendMessageTimeoutW(ready, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr);
            out.workingSet = WorkingSet(pi.hProcess);
        }
        // A question still open is answered No first, so the close is what
        // the program handles next and it ends as after any close.
        if (HWND box = MessageBoxOf(pi.dwThreadId)) {
            out.asked = true;
            PostMessageW(box, WM_COMMAND, IDNO, 0);
            for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
        }
        PostMessageW(ready, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    if (!ready) GetExitCodeProcess(pi.hProcess, &out.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return out;
}

// Why the start-up misses where it does, as measured with time marks in a
// scratch build of both programs (figures of one quiet run).
constexpr char kStartUpMiss[] =
    "both programs reach their entry point after the same time; from there the bare window answers after about "
    "25 ms and this one after about 65: it creates 17 windows against one (about 11 ms), attaches the skin, "
    "whose frame change reconfigures the window once more (about 10 ms), and paints them all (about 9 ms against "
    "0.3, the list view alone 4), each step a run of Wine server round trips";

constexpr char kWorkingSetMiss[] =
    "sampled after the start-up alias check: none of these entries has its shortcut in this prefix, so the "
    "check's findings for all 32767 are held while its question is open, beside the libraries the program loads "
    "(the shell's among them) that the bare list does not; the rest was not broken down";

void BenchProcesses(Report& report, const std::wstring& work) {
    const std::wstring self = [] {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring p(path);
        return p.substr(0, p.find_last_of(L'\\'));
    }();
    const std::wstring tarvolo = self + L"\\..\\tarvolo.exe";
    const std::wstring minimal = self + L"\\bench_minimal.exe";
    if (GetFileAttributesW(tarvolo.c_str()) == INVALID_FILE_ATTRIBUTES) {
        report.Note("tarvolo.exe not found beside the bench folder; start-up and memory not measured");
        return;
    }
    const auto copyWith = [&](const std::wstring& name, int rows) {
        const std::wstring dir = MakeFolder(work, name);
        CopyFileW(tarvolo.c_str(), (dir + L"\\tarvolo.exe").c_str(), FALSE);
        if (rows > 0) SaveCatalogueFile(CataloguePathFor(dir), MakeRows(rows));
        return dir + L"\\tarvolo.exe";
    };
    const std::wstring empty = copyWith(L"start-empty", 0);
    const std::wstring full = copyWith(L"start-10000", 10000);
    const std::wstring big = copyWith(L"memory-32767", 32767);
    constexpr int kFrame1 = frmMain::IdFrame1, kList1 = frmMain::IdList1;

    const auto time = [](const Launched& l) { return l.ms; };
    // With rows, the floor is the minimal program showing the same file in
    // its bare list (--list): the rows must be read and shown either way.
    // The program's catalogue has working shortcuts, so its start-up check
    // runs over all of them and stays silent; each launch waits for the
    // check to end before the close.
    const std::wstring fullCatalogue = CataloguePathFor(full.substr(0, full.find_last_of(L'\\')));
    StartUpAliases aliases(MakeRows(10000));
    if (!aliases.Ready()) report.Note("start-up with 10000 rows: " + aliases.Problem());
    std::vector<double> checks;
    int asked = 0, launches = 0;
    // A launch whose window never came is not a time: it is noted and the
    // launch made again (at most twice).
    std::vector<std::string> failed;
    const auto timed = [&](const std::function<Launched()>& launch, const char* what) {
        for (int attempt = 0;; ++attempt) {
            const Launched l = launch();
            if (l.ms >= 0 || attempt == 2) return l;
            char code[16];
            std::snprintf(code, sizeof code, "0x%lX", static_cast<unsigned long>(l.exitCode));
            failed.push_back(std::string(what) + " (exit code " + code + ")");
        }
    };
    for (int rows : {0, 10000}) {
        const std::wstring& exe = rows ? full : empty;
        LaunchWith with;
        if (rows) {
            with.environment = aliases.Environment().data();
            with.waitForCheck = true;
        }
        const Pair p = Interleave(
            Reps(rows ? 5 : 15), true,
            [&] {
                return time(timed(
                    [&] {
                        return rows ? Launch(minimal, L"--list \"" + fullCatalogue + L"\"", 0, 1, rows)
                                    : Launch(minimal, L"", 0, 0, 0);
                    },
                    "bench_minimal.exe"));
            },
            [&] {
                const Launched l = timed([&] { return Launch(exe, L"", kFrame1, kList1, rows, with); },
                                         rows ? "tarvolo.exe, 10000 rows" : "tarvolo.exe, empty");
                if (rows) {
                    ++launches;
                    asked += l.asked;
                    if (l.checkMs >= 0) checks.push_back(l.checkMs);
                }
                return l.ms;
            });
        report.Add({"Start-up to a shown window with the list filled", rows ? "10000" : "empty", "ms", p.figure,
                    p.floor, Ratio(p.figure.median, p.floor.median), "≤ 1.5×",
                    Verdict(p.figure.median <= 1.5 * p.floor.median, kStartUpMiss)});
    }
    if (!failed.empty()) {
        std::string text = "Launches whose window never came, made again:";
        for (const auto& f : failed) text += " " + f + ";";
        report.Note(text);
    }
    const Stat c = Summarize(checks);
    report.Note("Start-up with 10000 rows: every alias has its working shortcut (a per-user alias folder made once "
                "in the bench prefix, given to the program through LOCALAPPDATA and on the user's PATH during the "
                "runs). The program's alias check runs over all of them on its own thread after the window is "
                "shown and filled, so the figure holds the check's start, not its end; it ended " +
                Fixed(c.median, 0) + " ms [" + Fixed(c.min, 0) + "–" + Fixed(c.max, 0) +
                "] after the launch, and " + std::to_string(asked) + " of " + std::to_string(launches) +
                " launches raised a question.");

    const std::wstring bigCatalogue = CataloguePathFor(big.substr(0, big.find_last_of(L'\\')));
    std::vector<double> app, bare;
    for (int i = 0; i < Reps(3); ++i) {
        LaunchWith with;
        with.workingSet = true;
        bare.push_back(Launch(minimal, L"--list \"" + bigCatalogue + L"\"", 0, 1, 32767, with).workingSet / 1048576.0);
        // Sampled once the start-up alias check is over (its thread gone, or
        // its question up): the memory the program then lives with.
        with.waitForCheck = true;
        app.push_back(Launch(big, L"", kFrame1, kList1, 32767, with).workingSet / 1048576.0);
    }
    const Stat a = Summarize(app), b = Summarize(bare);
    report.Add({"Working set with the list loaded", "32767", "MiB", a, b, Ratio(a.median, b.median), "≤ 1.2×",
                b.median > 0 ? Verdict(a.median <= 1.2 * b.median, kWorkingSetMiss) : "not measurable"});
}

}  // namespace bench

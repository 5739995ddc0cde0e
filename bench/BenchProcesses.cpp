// Start-up to a shown, filled window and the working set, each against
// the minimal window program.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"
#include <psapi.h>

#include "bench/Objects.h"

namespace bench {

struct Launched {
    double ms = -1;  // to a shown window with the rows; -1 when it never came
    size_t workingSet = 0;
};

struct FindReady {
    DWORD pid;
    int listParent, listId;  // 0: no list to wait for
    int rows;
    HWND found = nullptr;
};

BOOL CALLBACK FindReadyWindow(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<FindReady*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid || !IsWindowVisible(hwnd)) return TRUE;
    if (f->listId) {
        HWND parent = f->listParent ? GetDlgItem(hwnd, f->listParent) : hwnd;
        HWND list = GetDlgItem(parent, f->listId);
        if (!list) return TRUE;
        DWORD_PTR count = 0;
        if (!SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 10000, &count)) return TRUE;
        if (static_cast<int>(count) != f->rows) return TRUE;
    }
    f->found = hwnd;
    return FALSE;
}

Launched Launch(const std::wstring& exe, const std::wstring& args, int listParent, int listId, int rows,
                bool workingSet) {
    Launched out;
    std::wstring command = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const size_t slash = exe.find_last_of(L'\\');
    const std::wstring dir = exe.substr(0, slash);
    const double t0 = NowMs();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        return out;
    }
    FindReady f{pi.dwProcessId, listParent, listId, rows};
    while (NowMs() - t0 < 60000) {
        EnumWindows(FindReadyWindow, reinterpret_cast<LPARAM>(&f));
        if (f.found) break;
        if (WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0) break;
    }
    if (f.found) {
        out.ms = NowMs() - t0;
        if (workingSet) {
            Sleep(300);  // let it settle into its message loop
            out.workingSet = WorkingSet(pi.hProcess);
        }
        PostMessageW(f.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return out;
}

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
    const std::wstring fullCatalogue = CataloguePathFor(full.substr(0, full.find_last_of(L'\\')));
    for (int rows : {0, 10000}) {
        const std::wstring& exe = rows ? full : empty;
        const Pair p = Interleave(
            Reps(rows ? 5 : 9), true,
            [&] {
                return rows ? time(Launch(minimal, L"--list \"" + fullCatalogue + L"\"", 0, 1, rows, false))
                            : time(Launch(minimal, L"", 0, 0, 0, false));
            },
            [&] { return time(Launch(exe, L"", kFrame1, kList1, rows, false)); });
        report.Add({"Start-up to a shown window with the list filled", rows ? "10000" : "empty", "ms", p.figure,
                    p.floor, Ratio(p.figure.median, p.floor.median), "≤ 1.5×",
                    Verdict(p.figure.median <= 1.5 * p.floor.median,
                            "the program's own start (skin bitmaps, the frame's hooks and subclassing, two link "
                            "labels, the single-copy check) comes on top of what the minimal program does")});
    }

    const std::wstring bigCatalogue = CataloguePathFor(big.substr(0, big.find_last_of(L'\\')));
    std::vector<double> app, bare;
    for (int i = 0; i < Reps(3); ++i) {
        bare.push_back(Launch(minimal, L"--list \"" + bigCatalogue + L"\"", 0, 1, 32767, true).workingSet / 1048576.0);
        app.push_back(Launch(big, L"", kFrame1, kList1, 32767, true).workingSet / 1048576.0);
    }
    const Stat a = Summarize(app), b = Summarize(bare);
    report.Add({"Working set with the list loaded", "32767", "MiB", a, b, Ratio(a.median, b.median), "≤ 1.2×",
                b.median > 0 ? Verdict(a.median <= 1.2 * b.median) : "not measurable"});
}

}  // namespace bench

// Tarvolo's benchmarks: each figure against a floor written here in a few
// lines, measured in the same run. Run through scripts/bench.sh, which builds,
// starts Wine and keeps the last table in bench/RESULTS.md.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/HealthBench.h"
#include "bench/Measure.h"

using namespace bench;

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"--quick") g_quick = true;
        if (std::wstring(argv[i]) == L"--only" && i + 1 < argc) g_only = argv[++i];
    }
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    // Any message box would stop the run: count it and answer yes.
    SetPromptHandler([](HWND, const std::wstring& text, const std::wstring&, UINT) {
        ++g_prompts;
        std::fprintf(stderr, "  prompt: %s\n", Utf8(text).c_str());
        return IDYES;
    });

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring work = MakeFolder(temp, L"tarvolo-bench-" + std::to_wstring(GetCurrentProcessId()));
    const std::wstring folder = MakeFolder(work, L"inproc");

    Report report;
    report.Note(std::string("ANSI code page ") + std::to_string(GetACP()) + (g_quick ? "; quick run" : ""));
    // Launched programs first, on a desktop as a user's is: the tray round
    // trips below leave Wine's explorer with a thousand windows, which every
    // later top-level window of every process has to be placed among.
    if (Runs(L"processes")) {
        std::fprintf(stderr, "== start-up and memory\n");
        BenchProcesses(report, work);
    }
    {
        frmMain::Options options;
        options.catalogueFolder = folder;
        options.quitOnDestroy = false;
        frmMain main(options);
        if (!main.Create()) {
            std::fprintf(stderr, "main window could not be created\n");
            return 1;
        }
        PumpMessages();
        if (Runs(L"load")) {
            std::fprintf(stderr, "== load and save\n");
            BenchLoadAndSave(report, main, folder);
        }
        if (Runs(L"icons")) {
            std::fprintf(stderr, "== list icons\n");
            BenchIcons(report, main);
        }
        if (Runs(L"paint")) {
            std::fprintf(stderr, "== non-client paint\n");
            BenchPaint(report, main);
        }
        if (Runs(L"dispatch")) {
            std::fprintf(stderr, "== dispatch\n");
            BenchDispatch(report);
        }
        if (Runs(L"objects")) {
            std::fprintf(stderr, "== objects\n");
            BenchObjects(report, main);
        }
        if (Runs(L"health")) {
            std::fprintf(stderr, "== alias health check\n");
            BenchHealth(report, main, work, Reps(7));
        }
    }
    report.Note("Floors: load — a bare report list view with the same columns and styles, redraw off, item count "
                "preset, rows already in memory; save — the same LVM_GETITEMTEXTW messages reading the same rows "
                "back out of the list, plus the same bytes in one WriteFile, flushed and renamed into place (its "
                "parts: the read-back for the read-back, the write for the checking and writing); icons — the same "
                "rows put into the bare list and drawn once, then the icon of each distinct target in view looked "
                "up one after the other on the window's thread (the look-up the program's threads run); start-up — bench_minimal.exe, one window shown (with rows: the same file in its bare list); paint — GetWindowDC and four BitBlt calls "
                "(caption band, two border columns, bottom strip) from a prepared memory bitmap, plus creating, "
                "selecting and deleting the two fonts and drawing the caption text once; dispatch — the "
                "same SendMessageW to a window that is not subclassed; memory — bench_minimal.exe --list, the "
                "same file in a bare list view.");
    report.Note("Environment: one CPU for the whole Wine session; Wine's fixme reports off (one is written on every "
                "frame paint, for LockWindowUpdate); the private display has an X resource database, as a desktop "
                "session has (without one, Xlib opens ~/.Xdefaults and ~/.Xdefaults-<host> on every window DC and "
                "font selection Wine makes, which had been most of the paint floor).");
    report.Note("Start-up is timed from CreateProcessW until the process has a visible top-level window whose list "
                "answers LVM_GETITEMCOUNT with all rows (the empty floor's window, which has no list: until it answers "
                "WM_NULL), polled from this process in the same Wine desktop; either answer comes once the program's "
                "thread is in its message loop, past its show and first paint.");
    report.Note("GDI objects: live entries of the process in the shared GDI handle table the PEB points to "
                "(GetGuiResources answers 0 under Wine; the count is checked against 10 brushes made and deleted "
                "first). USER objects: windows of the process (top-level, descendants, message-only); menus, "
                "icons and cursors cannot be enumerated and are not in that count.");
    if (g_prompts) report.Note(std::to_string(g_prompts) + " message box(es) were raised and answered yes");
    report.Print();
    OleUninitialize();
    return 0;
}


// The list's icons: the time from the start of a catalogue load until every
// row in view shows its target's icon, against the same icons looked up
// plainly, one after the other, for a bare list filled with the same rows.
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "app/IconLookup.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"

namespace bench {

namespace {

// Names of what is in a folder: programs, or folders.
std::vector<std::wstring> Listed(const std::wstring& folder, const wchar_t* pattern, bool folders) {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == folders && found.cFileName[0] != L'.') out.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return out;
}

// A catalogue like MakeRows', whose rows in view (and well below) name
// real programs and folders of this system, every one a different target.
std::vector<WideRow> RowsWithRealTargets(int n, int real) {
    std::vector<WideRow> rows = MakeRows(n);
    wchar_t system[MAX_PATH], windows[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::vector<std::wstring> programs = Listed(system, L"*.exe", false);
    std::vector<std::wstring> folders = Listed(windows, L"*", true);
    for (const std::wstring& f : Listed(system, L"*", true)) folders.push_back(f);
    size_t p = 0, f = 0;
    for (int i = 0; i < n && i < real; ++i) {
        const bool folder = rows[i][0] == kKindFolder;
        if (folder && f < folders.size()) rows[i][2] = folders[f++];
        if (!folder && p < programs.size()) rows[i][2] = programs[p++];
    }
    return rows;
}

void PumpUntil(const std::function<bool()>& done, double timeoutMs) {
    const double start = NowMs();
    while (!done() && NowMs() - start < timeoutMs) {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace

void BenchIcons(Report& report, frmMain& main) {
    const int n = 10000;
    const std::vector<WideRow> rows = RowsWithRealTargets(n, 100);
    const std::wstring path = main.CataloguePath();
    SaveCatalogueFile(path, rows);
    HWND host = PlainWindow(L"floor icons", true);
    HWND bare = BareList(host, main.List1.hWnd());
    const int visible = ListView_GetCountPerPage(main.List1.hWnd());
    const int size = main.Icons().IconSize();
    HIMAGELIST scratch = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 64, 64);
    bool allArrived = true;

    const Pair icons = Interleave(
        Reps(7), true,
        [&] {
            ListView_DeleteAllItems(bare);
            ImageList_RemoveAll(scratch);
            PumpMessages();
            const double t0 = NowMs();
            PlainInsert(bare, rows);
            UpdateWindow(bare);
            // The icons of the rows in view, each target once, on this thread.
            std::set<std::wstring> done;
            for (int r = 0; r < visible && r < n; ++r) {
                if (!done.insert(rows[r][2]).second) continue;
                const FoundIcon found = LookUpIcon(rows[r][2], size);
                if (found.icon) {
                    ImageList_ReplaceIcon(scratch, -1, found.icon);
                    DestroyIcon(found.icon);
                }
            }
            return NowMs() - t0;
        },
        [&] {
            main.List1.Clear();
            main.Icons().Forget();
            PumpMessages();
            const double t0 = NowMs();
            FillList(main.List1, LoadCatalogueFile(path).rows);
            // The window draws the rows, which asks for their icons; they
            // arrive from the look-up threads while it goes on.
            PumpUntil([&] { return main.Icons().VisibleRowsHaveIcons(); }, 20000);
            const double t = NowMs() - t0;
            allArrived = allArrived && main.Icons().VisibleRowsHaveIcons();
            return t;
        });
    if (!allArrived) report.Note("icons: a run ended at its 20 s limit with rows in view still without their icon");
    report.Add({"Icons for every row in view, from the start of the load", std::to_string(n) + " (" +
                                                                              std::to_string(visible) + " in view)",
                "ms", icons.figure, icons.floor, Ratio(icons.figure.median, icons.floor.median), "≤ 1.5×",
                Verdict(icons.figure.median <= 1.5 * icons.floor.median)});
    main.List1.Clear();
    main.Icons().Forget();
    ImageList_Destroy(scratch);
    DeleteFileW(path.c_str());
    DestroyWindow(host);
    PumpMessages();
}

}  // namespace bench

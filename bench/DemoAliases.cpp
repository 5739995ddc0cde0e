// Gives the run command's demo catalogue its aliases, written by the
// program's own store as an add writes them, so that the demo starts as a
// user's copy would: every alias working and the start-up check silent.
// Run inside the demo's Wine prefix:
//   demo_aliases CATALOGUE
// Writes the alias of each entry that has no shortcut yet (one that is
// there is left as it is: the demo may be showing what the check finds).
// Exit code 0 when every entry has its shortcut afterwards.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "catalogue/AliasStore.h"
#include "catalogue/CatalogueFile.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_aliases CATALOGUE\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 0;
    {
        const CatalogueLoad load = LoadCatalogueFile(argv[1]);
        wchar_t windows[MAX_PATH] = {};
        const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
        AliasStore store(std::wstring(windows, n < MAX_PATH ? n : 0));
        WshShellObject shell;
        for (const WideRow& row : load.rows) {
            Entry e;
            for (size_t i = 0; i < row.size() && i < e.fields.size(); ++i) e.fields[i] = row[i];
            if (e.Name().empty() || !store.Find(e.Name()).empty()) continue;
            const ShortcutResult r = store.Write(shell, e.Name(), e.Path(), e.Args(), e.WorkDir(), e.Comment());
            if (!r) {
                std::fwprintf(stderr, L"demo alias %ls not written: %ls\n", e.Name().c_str(), r.reason.c_str());
                status = 1;
            }
        }
    }
    CoUninitialize();
    return status;
}

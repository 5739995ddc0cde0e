#include "bench/HealthBench.h"

#include <windows.h>

#include <vector>

#include "app/CatalogueList.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "catalogue/AliasStore.h"
#include "catalogue/CatalogueFile.h"

using bench::MakeFolder;
using bench::PumpMessages;

// Floor: the load the check follows at start-up (file read, list filled).
// Figure: the check of the same entries, every shortcut present and right,
// so each entry is found, read back and searched for.
void BenchHealth(Report& report, frmMain& main, const std::wstring& work, int reps) {
    for (int n : {100, 1000}) {
        const std::wstring label = std::to_wstring(n);
        const std::wstring windir = MakeFolder(work, L"health-" + label);
        const std::wstring system = MakeFolder(windir, L"system");
        const std::wstring target = windir + L"\\工具.exe";
        CloseHandle(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::vector<WideRow> rows;
        std::vector<Entry> entries;
        WshShellObject shell;
        for (int i = 0; i < n; ++i) {
            const std::wstring k = std::to_wstring(i);
            Entry e;
            e.fields = {kKindProgram, L"hb" + k, target, windir + L"\\", i % 3 ? L"" : L"/q " + k, L"第" + k + L"个"};
            (void)WriteShortcutAt(shell, system + L"\\", e.Name(), e.Path(), e.Args(), e.WorkDir(), e.Comment());
            rows.push_back(WideRow(e.fields.begin(), e.fields.end()));
            entries.push_back(std::move(e));
        }
        const std::wstring catalogue = CataloguePathFor(MakeFolder(work, L"health-list-" + label));
        SaveCatalogueFile(catalogue, rows);
        const AliasStore store(windir);
        int ok = 0;
        const Pair p = Interleave(
            reps, true,
            [&] {
                main.List1.Clear();
                PumpMessages();
                const double t0 = NowMs();
                FillList(main.List1, LoadCatalogueFile(catalogue).rows);
                return NowMs() - t0;
            },
            [&] {
                const double t0 = NowMs();
                const std::vector<AliasStore::Finding> found = store.Inspect(entries);
                const double t = NowMs() - t0;
                ok = 0;
                for (const auto& f : found) ok += f.state == AliasState::Ok;
                return t;
            });
        if (ok != n) report.Note("health check of " + Utf8(label) + " aliases found " + std::to_string(n - ok) + " not working");
        const double perEntry = p.figure.median / n;
        report.Add({"Alias health check after the load", Utf8(label), "ms", p.figure, p.floor,
                    Plus(Fixed(perEntry, 3)) + " ms/entry", "≤ +1 ms/entry", perEntry <= 1.0 ? "holds" : "misses"});
    }
    main.List1.Clear();
    report.Note("Floor of the health check: loading the same catalogue into the list, the step it follows at "
                "start-up; the figure is the check alone (each shortcut found, read back through one reused shell "
                "link object, and searched for as the Run box would).");
}

#include "bench/StartUpAliases.h"

#include <cstdio>

#include "bench/Measure.h"
#include "catalogue/AliasFolders.h"
#include "catalogue/AliasStore.h"
#include "catalogue/ShortcutStore.h"

namespace bench {

namespace {

std::wstring Variable(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    std::wstring value(n, L'\0');
    value.resize(n ? GetEnvironmentVariableW(name, value.data(), n) : 0);
    return value;
}

// Every variable of this process, LOCALAPPDATA replaced, double-NUL ended.
std::wstring EnvironmentWith(const std::wstring& local) {
    std::wstring block;
    wchar_t* const all = GetEnvironmentStringsW();
    for (const wchar_t* p = all; p && *p; p += wcslen(p) + 1) {
        if (_wcsnicmp(p, L"LOCALAPPDATA=", 13) != 0) block.append(p).push_back(L'\0');
    }
    if (all) FreeEnvironmentStringsW(all);
    block.append(L"LOCALAPPDATA=" + local).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

Entry EntryOf(const WideRow& row) {
    Entry e;
    for (size_t i = 0; i < row.size() && i < e.fields.size(); ++i) e.fields[i] = row[i];
    return e;
}

}  // namespace

StartUpAliases::StartUpAliases(const std::vector<WideRow>& rows) {
    // On drive C of the bench prefix, outside the run's temporary folder,
    // so the next run finds the shortcuts made by this one.
    local_ = L"C:\\tarvolo-bench-local-" + std::to_wstring(rows.size());
    folder_ = local_ + L"\\Tarvolo\\Aliases";
    environment_ = EnvironmentWith(local_);
    const std::wstring stamp = local_ + L"\\made-" + std::to_wstring(rows.size()) + L".txt";
    if (GetFileAttributesW(stamp.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (const FolderResult made = CreateFolderTree(folder_ + L"\\"); !made) {
            problem_ = "the bench's alias folder could not be made: " + Utf8(made.reason);
            return;
        }
        const double t0 = NowMs();
        WshShellObject shell;
        for (const WideRow& row : rows) {
            const Entry e = EntryOf(row);
            const ShortcutResult r =
                WriteShortcutAt(shell, folder_ + L"\\", e.Name(), e.Path(), e.Args(), e.WorkDir(), e.Comment());
            if (!r) {
                problem_ = "shortcut " + Utf8(e.Name()) + " could not be written: " + Utf8(r.reason);
                return;
            }
        }
        // Written last: an interrupted run leaves no stamp and the next one starts over.
        CloseHandle(CreateFileW(stamp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::fprintf(stderr, "  made %zu shortcuts for the start-up check in %.0f ms (kept for later runs)\n",
                     rows.size(), NowMs() - t0);
    }
    // The programs the entries name, so that none is reported as gone; made
    // once too. The folders are on D:, which a Wine prefix does not have as a
    // fixed disk: the check cannot tell whether they are there and is silent.
    const std::wstring targetStamp = local_ + L"\\targets-" + std::to_wstring(rows.size()) + L".txt";
    if (GetFileAttributesW(targetStamp.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const double t0 = NowMs();
        for (const WideRow& row : rows) {
            const Entry e = EntryOf(row);
            if (e.Kind() != kKindProgram) continue;
            const size_t slash = e.Path().find_last_of(L'\\');
            if (const FolderResult made = CreateFolderTree(e.Path().substr(0, slash + 1)); !made) {
                problem_ = "the program of " + Utf8(e.Name()) + " could not be made: " + Utf8(made.reason);
                return;
            }
            CloseHandle(CreateFileW(e.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
        CloseHandle(CreateFileW(targetStamp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::fprintf(stderr, "  made the programs the start-up catalogue names in %.0f ms (kept for later runs)\n",
                     NowMs() - t0);
    }
    if (const FolderResult onPath = AddFolderToUserPath({}, folder_, &addedToPath_); !onPath) {
        problem_ = "the bench's alias folder could not be put on the user's PATH: " + Utf8(onPath.reason);
        return;
    }
    // What the launched program will find: a sample of the entries must be
    // working aliases, or its check would ask instead of staying silent.
    const std::wstring saved = Variable(L"LOCALAPPDATA");
    SetEnvironmentVariableW(L"LOCALAPPDATA", local_.c_str());
    std::vector<Entry> sample;
    for (size_t i = 0; i < rows.size(); i += rows.size() / 20 + 1) sample.push_back(EntryOf(rows[i]));
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    for (const AliasStore::Finding& f : AliasStore(windows).Inspect(sample)) {
        if (f.state != AliasState::Ok) problem_ = "a sample alias is not working: " + Utf8(f.shortcut);
    }
    SetEnvironmentVariableW(L"LOCALAPPDATA", saved.empty() ? nullptr : saved.c_str());
}

StartUpAliases::~StartUpAliases() {
    if (addedToPath_) (void)RemoveFolderFromUserPath({}, folder_);
}

}  // namespace bench

// One step of the restart check, run as its own process in a Wine prefix of
// the check's own (restart-search.sh):
//   write NAME FILE  writes NAME's alias with no system folder to write into,
//                    so it goes to the per-user folder; FILE keeps the user's
//                    PATH value as it was before
//   find NAME        after the Wine server restarted: this process started
//                    with the new user PATH, and the shell's search, with
//                    nothing set up by us, finds the per-user shortcut
//   delete NAME FILE deletes the alias; the PATH value is what FILE kept
// Exit code 0 when the step held.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/AliasStore.h"

namespace {

// The Windows directory the store is given has no "system" folder.
std::wstring NoSystemFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"tarvolo-restart-windows";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::vector<char> RawUserPath() {
    HKEY key = nullptr;
    std::vector<char> raw = {'-'};  // "-": absent
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Environment", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return raw;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, L"Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        raw.assign(size + 1, 0);
        raw[0] = static_cast<char>('0' + type);
        RegQueryValueExW(key, L"Path", nullptr, &type, reinterpret_cast<BYTE*>(raw.data() + 1), &size);
    }
    RegCloseKey(key);
    return raw;
}

int Fail(const char* what) {
    std::fprintf(stderr, "restart probe: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Fail("usage: write|find|delete NAME [FILE]");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring step = argv[1], name = argv[2];
    AliasStore store(NoSystemFolder());
    if (store.UserFolder().empty()) return Fail("no LOCALAPPDATA");
    const std::wstring shortcut = store.UserFolder() + name + L".lnk";
    if (step == L"write" && argc > 3) {
        const std::vector<char> before = RawUserPath();
        std::ofstream(argv[3], std::ios::binary).write(before.data(), static_cast<std::streamsize>(before.size()));
        wchar_t notepad[MAX_PATH];
        GetWindowsDirectoryW(notepad, MAX_PATH);
        WshShellObject shell;
        const ShortcutResult r = store.Write(shell, name, std::wstring(notepad) + L"\\notepad.exe", L"", notepad, name);
        if (!r.ok()) return Fail("the write failed");
        return r.path == shortcut ? 0 : Fail("the alias is not in the per-user folder");
    }
    if (step == L"find") {
        wchar_t path[32768] = {};
        GetEnvironmentVariableW(L"PATH", path, 32768);
        if (std::wstring(path).find(store.UserFolder().substr(0, store.UserFolder().size() - 1)) == std::wstring::npos) {
            return Fail("the new process's PATH does not hold the per-user folder");
        }
        wchar_t found[MAX_PATH] = {};
        name.copy(found, name.size());
        if (!PathResolve(found, nullptr, PRF_VERIFYEXISTS | PRF_TRYPROGRAMEXTENSIONS)) return Fail("not found");
        return CompareStringOrdinal(found, -1, shortcut.c_str(), -1, TRUE) == CSTR_EQUAL
                   ? 0
                   : Fail("the search found another file");
    }
    if (step == L"delete" && argc > 3) {
        if (!store.Delete(name).ok()) return Fail("the delete failed");
        std::ifstream in(argv[3], std::ios::binary);
        const std::vector<char> before{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return before == RawUserPath() ? 0 : Fail("the PATH value is not what it was");
    }
    return Fail("unknown step");
}

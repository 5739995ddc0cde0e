#include "catalogue/RunSearch.h"

#include <shlobj.h>

#include <algorithm>
#include <mutex>

#include "catalogue/AliasHealth.h"
#include "plumbing/HandleGuards.h"

namespace {

std::wstring SystemPath() {
    UserPathKey machine;
    machine.root = HKEY_LOCAL_MACHINE;
    machine.subkey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    return ReadUserPathForSearch(machine);
}

std::wstring SystemDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

std::wstring WindowsDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// Only a full path names the same folder for every program; a relative
// PATH entry would be taken against whatever folder a search runs in.
bool IsFullPath(const std::wstring& folder) {
    return (folder.size() >= 3 && folder[1] == L':' && folder[2] == L'\\') || folder.rfind(L"\\\\", 0) == 0;
}

std::vector<std::wstring> PathFolders(const std::wstring& path) {
    std::vector<std::wstring> folders;
    for (size_t start = 0; start <= path.size();) {
        const size_t semi = std::min(path.find(L';', start), path.size());
        std::wstring folder = path.substr(start, semi - start);
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') folder = folder.substr(1, folder.size() - 2);
        if (IsFullPath(folder)) folders.push_back(std::move(folder));
        start = semi + 1;
    }
    return folders;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    const DWORD got = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (got == 0 || got >= n) return path;
    full.resize(got);
    return full;
}

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// As the shell finds a name's extension: from its last dot, unless a blank follows.
bool HasExtension(const std::wstring& name) {
    const size_t dot = name.find_last_of(L'.');
    return dot != std::wstring::npos && name.find(L' ', dot) == std::wstring::npos;
}

// The shell does not promise that its search may run on two threads at
// once (the start-up check's and the window's); searches here have always
// run one at a time, and still do. This lock is ours alone.
std::mutex& SearchLock() {
    static std::mutex lock;
    return lock;
}

// The extensions the search tries, in its order.
constexpr const wchar_t* kProgramExtensions[] = {L".pif", L".com", L".exe", L".bat", L".lnk", L".cmd"};

}  // namespace

RunSearch::RunSearch(std::wstring windir, const UserPathKey& key) : windir_(std::move(windir)) {
    // The program's Windows directory first, as the shell searches its own
    // (the two are the same unless a test gives another one); then the
    // shell's own folders; then the PATH a program started now would get.
    const std::wstring windows = WindowsDirectory();
    std::vector<std::wstring> folders = {SystemDirectory(), windir_ + L"\\system", windir_,
                                         SystemDirectory(), windows + L"\\system", windows};
    if (windir_.empty()) folders.erase(folders.begin() + 1, folders.begin() + 3);
    for (const std::wstring& path : {SystemPath(), ReadUserPathForSearch(key)}) {
        for (std::wstring& folder : PathFolders(path)) folders.push_back(std::move(folder));
    }
    for (std::wstring& folder : folders) {
        if (folder.empty()) continue;
        const bool seen = std::any_of(folders_.begin(), folders_.end(),
                                      [&](const std::wstring& f) { return SamePathText(f, folder); });
        if (!seen) folders_.push_back(std::move(folder));
    }
}

std::wstring RunSearch::Resolve(const std::wstring& name) const {
    wchar_t buffer[MAX_PATH] = {};
    // The search appends an extension in place and cannot take longer names.
    if (name.empty() || name.size() + 5 >= MAX_PATH) return {};
    name.copy(buffer, name.size());
    std::vector<PCWSTR> dirs;
    dirs.reserve(folders_.size() + 1);
    for (const std::wstring& folder : folders_) dirs.push_back(folder.c_str());
    dirs.push_back(nullptr);
    {
        const std::lock_guard lock(SearchLock());
        if (!PathResolve(buffer, dirs.data(), PRF_VERIFYEXISTS | PRF_TRYPROGRAMEXTENSIONS)) return {};
    }
    const std::wstring found = buffer;
    const size_t slash = found.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    const std::wstring folder = found.substr(0, slash);
    for (const std::wstring& f : folders_) {
        if (SamePathText(f, folder)) return found;
    }
    return {};  // found only where the Run box does not look
}

void RunSearch::ListFolders() const {
    listed_ = true;
    for (const std::wstring& folder : folders_) {
        Listed listed;
        listed.folder = folder;
        WIN32_FIND_DATAW data;
        const FindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (find.valid()) {
            do {
                listed.names.insert(Lower(data.cFileName));
            } while (FindNextFileW(find.get(), &data));
            listed.complete = GetLastError() == ERROR_NO_MORE_FILES;
        } else {
            // A folder that is not there holds nothing; one that cannot be
            // read could hold anything.
            const DWORD error = GetLastError();
            listed.complete = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        }
        order_.push_back(std::move(listed));
    }
}

std::wstring RunSearch::ResolveExpecting(const std::wstring& name, const std::wstring& own) const {
    // Whether the shell tries the program extensions after a name that has
    // one of its own is its business (and has changed between versions of
    // Wine): only its own search can say.
    if (HasExtension(name)) return Resolve(name);
    if (!listed_) ListFolders();
    const size_t slash = own.find_last_of(L'\\');
    const std::wstring ownFolder = slash == std::wstring::npos ? std::wstring() : own.substr(0, slash);
    const std::wstring lower = Lower(name);
    for (const Listed& listed : order_) {
        if (!listed.complete) return Resolve(name);
        const bool isOwn = SamePathText(listed.folder, ownFolder);
        if (listed.names.count(lower)) return Resolve(name);
        for (const wchar_t* extension : kProgramExtensions) {
            // Reached the shortcut itself before anything else.
            if (isOwn && std::wstring(extension) == L".lnk") return own;
            if (listed.names.count(lower + extension)) return Resolve(name);
        }
    }
    return Resolve(name);
}

bool SameFile(const std::wstring& a, const std::wstring& b) { return SamePathText(FullPath(a), FullPath(b)); }

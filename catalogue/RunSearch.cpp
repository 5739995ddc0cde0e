#include "catalogue/RunSearch.h"

#include <shlobj.h>

#include <algorithm>
#include <mutex>

#include "catalogue/AliasHealth.h"

namespace {

std::optional<std::wstring> Variable(const wchar_t* name) {
    const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0) return std::nullopt;
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
    value.resize(got < n ? got : 0);
    return value;
}

std::wstring SystemPath(const std::optional<std::wstring>& fallback) {
    UserPathKey machine;
    machine.root = HKEY_LOCAL_MACHINE;
    machine.subkey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    std::wstring path = ReadUserPathForSearch(machine);
    // Without the machine's value, this process's PATH is the best guess
    // at it (it holds the system PATH the process started with).
    if (path.empty() && fallback) path = *fallback;
    return path;
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

// For one search: the PATH given and System32 as the current folder, and
// the process's own put back afterwards. The search also looks in the
// current folder, which is ours and not the Run box's: a tool.exe beside the
// program would seem to take "tool"; System32, searched first anyway, stands
// in for it meanwhile.
class SearchEnvironment {
public:
    explicit SearchEnvironment(const std::wstring& path) : lock_(Mutex()) {
        savedPath_ = Variable(L"PATH");
        SetEnvironmentVariableW(L"PATH", path.c_str());
        const DWORD n = GetCurrentDirectoryW(0, nullptr);
        savedFolder_.resize(n);
        savedFolder_.resize(n ? GetCurrentDirectoryW(n, savedFolder_.data()) : 0);
        wchar_t system32[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(system32, MAX_PATH);
        if (savedFolder_.empty() || length == 0 || length >= MAX_PATH || !SetCurrentDirectoryW(system32)) {
            savedFolder_.clear();
        }
    }
    ~SearchEnvironment() {
        if (!savedFolder_.empty()) SetCurrentDirectoryW(savedFolder_.c_str());
        SetEnvironmentVariableW(L"PATH", savedPath_ ? savedPath_->c_str() : nullptr);
    }
    SearchEnvironment(const SearchEnvironment&) = delete;
    SearchEnvironment& operator=(const SearchEnvironment&) = delete;

private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    std::lock_guard<std::mutex> lock_;
    std::optional<std::wstring> savedPath_;  // nullopt: the process had no PATH
    std::wstring savedFolder_;               // "" when the current folder was not changed
};

}  // namespace

RunSearch::RunSearch(std::wstring windir, const UserPathKey& key) : windir_(std::move(windir)) {
    std::wstring merged = SystemPath(Variable(L"PATH"));
    const std::wstring user = ReadUserPathForSearch(key);
    if (!user.empty()) merged += (merged.empty() || merged.back() == L';' ? L"" : L";") + user;
    path_ = merged;
}

std::wstring RunSearch::Resolve(const std::wstring& name) const {
    wchar_t buffer[MAX_PATH] = {};
    // The search appends an extension in place and cannot take longer names.
    if (name.empty() || name.size() + 5 >= MAX_PATH) return {};
    name.copy(buffer, name.size());
    // The program's Windows directory is searched as the shell searches its
    // own, after System32 (the two are the same unless a test gives
    // another one).
    wchar_t system32[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system32, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) system32[0] = 0;
    const std::wstring system = windir_ + L"\\system";
    PCWSTR dirs[] = {system32, system.c_str(), windir_.c_str(), nullptr};
    const SearchEnvironment environment(path_);
    if (!PathResolve(buffer, windir_.empty() ? nullptr : dirs, PRF_VERIFYEXISTS | PRF_TRYPROGRAMEXTENSIONS)) return {};
    return FullPath(buffer);
}

namespace {

std::wstring Lower(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
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

// The extensions the search tries, in its order.
constexpr const wchar_t* kProgramExtensions[] = {L".pif", L".com", L".exe", L".bat", L".lnk", L".cmd"};

}  // namespace

void RunSearch::ListFolders() const {
    listed_ = true;
    // The folders in the order the search passes them: the ones given
    // first, then the shell's own, then the PATH.
    std::vector<std::wstring> folders = {SystemDirectory(), windir_ + L"\\system", windir_};
    const std::wstring windows = WindowsDirectory();
    folders.insert(folders.end(), {SystemDirectory(), windows + L"\\system", windows});
    for (size_t start = 0; start <= path_.size();) {
        const size_t semi = std::min(path_.find(L';', start), path_.size());
        if (semi > start) folders.push_back(path_.substr(start, semi - start));
        start = semi + 1;
    }
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        bool seen = false;
        for (const Listed& l : order_) seen = seen || SamePathText(l.folder, folder);
        if (seen) continue;
        Listed listed;
        listed.folder = folder;
        WIN32_FIND_DATAW data;
        const HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                listed.names.insert(Lower(data.cFileName));
            } while (FindNextFileW(find, &data));
            listed.complete = GetLastError() == ERROR_NO_MORE_FILES;
            FindClose(find);
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

#include "catalogue/RunSearch.h"

#include <shlobj.h>

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

}  // namespace

RunSearch::RunSearch(std::wstring windir, const UserPathKey& key) : windir_(std::move(windir)) {
    savedPath_ = Variable(L"PATH");
    std::wstring merged = SystemPath(savedPath_);
    const std::wstring user = ReadUserPathForSearch(key);
    if (!user.empty()) merged += (merged.empty() || merged.back() == L';' ? L"" : L";") + user;
    SetEnvironmentVariableW(L"PATH", merged.c_str());
    // The search also looks in the current folder, which is ours and not the
    // Run box's: a tool.exe beside the program would seem to take "tool".
    // System32, searched first anyway, stands in for it meanwhile.
    const DWORD n = GetCurrentDirectoryW(0, nullptr);
    savedFolder_.resize(n);
    savedFolder_.resize(n ? GetCurrentDirectoryW(n, savedFolder_.data()) : 0);
    wchar_t system32[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system32, MAX_PATH);
    if (savedFolder_.empty() || length == 0 || length >= MAX_PATH || !SetCurrentDirectoryW(system32)) {
        savedFolder_.clear();
    }
}

RunSearch::~RunSearch() {
    if (!savedFolder_.empty()) SetCurrentDirectoryW(savedFolder_.c_str());
    SetEnvironmentVariableW(L"PATH", savedPath_ ? savedPath_->c_str() : nullptr);
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
    if (!PathResolve(buffer, windir_.empty() ? nullptr : dirs, PRF_VERIFYEXISTS | PRF_TRYPROGRAMEXTENSIONS)) return {};
    return FullPath(buffer);
}

bool SameFile(const std::wstring& a, const std::wstring& b) { return SamePathText(FullPath(a), FullPath(b)); }

#include "plumbing/SystemLibrary.h"

#include <string>

HMODULE SystemLibrary(const wchar_t* dll) noexcept {
    if (const HMODULE loaded = GetModuleHandleW(dll)) return loaded;
    if (const HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Windows 7 without its 2011 loader update refuses the flag; the full
    // path does the same there.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    try {
        return LoadLibraryW((std::wstring(folder, n) + L"\\" + dll).c_str());
    } catch (...) {
        return nullptr;  // no memory for the path: as if the DLL were missing
    }
}

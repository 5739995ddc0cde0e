#include "plumbing/SystemInfo.h"

#include <cstdio>
#include <memory>

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

namespace {

std::wstring MessageText(DWORD error, HMODULE messages) {
    wchar_t* buffer = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    if (messages) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    const DWORD n = FormatMessageW(flags, messages, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(buffer, &LocalFree);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

}  // namespace

std::wstring SystemErrorText(DWORD error, HMODULE messages, std::wstring_view fallback) {
    std::wstring text = MessageText(error, messages);
    // An HRESULT that wraps a system error code: the code has the text.
    if (text.empty() && HRESULT_FACILITY(error) == FACILITY_WIN32 && (error & 0x80000000u)) {
        text = MessageText(HRESULT_CODE(error), messages);
    }
    if (!text.empty()) return text;
    if (!fallback.empty()) return std::wstring(fallback);
    if (error & 0x80000000u) {
        wchar_t code[32];
        swprintf(code, 32, L"错误代码 0x%08lX", static_cast<unsigned long>(error));
        return code;
    }
    return L"错误代码 " + std::to_wstring(error);
}

std::wstring ExpandedPath(std::wstring_view text) {
    std::wstring source(text);
    if (source.find(L'%') == std::wstring::npos) return source;
    std::wstring out(source.size() + MAX_PATH, L'\0');
    for (;;) {
        // The count includes the terminating NUL; a larger one asks for room.
        const DWORD n = ExpandEnvironmentStringsW(source.c_str(), out.data(), static_cast<DWORD>(out.size()));
        if (n == 0) return source;
        if (n <= out.size()) {
            out.resize(n - 1);
            return out;
        }
        out.resize(n);
    }
}

#include "plumbing/PlumbingError.h"

#include <windows.h>

#include <filesystem>

std::wstring PlumbingErrorSource() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::wstring(path, n)).stem().wstring() + L".WindowProc";
}

PlumbingError::PlumbingError(std::int32_t code, std::wstring description)
    : std::runtime_error("plumbing error " + std::to_string(code)),
      number_(static_cast<std::int32_t>(static_cast<std::uint32_t>(code) | 0x80040000u)),
      source_(PlumbingErrorSource()),
      description_(std::move(description)) {}

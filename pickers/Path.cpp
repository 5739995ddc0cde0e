#include "pickers/Path.h"

std::wstring GetFolderPart(std::wstring_view path) {
    const size_t at = path.find_last_of(L":\\");
    if (at == std::wstring_view::npos) return {};
    return std::wstring(path.substr(0, at + 1));
}

std::wstring GetFileNamePart(std::wstring_view path) {
    const size_t at = path.find_last_of(L'\\');
    if (at == std::wstring_view::npos) return std::wstring(path);
    return std::wstring(path.substr(at + 1));
}

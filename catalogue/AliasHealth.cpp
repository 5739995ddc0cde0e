#include "catalogue/AliasHealth.h"

#include <cwctype>

namespace {

std::wstring_view WithoutTrailingSeparators(std::wstring_view s) {
    while (s.size() > 1 && (s.back() == L'\\' || s.back() == L'/')) s.remove_suffix(1);
    return s;
}

}  // namespace

bool SamePathText(std::wstring_view a, std::wstring_view b) {
    a = WithoutTrailingSeparators(a);
    b = WithoutTrailingSeparators(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x == L'/') x = L'\\';
        if (y == L'/') y = L'\\';
        if (x != y && std::towupper(static_cast<std::wint_t>(x)) != std::towupper(static_cast<std::wint_t>(y))) {
            return false;
        }
    }
    return true;
}

bool LinkMatchesEntry(const Entry& entry, const LinkFields& link) {
    return SamePathText(entry.Path(), link.target) && link.args == entry.Args() &&
           SamePathText(entry.WorkDir(), link.workDir) && link.description == entry.Comment();
}

AliasState ClassifyAlias(const Entry& entry, const std::optional<LinkFields>& link, std::wstring_view shortcut,
                         std::wstring_view opens) {
    if (!link) return AliasState::Missing;
    if (!LinkMatchesEntry(entry, *link)) return AliasState::Different;
    if (opens.empty()) return AliasState::Unreached;
    if (!SamePathText(opens, shortcut)) return AliasState::Shadowed;
    return AliasState::Ok;
}

std::wstring ListAliasNames(const std::vector<std::wstring>& names, std::size_t shown) {
    std::wstring out;
    for (std::size_t i = 0; i < names.size() && i < shown; ++i) out += L"    " + names[i] + L"\r\n";
    if (names.size() > shown) {
        out += L"    ……另外还有 " + std::to_wstring(names.size() - shown) + L" 个\r\n";
    }
    return out;
}

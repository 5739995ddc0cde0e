#include "catalogue/AliasHealth.h"

#include <cwctype>

namespace {

// The path as the file system reads it: '/' is a backslash, a run of
// backslashes is one (the two that start a share's name stay), trailing ones
// go.
std::wstring Normalized(std::wstring_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const wchar_t c = s[i] == L'/' ? L'\\' : s[i];
        if (c == L'\\' && !out.empty() && out.back() == L'\\' && !(i == 1 && out.size() == 1)) continue;
        out += c;
    }
    while (out.size() > 1 && out.back() == L'\\' && !(out.size() == 3 && out[1] == L':')) out.pop_back();
    return out;
}

}  // namespace

bool SamePathText(std::wstring_view a, std::wstring_view b) {
    const std::wstring x = Normalized(a), y = Normalized(b);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (x[i] != y[i] && std::towupper(static_cast<std::wint_t>(x[i])) != std::towupper(static_cast<std::wint_t>(y[i]))) {
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
                         std::wstring_view opens, bool targetGone) {
    if (targetGone) return AliasState::TargetGone;
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

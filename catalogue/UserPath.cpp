#include "catalogue/UserPath.h"

#include <cwctype>
#include <vector>

namespace {

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t')) s.remove_suffix(1);
    return s;
}

// The part of a segment that names a folder: no blanks around it, no pair
// of quotes, no trailing backslashes.
std::wstring_view Core(std::wstring_view s) {
    s = Trim(s);
    if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') s = Trim(s.substr(1, s.size() - 2));
    while (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) s.remove_suffix(1);
    return s;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        if (std::towupper(static_cast<std::wint_t>(a[i])) != std::towupper(static_cast<std::wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::vector<std::wstring_view> Segments(std::wstring_view value) {
    std::vector<std::wstring_view> out;
    for (;;) {
        const std::size_t semi = value.find(L';');
        out.push_back(value.substr(0, semi));
        if (semi == std::wstring_view::npos) return out;
        value.remove_prefix(semi + 1);
    }
}

}  // namespace

bool SegmentNamesFolder(std::wstring_view segment, const FolderForms& folder) {
    const std::wstring_view core = Core(segment);
    if (core.empty()) return false;  // an empty folder form must not match the empty segments
    for (const std::wstring_view form : {folder.unexpanded, folder.expanded}) {
        const std::wstring_view wanted = Core(form);
        if (!wanted.empty() && SameIgnoringCase(core, wanted)) return true;
    }
    return false;
}

bool PathValueHasFolder(std::wstring_view value, const FolderForms& folder) {
    for (const std::wstring_view segment : Segments(value)) {
        if (SegmentNamesFolder(segment, folder)) return true;
    }
    return false;
}

std::wstring AddFolderToPathValue(std::wstring_view value, std::wstring_view entry, const FolderForms& folder) {
    std::wstring out(value);
    // An entry that would not be recognised later could never be taken out
    // again; one holding ';' would become two segments.
    if (!SegmentNamesFolder(entry, folder) || entry.find(L';') != std::wstring_view::npos) return out;
    if (PathValueHasFolder(value, folder)) return out;
    if (!out.empty()) out += L';';
    out += entry;
    return out;
}

std::wstring RemoveFolderFromPathValue(std::wstring_view value, const FolderForms& folder) {
    if (!PathValueHasFolder(value, folder)) return std::wstring(value);
    const std::vector<std::wstring_view> segments = Segments(value);
    // Kept segments joined as they were; a removed one takes the separator
    // before it with it, or the one after it when it is the first.
    std::wstring out;
    bool first = true;
    for (const std::wstring_view segment : segments) {
        if (SegmentNamesFolder(segment, folder)) continue;
        if (!first) out += L';';
        out += segment;
        first = false;
    }
    return out;
}

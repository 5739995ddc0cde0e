// Splits arbitrary wide strings into folder and file-name parts and checks
// what the entry dialogs rely on when they fill the working folder and the
// name from a picked path. The same strings go through the alias-name check,
// whose accepted names must stay a single file name once ".lnk" is added.
//
// Input: by default each byte is one character, so the seeds are readable
// paths; a leading 'W' makes the rest UTF-16LE code units, to reach the
// characters beyond Latin-1 a Windows path can hold.
#include "catalogue/AliasName.h"
#include "pickers/Path.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "path invariant broken: %s\n", what);
        std::abort();
    }
}

std::wstring Decode(const std::uint8_t* data, std::size_t size) {
    std::wstring out;
    if (size > 0 && data[0] == 'W') {
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            out += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        }
    } else {
        for (std::size_t i = 0; i < size; ++i) out += static_cast<wchar_t>(data[i]);
    }
    return out;
}

bool StartsWith(std::wstring_view s, std::wstring_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::wstring_view s, std::wstring_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

void CheckSplit(std::wstring_view path) {
    const std::wstring folder = GetFolderPart(path);
    const std::wstring file = GetFileNamePart(path);

    Check(StartsWith(path, folder), "folder part is not a prefix of the path");
    Check(folder.empty() || folder.back() == L'\\' || folder.back() == L':',
          "folder part does not end in a backslash or a colon");
    Check(path.substr(folder.size()).find_first_of(L"\\:") == std::wstring_view::npos,
          "folder part stops before the last backslash or colon");

    Check(EndsWith(path, file), "file-name part is not a suffix of the path");
    Check(file.find(L'\\') == std::wstring::npos, "file-name part holds a backslash");
    if (file.size() < path.size()) {
        Check(path[path.size() - file.size() - 1] == L'\\', "file-name part does not start after a backslash");
    }

    // The two parts differ only by the colon rule: a colon after the last
    // backslash ends the folder part but stays in the file-name part.
    const std::size_t lastColon = path.rfind(L':');
    const std::size_t lastBackslash = path.rfind(L'\\');
    const bool colonRules = lastColon != std::wstring_view::npos &&
                            (lastBackslash == std::wstring_view::npos || lastColon > lastBackslash);
    if (colonRules) {
        Check(folder.size() == lastColon + 1, "folder part does not end at the last colon");
        Check(file.size() > path.size() - folder.size(), "file-name part lost the colon");
    } else {
        Check(folder + file == path, "folder and file-name parts do not make up the path");
    }

    Check(GetFolderPart(folder) == folder, "folder part of a folder part changes it");
    Check(GetFileNamePart(file) == file, "file-name part of a file-name part changes it");
}

std::wstring AsciiCase(std::wstring_view s, bool upper) {
    std::wstring out(s);
    for (wchar_t& c : out) {
        if (upper && c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        if (!upper && c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return out;
}

void CheckAlias(std::wstring_view name) {
    const AliasNameProblem problem = CheckAliasName(name);
    Check(DescribeAliasNameProblem(problem).empty() == (problem == AliasNameProblem::None),
          "a refused name has no message, or an accepted one has");
    // Only device names depend on letters, and they are matched without case.
    Check(CheckAliasName(AsciiCase(name, true)) == problem, "upper-casing a name changes its verdict");
    Check(CheckAliasName(AsciiCase(name, false)) == problem, "lower-casing a name changes its verdict");
    if (problem != AliasNameProblem::None) return;

    Check(!name.empty(), "an empty name is accepted");
    for (const wchar_t c : name) {
        Check(c >= 0x20 && c != 0x7F, "an accepted name holds a control character");
    }
    Check(name.back() != L'.' && name.back() != L' ', "an accepted name ends in a dot or blank");
    const std::wstring link = std::wstring(name) + L".lnk";
    Check(GetFolderPart(link).empty(), "an accepted name's shortcut file name has a folder part");
    Check(GetFileNamePart(link) == link, "an accepted name's shortcut file name is split");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = Decode(data, size);
    CheckSplit(text);
    CheckAlias(text);
    return 0;
}

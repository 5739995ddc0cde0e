// Edits arbitrary PATH values the way the alias store edits the user's own:
// whatever the value holds (empty segments, a trailing ';', quotes, the
// folder in other spellings), adding the alias folder and taking it out
// again must give back exactly the value that was there, and adding must
// change nothing but the end.
//
// Input: the first byte picks the entry (expandable or expanded form) and
// the folder spelling; the rest is the value, one character per byte, or
// UTF-16LE code units after a 'W'.
#include "catalogue/UserPath.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "PATH editing invariant broken: %s\n", what);
        std::abort();
    }
}

std::wstring Decode(const std::uint8_t* data, std::size_t size) {
    std::wstring out;
    if (size > 0 && data[0] == 'W') {
        for (std::size_t i = 1; i + 1 < size; i += 2) out += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    } else {
        for (std::size_t i = 0; i < size; ++i) out += static_cast<wchar_t>(data[i]);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::wstring value = Decode(data + 1, size - 1);
    const std::wstring expanded = (mode & 2) ? L"c:\\u\\AppData\\Local\\Tarvolo\\Aliases\\" : L"C:\\U\\A";
    const FolderForms forms{kAliasFolderEntry, expanded};
    const std::wstring entry = (mode & 1) ? expanded : std::wstring(kAliasFolderEntry);

    const bool had = PathValueHasFolder(value, forms);
    const std::wstring added = AddFolderToPathValue(value, entry, forms);
    Check(PathValueHasFolder(added, forms), "the folder is not named after adding it");
    Check(AddFolderToPathValue(added, entry, forms) == added, "the folder was added twice");
    if (had) {
        Check(added == value, "a value naming the folder already was changed");
    } else {
        Check(added.compare(0, value.size(), value) == 0, "adding changed the old part of the value");
        Check(RemoveFolderFromPathValue(added, forms) == value, "add then remove did not give the value back");
    }
    const std::wstring removed = RemoveFolderFromPathValue(value, forms);
    Check(!PathValueHasFolder(removed, forms), "the folder is still named after removing it");
    Check(removed.size() <= value.size(), "removing made the value longer");
    return 0;
}

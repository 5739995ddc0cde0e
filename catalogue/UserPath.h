#pragma once
// Editing the text of the user's own PATH value: does it name the per-user
// alias folder, put the folder at its end, take it out again. The value
// belongs to the user and to every other program, so everything that is not
// the folder's own entry stays exactly as it was. Window-free, so it also
// builds and is fuzzed natively.
#include <string>
#include <string_view>

// The folder's entry as written into an expandable value; a plain-text value
// gets the expanded path instead.
inline constexpr wchar_t kAliasFolderEntry[] = L"%LOCALAPPDATA%\\Tarvolo\\Aliases";

// An environment variable holds at most 32,767 characters with its
// terminating NUL; a longer PATH is cut by the system when a process starts.
inline constexpr std::size_t kMaxPathValueLength = 32766;

// The two spellings of the folder a segment may use.
struct FolderForms {
    std::wstring_view unexpanded;  // kAliasFolderEntry
    std::wstring_view expanded;    // the same with %LOCALAPPDATA% replaced
};

// True when the segment names the folder in either form: letter case,
// trailing backslashes, surrounding blanks and one pair of quotes do not
// matter.
bool SegmentNamesFolder(std::wstring_view segment, const FolderForms& folder);

// True when any ';'-separated segment of the value names the folder.
bool PathValueHasFolder(std::wstring_view value, const FolderForms& folder);

// `value` with `entry` appended at the end behind one ';' (no separator
// when the value is empty), unless the value already names the folder, in
// which case it comes back unchanged (so it does for an entry that does not
// name the folder itself or holds a ';'). A value that already ends with ';'
// keeps its ';' and gets one more, so that taking the entry out again gives
// back exactly the old value.
std::wstring AddFolderToPathValue(std::wstring_view value, std::wstring_view entry, const FolderForms& folder);

// `value` without the segments that name the folder. The common case, an
// entry at the end behind a ';' (as AddFolderToPathValue puts it), loses
// exactly that ';' and the entry; elsewhere each such segment goes with one
// separator next to it. Everything else, empty segments included, stays.
std::wstring RemoveFolderFromPathValue(std::wstring_view value, const FolderForms& folder);

#pragma once
// Splitting a Windows path into its folder and file-name parts. Pure string
// functions, free of window types, so they also build and test natively.
#include <string>
#include <string_view>

// The folder part including its trailing separator: everything up to and
// including the last backslash or colon ("C:\Tools\" of "C:\Tools\app.exe",
// "C:" of "C:app.exe"); empty when the path has neither.
std::wstring GetFolderPart(std::wstring_view path);

// The file-name part: everything after the last backslash, or the whole path
// when it has none. A colon does not split here, so "C:app.exe" stays whole.
std::wstring GetFileNamePart(std::wstring_view path);

#pragma once
// What the system tells the program about itself: the folder it runs from,
// and the text it gives for an error code.
#include <windows.h>

#include <string>
#include <string_view>

// The folder of the running executable, without a trailing backslash.
std::wstring ExecutableFolder();

// System text for an error code, without the trailing line break; a
// numbered fallback when the system has none.
std::wstring SystemErrorText(DWORD error);

// The text with each %VAR% the environment defines put in; unchanged when
// it holds no '%' or the expansion fails.
std::wstring ExpandedPath(std::wstring_view text);

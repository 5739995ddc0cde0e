#pragma once
// What the system tells the program about itself: the folder it runs from,
// the text it gives for an error code, and paths with environment variables
// made real.
#include <windows.h>

#include <string>
#include <string_view>

// The folder of the running executable, without a trailing backslash.
std::wstring ExecutableFolder();

// The system's text for an error code or HRESULT, without the trailing line
// break. `messages` adds a module's own message table (WinINet's codes live
// there). Without any text: `fallback` when given, else "错误代码 N" (an
// HRESULT in hex).
std::wstring SystemErrorText(DWORD error, HMODULE messages = nullptr, std::wstring_view fallback = {});

// The path with its %VARIABLES% expanded as this process's environment has
// them; the text unchanged when it holds no '%' or expansion fails.
std::wstring ExpandedPath(std::wstring_view path);

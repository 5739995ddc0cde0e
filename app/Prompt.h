#pragma once
// Every message box of the program goes through Prompt, so tests can answer
// it instead of a person (a real message box would block the test).
#include <windows.h>

#include <functional>
#include <string>

using PromptHandler = std::function<int(HWND owner, const std::wstring& text, const std::wstring& title, UINT style)>;

int Prompt(HWND owner, const std::wstring& text, const std::wstring& title, UINT style);

// Whether a message box is open (its loop may be what runs the caller), so
// a question that can wait is not stacked on top of it.
bool PromptShowing();

// Replaces the message box; an empty handler restores it. Returns the old one.
PromptHandler SetPromptHandler(PromptHandler handler);

inline constexpr wchar_t kAppTitle[] = L"Tarvolo";

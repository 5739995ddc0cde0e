#pragma once
// What the entry dialogs tell the user about the Run box: a warning before
// a name is used that already opens something else, and, after a write,
// whether the shell's search really finds the new shortcut.
#include <windows.h>

#include <string>

#include "catalogue/AliasStore.h"

// True when the dialog goes on with the write: the name reaches nothing
// yet, or reaches this alias's own shortcut, or the user keeps it anyway
// after a Yes/No warning naming what the Run box opens instead.
bool ConfirmRunBoxName(HWND owner, const AliasStore& store, const std::wstring& name);

// "" when the search finds the shortcut just written; otherwise the text
// to show instead of a success message.
std::wstring RunBoxProblemAfterWrite(const AliasStore& store, const ShortcutResult& written,
                                     const std::wstring& name);

// The sentence a success message gains when the shortcut went to the
// per-user folder; "" when it went to the system folder.
std::wstring PerUserFolderSentence(const AliasStore& store, const ShortcutResult& written);

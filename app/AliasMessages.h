#pragma once
// What the entry dialogs tell the user about the Run box: a question before
// an alias is written for a program or folder that is not there, a warning
// before a name is used that already opens something else, and, after a
// write, whether the shell's search really finds the new shortcut.
#include <windows.h>

#include <string>

#include "catalogue/AliasStore.h"

// True when the dialog goes on with the write: the target (`path` as typed,
// a folder when `folder`) is there or cannot be told about in time (a
// network path or a drive that does not answer), or the user keeps it
// anyway after a Yes/No question naming it. `adding`: the question is an
// add's, else an edit's.
bool ConfirmTarget(HWND owner, const std::wstring& path, bool folder, bool adding);

// True when the dialog goes on with the write: the name reaches nothing
// yet, or reaches this alias's own shortcut, or the user keeps it anyway
// after a Yes/No warning naming what the Run box opens instead.
bool ConfirmRunBoxName(HWND owner, const AliasStore& store, const std::wstring& name);

// "" when the search finds the shortcut just written; otherwise the text
// to show instead of a success message.
std::wstring RunBoxProblemAfterWrite(const AliasStore& store, const ShortcutResult& written,
                                     const std::wstring& name);

// The sentence a success message gains when the shortcut went to the
// per-user folder, with the reason it went there; "" when it went to the
// system folder.
std::wstring PerUserFolderSentence(const AliasStore& store, const ShortcutResult& written);

#pragma once
// The two pickers behind the entry dialogs' browse buttons: the common
// open/save file dialog and the shell's folder browser. Both are modal to
// their owner and return a plain path, empty when nothing was chosen.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// Mode values for ShowFileDialog: 1 opens the open dialog, anything else the
// save dialog.
inline constexpr int kFileDialogOpen = 1;
inline constexpr int kFileDialogSave = 2;

// Builds a filter in the dialog's own form: description and pattern pairs,
// each part NUL-terminated, e.g. MakeFileFilter({{L"EXE", L"*.exe"}}).
std::wstring MakeFileFilter(
    std::initializer_list<std::pair<std::wstring_view, std::wstring_view>> pairs);

// Shows the open dialog (mode 1: the file and its folder must exist) or the
// save dialog (any other mode: the folder must exist, overwriting asks
// first). `filter` is in the form MakeFileFilter builds; the first pair is
// selected. File name and title buffers hold 255 characters, so the chosen
// path is at most 254 characters long. Returns the chosen path, or "" when
// the user cancels or the dialog fails. Empty title, folder and default
// extension leave the dialog's own defaults.
std::wstring ShowFileDialog(HWND owner, int mode, const std::wstring& title,
                            const std::wstring& initialFile, const std::wstring& filter,
                            const std::wstring& initialDir, const std::wstring& defExt);

// Shows the folder browser rooted at the desktop, where only file-system
// folders can be confirmed. Returns the folder's path (a drive root keeps its
// backslash, "D:\"), or "" on cancel or any failure. Needs COM initialised
// on the calling thread, as the program's UI thread has it.
std::wstring ShowFolderDialog(HWND owner, const std::wstring& title);

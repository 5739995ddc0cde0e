#pragma once
// The two places an alias shortcut can live and the registry value that
// makes the second one reachable. The "system" folder under the Windows
// directory is searched by the Run box as it is; the per-user folder,
// %LOCALAPPDATA%\Tarvolo\Aliases, only once it is on the user's own PATH
// (HKEY_CURRENT_USER\Environment, value Path).
#include <windows.h>

#include <string>

// Where the user's PATH lives; tests point it at a key of their own.
struct UserPathKey {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring subkey = L"Environment";
    std::wstring value = L"Path";
};

struct FolderResult {
    bool ok = true;
    std::wstring reason;  // when !ok: why, in the program's language
    explicit operator bool() const noexcept { return ok; }
};

// windir + "\system\".
std::wstring SystemAliasFolder(const std::wstring& windir);

// %LOCALAPPDATA%\Tarvolo\Aliases\ with its trailing backslash; empty when
// LOCALAPPDATA is unset or does not hold an absolute path that can stand in
// a PATH (no ';', no '%').
std::wstring UserAliasFolder();

// The per-user folder as PATH names it: without the trailing backslash.
std::wstring WithoutTrailingBackslash(std::wstring folder);

// Whether a file can be created in the folder: found out by creating and
// deleting a temporary one, since rights, read-only media and redirection
// all decide it and none can be told from outside. False for a missing folder.
bool FolderWritable(const std::wstring& folder);

// Creates the folder with the folders above it.
FolderResult CreateFolderTree(const std::wstring& folder);

// Puts the folder (expanded path, no trailing backslash) at the end of the
// user's PATH unless the value names it already, then tells the shell.
// Everything else in the value, and its type, stays as it was; an absent
// value is created as REG_EXPAND_SZ. *added says whether the value changed.
FolderResult AddFolderToUserPath(const UserPathKey& key, const std::wstring& folder, bool* added = nullptr);

// Takes the folder out of the user's PATH again and tells the shell; a
// value that does not name it is left alone. A value left empty is deleted,
// as it was before the folder was first added.
FolderResult RemoveFolderFromUserPath(const UserPathKey& key, const std::wstring& folder);

// The user's PATH as a newly started program sees it: REG_EXPAND_SZ
// expanded, "" when absent or unreadable.
std::wstring ReadUserPathForSearch(const UserPathKey& key);

// WM_SETTINGCHANGE "Environment" to every top-level window, so that the
// shell picks up the new PATH without a logoff. A hung window is skipped.
void AnnounceEnvironmentChange();

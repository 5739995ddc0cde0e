#pragma once
// Files and folders dropped from the shell: letting drops in, reading the
// dropped paths, and turning each into the add dialog it opens.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "app/DropQueue.h"

// Lets the window take dropped files, also when the program runs elevated
// and the shell does not (the drop messages must pass the message filter).
// False when a filter could not be changed; the drops still work unelevated.
bool AcceptDrops(HWND window);

// The paths in a drop, in order. The drop stays the caller's to finish.
std::vector<std::wstring> DroppedPaths(HDROP drop);

struct ShellLinkInfo {
    std::wstring target, args, work, description;
    DWORD targetAttributes = 0;  // as the shortcut remembers them
};

// What a shortcut file points at; nothing when it cannot be read or points
// at no file-system item (a virtual folder, a URL).
std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& file);

// The entry a dropped path opens: a folder the folder dialog, a shortcut
// what its target is, any other file the program dialog. Nothing for what
// is neither file nor folder.
std::optional<DroppedEntry> EntryForDroppedPath(const std::wstring& path);

#pragma once
// Opening an entry: a folder through the shell, a program by its path.
#include <windows.h>

#include <functional>
#include <string>

struct Launcher {
    std::function<void(HWND owner, const std::wstring& folder)> OpenFolder;
    std::function<void(const std::wstring& path)> StartProgram;

    // The real thing: the shell and a new process.
    static Launcher System();
};

// Opens the folder in the shell window of the owner's desktop.
void OpenFolderInShell(HWND owner, const std::wstring& folder);

// Starts the program, shown normally; false when no process was started.
bool StartProgramByPath(const std::wstring& path);

#include "app/Launcher.h"

#include <shellapi.h>

Launcher Launcher::System() {
    // A failure to start is ignored here: a double-click on a missing target shows nothing.
    return {OpenFolderInShell, [](const std::wstring& path) { StartProgramByPath(path); }};
}

void OpenFolderInShell(HWND owner, const std::wstring& folder) {
    // The shell's result is deliberately not examined: a missing folder
    // simply opens nothing.
    ShellExecuteW(owner, nullptr, folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool StartProgramByPath(const std::wstring& path) {
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    const DWORD attributes = GetFileAttributesW(path.c_str());
    BOOL started;
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // An existing file is started as exactly that file: unquoted, a path
        // with blanks could start another program ("C:\Program.exe").
        std::wstring commandLine = L"\"" + path + L"\"";
        started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &si, &pi);
    } else {
        std::wstring commandLine = path;
        started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    if (!started) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

#pragma once
// What the Run box opens for a bare name, found with the shell's own search
// (PathResolve): System32, "system" and the Windows folder, then each folder
// of the PATH a program started now would get (the system PATH followed by
// the user's, from the registry), trying .pif .com .exe .bat .lnk .cmd in
// each. Every one of those folders is handed to the search explicitly, so
// the search needs nothing of this process: its environment and current
// folder are neither changed nor relied on. Where the shell goes on beyond
// the folders it was given (this process's own PATH and folder), what it
// finds there is not the Run box's answer and is discarded.
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "catalogue/AliasFolders.h"

class RunSearch {
public:
    explicit RunSearch(std::wstring windir, const UserPathKey& key = {});
    RunSearch(const RunSearch&) = delete;
    RunSearch& operator=(const RunSearch&) = delete;

    // The full path of the file or folder the name reaches; "" when the
    // search finds nothing.
    std::wstring Resolve(const std::wstring& name) const;

    // The same answer for a name whose own shortcut is `own`, for checking
    // many aliases at once: the folders the search passes are listed once,
    // and the search itself runs only when a folder before the shortcut's
    // own holds a file of the name that it would try (or the shortcut's
    // folder is not passed at all, or the name has an extension of its
    // own, which the shell may try as it is only). Otherwise it would find
    // `own`.
    std::wstring ResolveExpecting(const std::wstring& name, const std::wstring& own) const;

    // The folders searched, in order.
    const std::vector<std::wstring>& Folders() const { return folders_; }

private:
    struct Listed {
        std::wstring folder;
        std::unordered_set<std::wstring> names;  // lower case
        bool complete = false;                   // false: could not be listed
    };
    void ListFolders() const;

    std::wstring windir_;
    std::vector<std::wstring> folders_;  // without duplicates
    mutable std::vector<Listed> order_;
    mutable bool listed_ = false;
};

// Both paths made full, then compared as the file system compares names.
bool SameFile(const std::wstring& a, const std::wstring& b);

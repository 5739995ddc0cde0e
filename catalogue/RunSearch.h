#pragma once
// What the Run box opens for a bare name, found with the shell's own search
// (PathResolve): System32, "system" and the Windows folder, then each PATH
// folder, trying .pif .com .exe .bat .lnk .cmd in each. A running process
// keeps the PATH it started with, so while the shell searches, the
// process's PATH is the one a program started now would get (the system
// PATH followed by the user's from the registry) and the current folder is
// System32. Both are process-wide: they are put in place only around each
// search, one search at a time, so a check on another thread never sees or
// leaves them half changed.
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
    // folder is not passed at all). Otherwise it would find `own`.
    std::wstring ResolveExpecting(const std::wstring& name, const std::wstring& own) const;

private:
    struct Listed {
        std::wstring folder;
        std::unordered_set<std::wstring> names;  // lower case
        bool complete = false;                   // false: could not be listed
    };
    void ListFolders() const;

    std::wstring windir_;
    std::wstring path_;  // the PATH the search uses
    mutable std::vector<Listed> order_;
    mutable bool listed_ = false;
};

// Both paths made full, then compared as the file system compares names.
bool SameFile(const std::wstring& a, const std::wstring& b);

#pragma once
// Where each alias's shortcut goes and how it gets there. The system folder
// (<windir>\system\) when a file can be created in it; otherwise the
// per-user folder, created on demand and put on the user's PATH, and taken
// off the PATH again when its last shortcut is deleted. One alias, one
// place: an existing shortcut is found, rewritten and deleted wherever it
// is, and a stale copy in the other folder goes with it on delete.
#include <atomic>
#include <string>
#include <vector>

#include "catalogue/AliasFolders.h"
#include "catalogue/AliasHealth.h"
#include "catalogue/Entry.h"
#include "catalogue/ShortcutStore.h"

class AliasStore {
public:
    explicit AliasStore(std::wstring windir, UserPathKey key = {});

    const std::wstring& SystemFolder() const { return systemFolder_; }
    const std::wstring& UserFolder() const { return userFolder_; }  // "" when LOCALAPPDATA is unusable
    const UserPathKey& PathKey() const { return key_; }
    const std::wstring& Windir() const { return windir_; }
    bool IsUserFolder(const std::wstring& folder) const;

    // The name's shortcut on disk, system folder first as the Run box
    // searches; "" when neither folder holds one.
    std::wstring Find(const std::wstring& name) const;

    // The folder a write of `name` goes to: the one holding its shortcut now
    // while that is writable, else the system folder when writable, else
    // the per-user folder (which may not exist yet). "" when that is
    // unusable too.
    std::wstring FolderFor(const std::wstring& name) const;

    // An add, or a repair: writes the shortcut into FolderFor(name). For the
    // per-user folder the folder is created and put on the PATH first;
    // without that the alias would not work, so a failure there writes
    // nothing.
    ShortcutResult Write(WshShellObject& shell, const std::wstring& name, const std::wstring& path,
                         const std::wstring& args, const std::wstring& workDir, const std::wstring& comment);

    // An edit: the old name's shortcuts go (in both folders), the new one is
    // written where the old one was while that folder is writable. A new
    // name that cannot be written, or a shell object that cannot be created,
    // fails before anything is deleted.
    ShortcutResult Rewrite(WshShellObject& shell, const std::wstring& oldName, const std::wstring& name,
                           const std::wstring& path, const std::wstring& args, const std::wstring& workDir,
                           const std::wstring& comment);

    // Deletes the name's shortcut from both folders. Fails only when neither
    // held one (or the name could reach outside them).
    ShortcutResult Delete(const std::wstring& name);

    // How each entry's alias is doing, in entry order. A check run in the
    // background passes `stop`: once it is set the check ends early, with
    // findings for the entries before that point only.
    struct Finding {
        AliasState state = AliasState::Ok;
        std::wstring shortcut;  // the shortcut read back, or where it would be written
        std::wstring opens;     // what the search finds for the name ("" for nothing)
    };
    std::vector<Finding> Inspect(const std::vector<Entry>& entries, const std::atomic<bool>* stop = nullptr) const;

private:
    ShortcutResult Unusable(const std::wstring& name) const;
    // Checks the name and, for the per-user folder, creates it and puts it
    // on the PATH. ok() when the shortcut can be written.
    ShortcutResult Prepare(const std::wstring& folder, const std::wstring& name, bool* addedToPath) const;
    bool HasShortcuts(const std::wstring& folder) const;
    // After shortcuts left the per-user folder: when none is left, its PATH
    // entry goes too.
    void TidyUserPath() const;

    std::wstring windir_;
    UserPathKey key_;
    std::wstring systemFolder_;
    std::wstring userFolder_;
};

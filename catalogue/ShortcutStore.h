#pragma once
// The alias shortcuts: one shell link "<name>.lnk" per catalogue entry in the
// "system" folder under the Windows directory, where the Run box finds it.
// The store keeps no state; every path is derived from the name at the time
// of the call. Shortcuts are written by the Windows Script Host shell object.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "plumbing/ComRef.h"

// The Windows Script Host shell object an entry dialog owns. It is created
// the first time a shortcut is written and reused afterwards; a failed
// creation is tried again on the next write.
class WshShellObject {
public:
    WshShellObject() = default;
    WshShellObject(const WshShellObject&) = delete;
    WshShellObject& operator=(const WshShellObject&) = delete;

    // Creates the object unless it exists. S_OK when it is there afterwards.
    HRESULT Ensure();
    IDispatch* get() const noexcept { return dispatch_.get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(dispatch_); }

private:
    ComRef<IDispatch> dispatch_;
};

// Outcome of a store operation. On failure `reason` holds the system's
// text for the error, ready to show to the user together with `folder`.
struct ShortcutResult {
    HRESULT hr = S_OK;
    std::wstring reason;
    std::wstring path;    // the shortcut file the operation addressed
    std::wstring folder;  // the shortcut folder, "<windir>\system\"

    bool ok() const noexcept { return SUCCEEDED(hr); }
    explicit operator bool() const noexcept { return ok(); }
};

// windir + "\system\" + name + ".lnk", plain concatenation: no trimming, no
// case folding.
std::wstring GetShortcutPath(const std::wstring& windir, const std::wstring& name);

// Creates the shortcut of `name`, or rewrites it when the file exists (its
// other properties, such as a hot key or icon, are kept). Sets TargetPath,
// Arguments, WorkingDirectory and Description in that order; empty values
// are written as empty strings. Refuses a name that CheckAliasName rejects
// without touching the disk. Fails as well when the file is not on disk
// after Save. The "system" folder is never created.
ShortcutResult WriteShortcut(WshShellObject& shell, const std::wstring& windir,
                             const std::wstring& name, const std::wstring& path,
                             const std::wstring& args, const std::wstring& workDir,
                             const std::wstring& comment);

// The same in any folder (given with its trailing backslash): the per-user
// alias folder uses it.
ShortcutResult WriteShortcutAt(WshShellObject& shell, const std::wstring& folder,
                               const std::wstring& name, const std::wstring& path,
                               const std::wstring& args, const std::wstring& workDir,
                               const std::wstring& comment);

// Deletes the shortcut file of `name`. A missing file is a failure like any
// other; callers that only tidy up ignore the result. A name holding a path
// separator, colon, wildcard or control character is refused, so no file
// outside the shortcut folder can be reached through it.
ShortcutResult DeleteShortcut(const std::wstring& windir, const std::wstring& name);
ShortcutResult DeleteShortcutAt(const std::wstring& folder, const std::wstring& name);

// The edit dialogs' rewrite: deletes the shortcut of `oldName` (its failure
// ignored, there may be nothing to delete), then writes the new values, also
// when the name did not change. Returns the write's result. A new name that
// WriteShortcut would refuse, or a shell object that cannot be created,
// fails before anything is deleted.
ShortcutResult RewriteShortcut(WshShellObject& shell, const std::wstring& windir,
                               const std::wstring& oldName, const std::wstring& name,
                               const std::wstring& path, const std::wstring& args,
                               const std::wstring& workDir, const std::wstring& comment);

#pragma once
// What an entry dialog needs from the window that holds the catalogue. The
// dialogs see the catalogue only through this, so they need not know the
// main window (and the main window's header need not be theirs).
#include <windows.h>
#include <shellapi.h>

#include <string>

// The four entry dialogs: add or edit a program, add or edit a folder.
enum class EntryKind { AddP, EditP, AddD, EditD };

// The five fields an entry dialog edits.
struct EntryFields {
    std::wstring name, path, work, args, comment;
};

class EntryHost {
public:
    // Entries are named by the id of their row, which follows the entry when
    // rows are exchanged; 0 names no entry.
    virtual LPARAM SelectedEntry() const = 0;
    virtual bool HasEntry(LPARAM entry) const = 0;
    // The entry's fields; false (and `fields` untouched) when it is gone.
    virtual bool ReadEntry(LPARAM entry, EntryFields& fields) const = 0;
    // Whether an entry other than `except` is called `name` (exact comparison).
    virtual bool NameTaken(const std::wstring& name, LPARAM except) const = 0;
    // Writes the fields into `entry`, or into a new last entry of `kind` when
    // `entry` is 0, then saves the catalogue. Returns the entry written.
    virtual LPARAM CommitEntry(LPARAM entry, const std::wstring& kind, const EntryFields& fields) = 0;
    // Selects the entry, and gives the list the keyboard focus when `focus`.
    virtual void ShowEntry(LPARAM entry, bool focus) = 0;
    // A dialog has closed, whatever closed it; `entry` is the one it acted
    // on (0 for an add that wrote nothing).
    virtual void EntryDialogClosed(EntryKind kind, LPARAM entry) = 0;
    // Files were dropped on an add dialog; the drop is the host's to finish.
    virtual void FilesDropped(HDROP drop) = 0;

    virtual const std::wstring& WindowsFolder() const = 0;
    // The current add command came from the tray menu: the main window may be hidden.
    virtual bool CommandFromTray() const = 0;
    virtual HICON Icon() const = 0;
    virtual HICON SmallIcon() const = 0;

    // Where a dialog opens: centred over `window`, at its DPI (the DPI of
    // the monitor it is on). No window: where the system puts it, at the
    // DPI of the monitor that is.
    struct Placement {
        HWND window = nullptr;
        int dpi = 0;
    };
    virtual Placement DialogPlacement() const { return {}; }

protected:
    ~EntryHost() = default;
};

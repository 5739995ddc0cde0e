#pragma once
// One running copy per catalogue: two copies would each write their own list
// at exit, and the later one would silently wipe the other's changes. A
// second start asks the first copy to show its window and then ends.
#include <windows.h>

#include <string>

#include "plumbing/HandleGuards.h"

class SingleInstance {
public:
    // `catalogueFolder` identifies the catalogue the copy works on.
    explicit SingleInstance(const std::wstring& catalogueFolder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool IsFirst() const { return first_; }
    // The first copy records its main window for later copies to find.
    void Publish(HWND main);
    // A later copy: asks the first to come to the front (out of the tray).
    // False when the first copy's window could not be reached in time.
    bool ActivateFirst(DWORD waitMs = 5000) const;

    // The message the first copy's main window receives.
    static UINT ActivateMessage();
    // Kernel object name for a folder (exposed for tests).
    static std::wstring NameFor(const std::wstring& catalogueFolder);

private:
    ObjectHandle mutex_;
    ObjectHandle mapping_;
    bool first_ = false;
};

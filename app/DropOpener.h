#pragma once
// Opens the add dialogs for what was dropped on the program, one item after
// another (see DropQueue for the order and for what waits).
#include <windows.h>
#include <shellapi.h>

#include "app/DropQueue.h"
#include "app/EntryDialog.h"

class DropOpener {
public:
    DropOpener(EntryDialog& addProgram, EntryDialog& addFolder) : program_(addProgram), folder_(addFolder) {}

    // Queues the dropped files and folders, skipping what is neither, and
    // finishes the drop; then opens the next item if its dialog is free.
    void Take(HDROP drop);
    // An add dialog has closed: the next item may open.
    void DialogClosed(EntryKind kind);
    const DropQueue& Queue() const { return queue_; }

private:
    void OpenNext();
    static DropQueue::Dialog StateOf(const EntryDialog& dialog);

    EntryDialog& program_;
    EntryDialog& folder_;
    DropQueue queue_;
};

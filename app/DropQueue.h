#pragma once
// Items dropped on the program wait here and open their add dialog one
// after another: the next when the dialog of the one before is confirmed
// or cancelled. Window-free: the caller says what the dialogs look like.
#include <cstddef>
#include <deque>
#include <optional>

#include "app/EntryFill.h"

struct DroppedEntry {
    bool folder = false;  // the add-folder dialog, else the add-program one
    EntryFill fill;
};

class DropQueue {
public:
    // How an add dialog stands when the next item could open.
    enum class Dialog { Closed, OpenEmpty, OpenTyped };

    struct Open {
        DroppedEntry entry;
        bool reuse;  // fill the dialog that is open (and empty) instead of opening one
    };

    void Push(DroppedEntry entry) { waiting_.push_back(std::move(entry)); }

    // The item to open now, if any. Nothing opens while an item opened
    // before is still in its dialog, nor while the dialog the next item needs
    // holds what the user typed (it waits for that dialog to close); an open
    // dialog with empty fields is filled in place.
    std::optional<Open> Next(Dialog program, Dialog folder);

    // The add dialog of this kind has closed, whatever closed it.
    void Closed(bool folder);

    bool Empty() const { return waiting_.empty(); }
    std::size_t Size() const { return waiting_.size(); }
    // An item opened from here is still in its dialog.
    bool InDialog() const { return inDialog_.has_value(); }
    void Clear();

private:
    std::deque<DroppedEntry> waiting_;
    std::optional<bool> inDialog_;  // folder or program dialog of the item opened last
};

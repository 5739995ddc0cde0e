#include "app/DropOpener.h"

#include "app/DropTarget.h"

void DropOpener::Take(HDROP drop) {
    for (const std::wstring& path : DroppedPaths(drop)) {
        // A URL or a virtual item is skipped without a word.
        if (std::optional<DroppedEntry> entry = EntryForDroppedPath(path)) queue_.Push(std::move(*entry));
    }
    DragFinish(drop);
    OpenNext();
}

void DropOpener::DialogClosed(EntryKind kind) {
    if (kind != EntryKind::AddP && kind != EntryKind::AddD) return;
    queue_.Closed(kind == EntryKind::AddD);
    OpenNext();
}

DropQueue::Dialog DropOpener::StateOf(const EntryDialog& dialog) {
    if (!dialog.IsLoaded()) return DropQueue::Dialog::Closed;
    return dialog.HasTypedContent() ? DropQueue::Dialog::OpenTyped : DropQueue::Dialog::OpenEmpty;
}

void DropOpener::OpenNext() {
    const std::optional<DropQueue::Open> next = queue_.Next(StateOf(program_), StateOf(folder_));
    if (!next) return;
    EntryDialog& dialog = next->entry.folder ? folder_ : program_;
    dialog.Show();  // loads it, or brings the open empty one forward
    if (!dialog.IsLoaded()) {
        // The window could not be made: this item is lost, the rest must not be.
        queue_.Closed(next->entry.folder);
        OpenNext();
        return;
    }
    dialog.Fill(next->entry.fill);
}

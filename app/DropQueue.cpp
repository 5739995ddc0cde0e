#include "app/DropQueue.h"

std::optional<DropQueue::Open> DropQueue::Next(Dialog program, Dialog folder) {
    if (inDialog_ || waiting_.empty()) return std::nullopt;
    const Dialog needed = waiting_.front().folder ? folder : program;
    if (needed == Dialog::OpenTyped) return std::nullopt;
    Open open{std::move(waiting_.front()), needed == Dialog::OpenEmpty};
    waiting_.pop_front();
    inDialog_ = open.entry.folder;
    return open;
}

void DropQueue::Closed(bool folder) {
    if (inDialog_ && *inDialog_ == folder) inDialog_.reset();
}

void DropQueue::Clear() {
    waiting_.clear();
    inDialog_.reset();
}

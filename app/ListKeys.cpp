#include "app/ListKeys.h"

ListKey ListKeyFor(unsigned virtualKey, bool ctrl, bool shift, bool alt) {
    if (shift || alt) return ListKey::None;  // Shift+Delete and the like keep their usual meaning
    using namespace listkeys;
    if (ctrl) {
        if (virtualKey == kUp) return ListKey::MoveUp;
        if (virtualKey == kDown) return ListKey::MoveDown;
        return ListKey::None;
    }
    switch (virtualKey) {
    case kDelete: return ListKey::Delete;
    case kReturn: return ListKey::Open;
    case kF2: return ListKey::Edit;
    default: return ListKey::None;
    }
}

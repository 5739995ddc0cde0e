#include "app/ListKeys.h"

#ifdef _WIN32
#include <windows.h>
static_assert(listkeys::kReturn == VK_RETURN && listkeys::kUp == VK_UP && listkeys::kDown == VK_DOWN &&
              listkeys::kDelete == VK_DELETE && listkeys::kF2 == VK_F2);
#endif

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

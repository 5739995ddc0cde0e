#pragma once
// The keys of the catalogue list and the commands they run. Window-free: the
// virtual-key codes are the platform's, spelled out here.

enum class ListKey { None, Delete, Open, Edit, MoveUp, MoveDown };

namespace listkeys {
inline constexpr unsigned kReturn = 0x0D, kUp = 0x26, kDown = 0x28, kDelete = 0x2E, kF2 = 0x71;
}

// Delete, Enter and F2 without modifiers; Ctrl+Up and Ctrl+Down with Ctrl alone.
ListKey ListKeyFor(unsigned virtualKey, bool ctrl, bool shift, bool alt);

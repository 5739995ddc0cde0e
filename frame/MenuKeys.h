#pragma once
// Window-free rules for reaching the caption menu bar without the mouse: the
// keys of its keyboard selection (F10, or Alt pressed and released alone, as
// on any Windows menu bar) and the names screen readers are given for its items.
#include <string>
#include <string_view>

// What a key does while the bar is selected from the keyboard.
enum class BarKey {
    Ignore,    // swallowed; the selection stays
    Move,      // another item is selected
    Open,      // the selected item's popup opens
    Leave,     // the selection ends
    Mnemonic,  // a letter or digit: the item it marks opens, if any does
};

struct BarKeyStep {
    BarKey action;
    int item;  // the selected item after the key (1..count)
};

// vk is the key's virtual-key code; current the selected item (1..count).
BarKeyStep StepForBarKey(unsigned vk, int current, int count) noexcept;

// The item's text as shown: each single '&' dropped, "&&" shown as one '&'.
std::wstring WithoutMnemonicMarks(std::wstring_view text);

#pragma once
// The popup items the caption menu bar has switched to owner-drawn during one
// menu loop: where each item sits, what it was before (so it can be put back
// exactly), and what the bar needs to measure, draw and answer mnemonics.
// Indices are 1-based; an owner-drawn item carries its index in dwItemData.
#include <windows.h>

#include <string>
#include <vector>

struct StoredMenuItem {
    HMENU ownerPopup = nullptr;
    int position = 0;         // 0-based position in ownerPopup
    MENUITEMINFOW savedInfo{};  // type, identifier, data; dwTypeData only for non-text items
    std::wstring savedText;   // the whole text of a text item
    std::wstring caption;     // text before the first tab
    std::wstring shortcut;    // text after the first tab
    wchar_t mnemonic = 0;     // upper-cased mnemonic of the caption, 0 = none
    int captionWidth = 0;     // widest caption of ownerPopup, pixels
    int shortcutWidth = 0;    // widest shortcut of ownerPopup, pixels (0 = none)
};

class MenuItemStore {
public:
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    bool Contains(int c) const noexcept { return c >= 1 && c <= Count(); }
    const StoredMenuItem& Item(int c) const { return items_.at(static_cast<size_t>(c - 1)); }
    StoredMenuItem& Item(int c) { return items_.at(static_cast<size_t>(c - 1)); }

    // Appends an entry for the item and returns its index.
    int AddItem(HMENU popup, int p, const MENUITEMINFOW& info, const std::wstring& text);
    // Overwrites entry c (1 <= c <= Count()).
    void StoreItem(int c, HMENU popup, int p, const MENUITEMINFOW& info, const std::wstring& text);
    // First entry of popup at position p, 0 when none.
    int FindItem(HMENU popup, int p) const noexcept;
    // First entry whose saved identifier is id, 0 when none.
    int FindItemByID(UINT id) const noexcept;
    // First entry of popup whose mnemonic is ch (upper-cased), 0 when none.
    int FindMnemonic(HMENU popup, wchar_t ch) const noexcept;
    // Gives every entry of popup the popup's column widths.
    void SetWidths(HMENU popup, int captionWidth, int shortcutWidth) noexcept;

    // True when popup was prepared before in this menu loop; otherwise it is
    // remembered now and the answer is false.
    bool IsPopupKnown(HMENU popup);

    // The record to put entry c's item back exactly as it was.
    MENUITEMINFOW RestoreInfo(int c) const;

    // Forgets every entry and every known popup (end of the menu loop).
    void Clear() noexcept;

private:
    std::vector<StoredMenuItem> items_;
    std::vector<HMENU> knownPopups_;
};

// Upper-cases one character the way the system compares mnemonics.
wchar_t UpperChar(wchar_t ch) noexcept;

// The character a single "&" marks in a menu text, upper-cased, as DrawText
// underlines it ("&&" is a literal ampersand); 0 when there is none.
wchar_t MnemonicOf(const std::wstring& text) noexcept;

// Reads a menu item with the given mask. With MIIM_TYPE the whole text of a
// text item goes to text, however long (the record then carries no text
// pointer); other items keep their dwTypeData as the system gives it.
bool ReadMenuItem(HMENU menu, UINT item, bool byPosition, UINT mask, MENUITEMINFOW& info, std::wstring& text);

// True for an item whose MIIM_TYPE data is its text.
bool IsTextItem(UINT fType) noexcept;

// The text of item k (1-based) of a menu bar as the caption bar numbers its
// items, popups only; empty when there is no such item.
std::wstring BarItemText(HMENU menu, int k);

#include "frame/MenuItemStore.h"

#include <algorithm>

int MenuItemStore::AddItem(HMENU popup, int p, const MENUITEMINFOW& info, const std::wstring& text) {
    items_.emplace_back();
    StoreItem(Count(), popup, p, info, text);
    return Count();
}

void MenuItemStore::StoreItem(int c, HMENU popup, int p, const MENUITEMINFOW& info, const std::wstring& text) {
    StoredMenuItem& item = Item(c);
    item.ownerPopup = popup;
    item.position = p;
    item.savedInfo = info;
    item.savedText = text;
    const size_t tab = text.find(L'\t');
    item.caption = text.substr(0, tab);
    item.shortcut = tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
    // A re-stored item whose new caption has no mnemonic must not keep the
    // old one, or its old letter would still choose it.
    item.mnemonic = MnemonicOf(item.caption);
}

int MenuItemStore::FindItem(HMENU popup, int p) const noexcept {
    for (int c = 1; c <= Count(); ++c) {
        if (Item(c).ownerPopup == popup && Item(c).position == p) return c;
    }
    return 0;
}

int MenuItemStore::FindItemByID(UINT id) const noexcept {
    for (int c = 1; c <= Count(); ++c) {
        if (Item(c).savedInfo.wID == id) return c;
    }
    return 0;
}

int MenuItemStore::FindMnemonic(HMENU popup, wchar_t ch) const noexcept {
    if (ch == 0) return 0;
    const wchar_t upper = UpperChar(ch);
    for (int c = 1; c <= Count(); ++c) {
        if (Item(c).ownerPopup == popup && Item(c).mnemonic == upper) return c;
    }
    return 0;
}

void MenuItemStore::SetWidths(HMENU popup, int captionWidth, int shortcutWidth) noexcept {
    for (StoredMenuItem& item : items_) {
        if (item.ownerPopup != popup) continue;
        item.captionWidth = captionWidth;
        item.shortcutWidth = shortcutWidth;
    }
}

bool MenuItemStore::IsPopupKnown(HMENU popup) {
    if (std::find(knownPopups_.begin(), knownPopups_.end(), popup) != knownPopups_.end()) return true;
    knownPopups_.push_back(popup);
    return false;
}

MENUITEMINFOW MenuItemStore::RestoreInfo(int c) const {
    const StoredMenuItem& item = Item(c);
    MENUITEMINFOW info = item.savedInfo;
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_TYPE | MIIM_DATA;
    if (IsTextItem(info.fType)) {
        // SetMenuItemInfo copies the text; it only reads through the pointer.
        info.dwTypeData = const_cast<wchar_t*>(item.savedText.c_str());
        info.cch = static_cast<UINT>(item.savedText.size());
    }
    return info;
}

void MenuItemStore::Clear() noexcept {
    items_.clear();
    knownPopups_.clear();
}

wchar_t UpperChar(wchar_t ch) noexcept {
    // CharUpperW upper-cases a single character passed in the pointer's low word.
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch)))));
}

wchar_t MnemonicOf(const std::wstring& text) noexcept {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i;  // "&&" draws one ampersand and marks nothing
            continue;
        }
        return UpperChar(text[i + 1]);
    }
    return 0;
}

bool IsTextItem(UINT fType) noexcept {
    return (fType & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW)) == 0;
}

bool ReadMenuItem(HMENU menu, UINT item, bool byPosition, UINT mask, MENUITEMINFOW& info, std::wstring& text) {
    info = MENUITEMINFOW{sizeof(info)};
    info.fMask = mask;
    text.clear();
    // Ask for the length first: a fixed buffer would cut long texts, and the
    // cut text is what the item would get back at the end of the menu loop.
    if (!GetMenuItemInfoW(menu, item, byPosition, &info)) return false;
    if (!(mask & MIIM_TYPE) || !IsTextItem(info.fType)) return true;
    const UINT length = info.cch;
    info.dwTypeData = nullptr;
    if (length == 0) return true;
    std::wstring buffer(length + 1, L'\0');
    MENUITEMINFOW withText = info;
    withText.fMask = MIIM_TYPE;
    withText.dwTypeData = buffer.data();
    withText.cch = length + 1;
    if (!GetMenuItemInfoW(menu, item, byPosition, &withText)) return false;
    buffer.resize(std::min<size_t>(withText.cch, length));
    text = std::move(buffer);
    info.cch = static_cast<UINT>(text.size());
    return true;
}

std::wstring BarItemText(HMENU menu, int k) {
    const int n = menu ? GetMenuItemCount(menu) : 0;
    for (int p = 0; p < n; ++p) {
        MENUITEMINFOW info;
        std::wstring text;
        if (!ReadMenuItem(menu, static_cast<UINT>(p), true, MIIM_ID | MIIM_SUBMENU | MIIM_TYPE, info, text)) continue;
        // Numbered as the bar draws them: command items have no button.
        if (!info.hSubMenu && info.wID != static_cast<UINT>(-1)) continue;
        if (--k == 0) return text;
    }
    return {};
}

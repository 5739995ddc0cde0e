#include "app/ListView.h"

#include <commctrl.h>

#include <climits>
#include <iterator>
#include <vector>

void ListView::AddColumn(int index, const std::wstring& text, int width) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(text.c_str());
    col.cx = width;
    col.iSubItem = index;
    SendMessageW(hwnd_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
}

int ListView::Count() const { return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

int ListView::AddRow() {
    static LPARAM nextId = 0;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.lParam = ++nextId;
    if (imagesOnDemand_) {
        // In the same message: this runs for every row of a catalogue load.
        item.mask |= LVIF_IMAGE;
        item.iImage = I_IMAGECALLBACK;
    }
    // An index past the end appends; asking for the count first would cost a
    // message per row while the catalogue loads.
    item.iItem = INT_MAX;
    item.pszText = const_cast<wchar_t*>(L"");
    ++changes_;
    return static_cast<int>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::SetSubItem(int row, int subItem, const std::wstring& text) {
    ++changes_;
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListView::SubItem(int row, int subItem) const {
    // The control copies at most cchTextMax characters. Nearly every field
    // fits the stack buffer; longer ones grow a heap buffer until they fit.
    wchar_t small[256];
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = small;
    item.cchTextMax = static_cast<int>(std::size(small));
    const auto n = static_cast<size_t>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (n + 1 < std::size(small)) return std::wstring(small, n);
    std::vector<wchar_t> buffer(std::size(small) * 4);
    return std::wstring(SubItem(row, subItem, buffer));
}

std::wstring_view ListView::SubItem(int row, int subItem, std::vector<wchar_t>& buffer) const {
    if (buffer.size() < 256) buffer.resize(256);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto n =
            static_cast<size_t>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        // A text that filled the buffer may have been cut: read it again.
        if (n + 1 < buffer.size()) return {buffer.data(), n};
        buffer.resize(buffer.size() * 4);
    }
}

void ListView::DeleteRow(int row) {
    ++changes_;
    SendMessageW(hwnd_, LVM_DELETEITEM, row, 0);
}

void ListView::Clear() {
    ++changes_;
    SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

int ListView::Selected() const {
    return static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::Select(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(hwnd_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ListView::Deselect(int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool ListView::IsSelected(int row) const {
    return (SendMessageW(hwnd_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void ListView::SetRedraw(bool on) {
    SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListView::ReserveRows(int count) { SendMessageW(hwnd_, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL); }

LPARAM ListView::RowId(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

int ListView::FindRow(LPARAM id) const {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = id;
    return static_cast<int>(SendMessageW(hwnd_, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void ListView::SwapRows(int a, int b, int lastSubItem) {
    for (int sub = 1; sub <= lastSubItem; ++sub) {
        const std::wstring ta = SubItem(a, sub);
        SetSubItem(a, sub, SubItem(b, sub));
        SetSubItem(b, sub, ta);
    }
    const LPARAM ida = RowId(a);
    const LPARAM idb = RowId(b);
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = a;
    item.lParam = idb;
    SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iItem = b;
    item.lParam = ida;
    SendMessageW(hwnd_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

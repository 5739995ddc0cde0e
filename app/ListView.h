#pragma once
// Thin typed wrapper over the report list view that holds the catalogue.
// Rows and sub-items are 0-based here; sub-item 0 is the row's own label.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

class ListView {
public:
    void Attach(HWND list) { hwnd_ = list; }
    HWND hWnd() const { return hwnd_; }

    void AddColumn(int index, const std::wstring& text, int width);
    int Count() const;
    int AddRow();  // appends a row with an empty label; returns its index
    // From now on rows are added with their image left to the list's parent,
    // which it asks (LVN_GETDISPINFO) each time it draws the row.
    void ImagesOnDemand() { imagesOnDemand_ = true; }

    // Every row carries an id of its own that follows the entry when rows are
    // exchanged, so a dialog can stay bound to the entry it was opened for.
    LPARAM RowId(int row) const;
    int FindRow(LPARAM id) const;  // -1 when no row has the id
    // Exchanges sub-items 1..lastSubItem and the ids of two rows.
    void SwapRows(int a, int b, int lastSubItem);
    void SetSubItem(int row, int subItem, const std::wstring& text);
    std::wstring SubItem(int row, int subItem) const;  // "" when never set
    // The same, read into `buffer` (grown when a text needs it), without a
    // string of its own; valid until `buffer` is used again.
    std::wstring_view SubItem(int row, int subItem, std::vector<wchar_t>& buffer) const;
    void DeleteRow(int row);
    void Clear();

    int Selected() const;  // -1 when no row is selected
    void Select(int row);  // selects, focuses and scrolls it into view
    void Deselect(int row);
    bool IsSelected(int row) const;

    void SetRedraw(bool on);
    void ReserveRows(int count);

    // Counts the changes to rows made through this wrapper (adds, edits,
    // deletes, swaps, clears): work begun on a copy of the rows can tell
    // whether they are still what the list holds.
    unsigned Changes() const { return changes_; }

private:
    HWND hwnd_ = nullptr;
    unsigned changes_ = 0;
    bool imagesOnDemand_ = false;
};

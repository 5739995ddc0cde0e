#include "app/CatalogueList.h"

void FillList(ListView& list, const std::vector<WideRow>& rows) {
    // One repaint at the end instead of one per row.
    list.SetRedraw(false);
    list.ReserveRows(list.Count() + static_cast<int>(rows.size()));
    for (const WideRow& fields : rows) {
        const int row = list.AddRow();
        for (size_t i = 0; i < fields.size(); ++i) list.SetSubItem(row, static_cast<int>(i) + 1, fields[i]);
    }
    list.SetRedraw(true);
}

std::vector<WideRow> ReadList(const ListView& list) {
    const int count = list.Count();
    std::vector<WideRow> rows(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r) {
        rows[r].reserve(kFieldCount);
        for (int f = 1; f <= kFieldCount; ++f) rows[r].push_back(list.SubItem(r, f));
    }
    return rows;
}

void ReadListText(const ListView& list, CatalogueText& text) {
    const int count = list.Count();
    text.Clear();
    std::vector<wchar_t> buffer;  // one for every field, grown when one needs it
    for (int r = 0; r < count; ++r) {
        for (int f = 1; f <= kFieldCount; ++f) text.AddLine(list.SubItem(r, f, buffer));
    }
    text.Trim();
}

EntryFields RowFields(const ListView& list, int row) {
    return {list.SubItem(row, 2), list.SubItem(row, 3), list.SubItem(row, 4), list.SubItem(row, 5),
            list.SubItem(row, 6)};
}

void SetRowFields(ListView& list, int row, const EntryFields& fields) {
    // In the list's column order.
    list.SetSubItem(row, 2, fields.name);
    list.SetSubItem(row, 3, fields.path);
    list.SetSubItem(row, 4, fields.work);
    list.SetSubItem(row, 5, fields.args);
    list.SetSubItem(row, 6, fields.comment);
}

LPARAM WriteEntry(ListView& list, LPARAM entry, const std::wstring& kind, const EntryFields& fields) {
    int row;
    if (entry) {
        row = list.FindRow(entry);
        if (row < 0) return 0;
    } else {
        row = list.AddRow();
        list.SetSubItem(row, 1, kind);
        entry = list.RowId(row);
    }
    SetRowFields(list, row, fields);
    return entry;
}

int FindName(const ListView& list, const std::wstring& name, LPARAM except) {
    const int count = list.Count();
    for (int row = 0; row < count; ++row) {
        if (list.SubItem(row, 2) == name && (!except || list.RowId(row) != except)) return row;
    }
    return -1;
}

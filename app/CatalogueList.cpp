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

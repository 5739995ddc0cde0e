#pragma once
// Moving catalogue rows between the file's records and the list view whose
// rows are the catalogue.
#include <vector>

#include "app/EntryHost.h"
#include "app/ListView.h"
#include "catalogue/CatalogueFile.h"

// Appends the rows (each with up to six fields as sub-items 1..6).
void FillList(ListView& list, const std::vector<WideRow>& rows);

// All rows of the list with their six fields (missing ones empty).
std::vector<WideRow> ReadList(const ListView& list);

// The same rows laid out as the file's lines in `text` (its buffers kept
// from the last call): what the save converts.
void ReadListText(const ListView& list, CatalogueText& text);

// The fields an entry dialog edits (sub-items 2..6), and writing them back.
EntryFields RowFields(const ListView& list, int row);
void SetRowFields(ListView& list, int row, const EntryFields& fields);

// Writes the fields into the row with id `entry`, or into a new last row of
// `kind` when `entry` is 0. Returns the row's id; 0 when `entry` is gone.
LPARAM WriteEntry(ListView& list, LPARAM entry, const std::wstring& kind, const EntryFields& fields);

// The first row called `name` (exact comparison) other than the row with id
// `except`; -1 when there is none.
int FindName(const ListView& list, const std::wstring& name, LPARAM except);

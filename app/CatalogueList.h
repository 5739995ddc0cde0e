#pragma once
// Moving catalogue rows between the file's records and the list view whose
// rows are the catalogue.
#include <vector>

#include "app/ListView.h"
#include "catalogue/CatalogueFile.h"

// Appends the rows (each with up to six fields as sub-items 1..6).
void FillList(ListView& list, const std::vector<WideRow>& rows);

// All rows of the list with their six fields (missing ones empty).
std::vector<WideRow> ReadList(const ListView& list);

#pragma once
// The catalogue's text format, independent of any window or code page:
// six lines per entry, each line ending in CR LF, no header, no escaping.
// Works on the file's bytes; the caller converts to and from the ANSI code
// page.
#include <string>
#include <string_view>
#include <vector>

using CatalogueRow = std::vector<std::string>;  // 0 to 6 fields, file order

// Splits the file's bytes into rows the way the loader fills the list: the
// first row exists before anything is read, a new row starts only when a
// seventh line is about to be read. So 6·N lines give N rows, 7 lines give a
// full row and a row holding only its kind, and an empty file gives one row
// without fields. A line ends at CR LF, at a lone CR, or at a lone LF (a
// field can never hold either, and files edited elsewhere use bare LF).
std::vector<CatalogueRow> ParseCatalogue(std::string_view bytes);

// Number of lines ParseCatalogue would read (for tests and size checks).
std::size_t CountCatalogueLines(std::string_view bytes);

// Writes each row as six lines (missing fields as empty lines, fields past
// the sixth dropped), CR LF each. The same layout for the file's bytes and
// for UTF-16 text: the save lays the rows out in UTF-16 with it and converts
// the result to the ANSI code page in one pass, so the code that writes the
// file is the code the fuzzer checks.
std::string SerializeCatalogue(const std::vector<CatalogueRow>& rows);
std::wstring SerializeCatalogue(const std::vector<std::vector<std::wstring>>& rows);

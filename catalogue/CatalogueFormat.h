#pragma once
// The catalogue's text format, independent of any window or code page:
// six lines per entry, each line ending in CR LF, no header, no escaping.
// Works on the file's bytes; the caller converts to and from the ANSI code
// page.
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
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

// Calls `line(text)` for each of the six lines of every row in file order:
// missing fields as empty lines, fields past the sixth dropped. Each line is
// followed by CR LF in the file. SerializeCatalogue and the save's UTF-16
// text (CatalogueText) are both laid out by it, so the code that lays out
// the file is the code the fuzzer checks.
template <class Rows, class Line>
void ForEachCatalogueLine(const Rows& rows, Line&& line) {
    constexpr std::size_t kFields = 6;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < kFields; ++i) {
            if (i < row.size()) {
                line(row[i]);
            } else {
                line(typename std::decay_t<decltype(row)>::value_type());
            }
        }
    }
}

// Writes each row as six lines, CR LF each, laid out by ForEachCatalogueLine.
std::string SerializeCatalogue(const std::vector<CatalogueRow>& rows);

#pragma once
// The catalogue's text format, independent of any window or encoding: six
// lines per entry, each line ending in CR LF, no header, no escaping. Works
// on the file's bytes, or on its UTF-16 units for a file in UTF-16; the
// caller converts each line.
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

using CatalogueRow = std::vector<std::string>;   // 0 to 6 fields, file order
using WideRow = std::vector<std::wstring>;       // the same in UTF-16, as loaded

// Calls `line(text)` for each line of `text`, in order, and returns how many
// there were. A line ends at CR LF, at a lone CR, or at a lone LF (a field
// can never hold either, and files edited elsewhere use bare LF); text after
// the last break is one more line. No character of a code page or of UTF-8
// other than these two bytes themselves contains byte 0x0D or 0x0A, so the
// bytes are split before they are converted.
template <class Char, class Line>
std::size_t ForEachFileLine(std::basic_string_view<Char> text, Line&& line) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != Char('\r') && text[end] != Char('\n')) ++end;
        line(text.substr(pos, end - pos));
        ++count;
        if (end < text.size()) {
            if (text[end] == Char('\r')) {
                ++end;
                if (end < text.size() && text[end] == Char('\n')) ++end;
            } else {
                ++end;  // lone LF
            }
        }
        pos = end;
    }
    return count;
}

// Splits the file into rows the way the loader fills the list, each line
// made a field by `field(line)`: the first row exists before anything is
// read, a new row starts only when a seventh line is about to be read. So
// 6·N lines give N rows, 7 lines give a full row and a row holding only its
// kind, and an empty file gives one row without fields.
template <class Field, class Char, class MakeField>
std::vector<std::vector<Field>> ParseCatalogueWith(std::basic_string_view<Char> text, MakeField&& field) {
    constexpr std::size_t kFields = 6;
    std::vector<std::vector<Field>> rows(1);
    ForEachFileLine(text, [&](std::basic_string_view<Char> line) {
        if (rows.back().size() == kFields) rows.emplace_back();
        rows.back().push_back(field(line));
    });
    return rows;
}

// ParseCatalogueWith over the bytes, each line's bytes as they are.
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

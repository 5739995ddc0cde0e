#pragma once
// The catalogue laid out as its file's lines but still in UTF-16: one buffer
// with every line followed by CR LF, and where each line ends. The save reads
// the list into it and converts it to the file's encoding in one pass over
// one buffer, instead of a string per field scattered over the heap.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CatalogueFormat.h"

class CatalogueText {
public:
    static constexpr std::size_t kLinesPerRow = 6;

    // Empties the text; the buffers are kept for the next catalogue.
    void Clear();
    // Appends one line (a field) and its CR LF.
    void AddLine(std::wstring_view line);
    // Appends rows as ForEachCatalogueLine lays them out.
    template <class Rows>
    void AddRows(const Rows& rows) {
        ForEachCatalogueLine(rows, [&](const auto& line) { AddLine(line); });
    }
    // Gives back buffers kept from a catalogue far larger than this one.
    void Trim();

    // Every line with its CR LF, as the file holds them.
    std::wstring_view Text() const { return text_; }
    std::size_t LineCount() const { return lineEnds_.size(); }
    // Line `i` without its CR LF.
    std::wstring_view Line(std::size_t i) const;
    // Field `field` of row `row`, six lines to a row.
    std::wstring_view Field(std::size_t row, std::size_t field) const { return Line(row * kLinesPerRow + field); }

private:
    std::wstring text_;
    std::vector<std::size_t> lineEnds_;  // where each line's text ends, before its CR LF
};

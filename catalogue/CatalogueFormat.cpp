#include "catalogue/CatalogueFormat.h"

namespace {

constexpr std::size_t kFields = 6;

// Calls `line` for each line of `bytes`; returns the number of lines.
template <class F>
std::size_t ForEachLine(std::string_view bytes, F&& line) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        line(bytes.substr(pos, end - pos));
        ++count;
        if (end < bytes.size()) {
            if (bytes[end] == '\r') {
                ++end;
                if (end < bytes.size() && bytes[end] == '\n') ++end;
            } else {
                ++end;  // lone LF
            }
        }
        pos = end;
    }
    return count;
}

}  // namespace

std::vector<CatalogueRow> ParseCatalogue(std::string_view bytes) {
    std::vector<CatalogueRow> rows(1);
    ForEachLine(bytes, [&](std::string_view text) {
        if (rows.back().size() == kFields) rows.emplace_back();
        rows.back().emplace_back(text);
    });
    return rows;
}

std::size_t CountCatalogueLines(std::string_view bytes) {
    return ForEachLine(bytes, [](std::string_view) {});
}

std::string SerializeCatalogue(const std::vector<CatalogueRow>& rows) {
    std::size_t size = 0;
    ForEachCatalogueLine(rows, [&](const std::string& line) { size += line.size() + 2; });
    std::string out;
    out.reserve(size);
    ForEachCatalogueLine(rows, [&](const std::string& line) {
        out += line;
        out += "\r\n";
    });
    return out;
}

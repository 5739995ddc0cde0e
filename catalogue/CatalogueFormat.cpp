#include "catalogue/CatalogueFormat.h"

std::vector<CatalogueRow> ParseCatalogue(std::string_view bytes) {
    return ParseCatalogueWith<std::string>(bytes, [](std::string_view line) { return std::string(line); });
}

std::size_t CountCatalogueLines(std::string_view bytes) {
    return ForEachFileLine(bytes, [](std::string_view) {});
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

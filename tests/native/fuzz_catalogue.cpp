// Feeds arbitrary bytes to the catalogue reader and checks what the loader
// and the save rely on: fields never hold a line break, every line read is
// one field, rows follow the "new row only at the seventh line" rule, and a
// save followed by a load gives back the same rows with missing fields empty.
// The save lays rows out in UTF-16 before its one conversion; that layout must
// give, unit for unit, the bytes' own layout.
#include "catalogue/CatalogueFormat.h"
#include "catalogue/CatalogueText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "catalogue invariant broken: %s\n", what);
        std::abort();
    }
}

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Lines counted from terminators, independently of the reader: CR LF is one
// terminator, a lone CR or LF another, and text after the last terminator
// is one more line.
std::size_t CountTerminatedLines(std::string_view bytes) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++lines;
    }
    if (!bytes.empty() && !IsBreak(bytes.back())) ++lines;
    return lines;
}

// The loader keeps the file's text apart from its line breaks; dropping the
// breaks from both sides must give the same bytes.
std::string WithoutBreaks(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (!IsBreak(c)) out += c;
    }
    return out;
}

// Every line ends in CR LF, the last one included, and no CR or LF stands
// alone.
bool OnlyCrLfLines(std::string_view bytes) {
    if (bytes.size() < 2 || bytes.substr(bytes.size() - 2) != "\r\n") return false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<CatalogueRow> rows = ParseCatalogue(bytes);
    const std::size_t lines = CountCatalogueLines(bytes);

    Check(lines == CountTerminatedLines(bytes), "line count differs from the terminators in the bytes");
    Check(!rows.empty(), "the first row must exist before anything is read");
    Check(rows.size() == (lines == 0 ? 1 : (lines + 5) / 6), "row count breaks the seventh-line rule");

    std::size_t fields = 0;
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const CatalogueRow& row = rows[r];
        Check(row.size() <= 6, "a row holds more than six fields");
        if (r + 1 < rows.size()) Check(row.size() == 6, "a row before the last is not full");
        if (lines > 0) Check(!row.empty(), "an empty row follows the last line");
        for (const std::string& field : row) {
            Check(field.find_first_of("\r\n") == std::string::npos, "a field holds CR or LF");
            text += field;
        }
        fields += row.size();
    }
    Check(fields == lines, "fields read differ from lines counted");
    Check(text == WithoutBreaks(bytes), "field text differs from the file's text");

    // Save, then load what was saved.
    const std::string saved = SerializeCatalogue(rows);
    Check(saved.size() == text.size() + 12 * rows.size(), "save does not write six CR LF lines per row");
    Check(CountCatalogueLines(saved) == 6 * rows.size(), "saved file has a wrong line count");
    const std::vector<CatalogueRow> reloaded = ParseCatalogue(saved);
    Check(reloaded.size() == rows.size(), "reload changes the number of rows");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        CatalogueRow padded = rows[r];
        padded.resize(6);
        Check(reloaded[r] == padded, "reload changes a row other than padding it to six fields");
    }
    Check(SerializeCatalogue(reloaded) == saved, "a second save differs from the first");

    // The UTF-16 layout the save uses, over the same rows widened unit for
    // unit, is the byte layout widened the same way.
    std::vector<std::vector<std::wstring>> wide;
    for (const CatalogueRow& row : rows) {
        std::vector<std::wstring>& w = wide.emplace_back();
        for (const std::string& field : row) w.emplace_back(field.begin(), field.end());
    }
    CatalogueText wideText;
    wideText.AddRows(wide);
    Check(wideText.Text() == std::wstring(saved.begin(), saved.end()), "the UTF-16 layout differs from the byte layout");
    Check(wideText.LineCount() == rows.size() * 6, "the UTF-16 text does not hold six lines per row");
    for (std::size_t i = 0; i < wideText.LineCount(); ++i) {
        const std::vector<std::wstring>& row = wide[i / 6];
        const std::wstring_view field = i % 6 < row.size() ? std::wstring_view(row[i % 6]) : std::wstring_view();
        Check(wideText.Line(i) == field, "a line of the UTF-16 text is not its field");
    }

    // A file already in the saved form (CR LF only, whole rows) is written
    // back byte for byte.
    if (lines > 0 && lines % 6 == 0 && OnlyCrLfLines(bytes)) {
        Check(saved == bytes, "a well-formed file changes on save");
    }
    return 0;
}

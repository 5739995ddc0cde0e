// Reads arbitrary bytes as a catalogue file under one of the system settings
// the program meets (code pages 936, 1252, 932, 950, and 65001 with legacy
// 936) and checks what the save promises: whatever text is saved loads back
// exactly, and a file in the saved form -- CR LF lines, six to a row --
// loaded and saved unchanged comes back byte for byte.
//
// Input: one byte choosing the setting, one byte choosing where the file
// ends, the file's bytes, then UTF-16 units (two bytes each, low first) for
// rows the save adds after the file's own; a unit CR or LF ends a field.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CatalogueCodec.h"
#include "tests/native/IconvCodePages.h"

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "encoding invariant broken: %s\n", what);
        std::abort();
    }
}

constexpr CodePages kSettings[] = {{936, 936}, {1252, 1252}, {932, 932}, {950, 950}, {65001, 936}};

const IconvCodePages& Converter() {
    static const IconvCodePages converter;
    return converter;
}

// A codec per setting for the file and one for reloading, kept from input
// to input: each decode starts afresh, and a new codec's table of the code
// page's answers would cost more than the rest of a run.
CatalogueCodec& CodecFor(std::size_t setting, bool reload) {
    static std::vector<std::unique_ptr<CatalogueCodec>> codecs;
    if (codecs.empty()) {
        for (int pass = 0; pass < 2; ++pass) {
            for (const CodePages& pages : kSettings) codecs.push_back(std::make_unique<CatalogueCodec>(pages, Converter()));
        }
    }
    return *codecs[setting + (reload ? std::size(kSettings) : 0)];
}

std::vector<WideRow> Padded(std::vector<WideRow> rows) {
    for (WideRow& row : rows) row.resize(6);
    return rows;
}

// Loads `bytes` as the next start would.
std::vector<WideRow> Reload(std::size_t setting, std::string_view bytes) {
    return CodecFor(setting, true).Decode(bytes);
}

// Whether the text (bytes, or UTF-16 units) is in the saved form.
template <class Char>
bool CanonicalLines(std::basic_string_view<Char> text) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == Char('\n') && (i == 0 || text[i - 1] != Char('\r'))) return false;
        if (text[i] == Char('\r')) {
            if (i + 1 == text.size() || text[i + 1] != Char('\n')) return false;
            ++lines;
        }
    }
    // Every CR has its LF and every LF its CR: ending in LF, the text ends
    // with a whole line.
    return lines > 0 && lines % 6 == 0 && text.back() == Char('\n');
}

bool InSavedForm(std::string_view file, const CatalogueEncoding& encoding) {
    const std::string_view body = file.substr(MarkBytes(encoding).size());
    if (encoding.charset != Charset::Utf16Le && encoding.charset != Charset::Utf16Be) return CanonicalLines(body);
    if (body.size() % 2) return false;
    std::u16string units;
    for (std::size_t i = 0; i < body.size(); i += 2) {
        const auto a = static_cast<unsigned char>(body[i]), b = static_cast<unsigned char>(body[i + 1]);
        units += static_cast<char16_t>(encoding.charset == Charset::Utf16Be ? a << 8 | b : b << 8 | a);
    }
    return CanonicalLines(std::u16string_view(units));
}

CatalogueBytes Save(CatalogueCodec& codec, const std::vector<WideRow>& rows) {
    CatalogueText text;
    text.AddRows(rows);
    CatalogueBytes bytes;
    codec.Encode(text, bytes);
    Check(bytes.encoding.charset != Charset::CodePage || !bytes.encoding.mark, "a code page file with a mark");
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t setting = data[0] % std::size(kSettings);
    const CodePages& pages = kSettings[setting];
    const std::size_t rest = size - 2;
    const std::size_t split = rest * data[1] / 255;
    const std::string_view file(reinterpret_cast<const char*>(data + 2), split);
    const std::string_view added(reinterpret_cast<const char*>(data + 2 + split), rest - split);

    CatalogueCodec& codec = CodecFor(setting, false);
    const std::vector<WideRow> rows = codec.Decode(file);
    const CatalogueEncoding read = codec.Encoding();
    Check(read == DetectCatalogueEncoding(file, pages), "the codec reads another encoding than detected");

    // Unchanged: loads back, and the saved form comes back byte for byte.
    const CatalogueBytes same = Save(codec, rows);
    Check(Reload(setting, same.bytes()) == Padded(rows), "a file saved unchanged loads back as other text");
    Check(LoadsAs(same.bytes(), same.encoding, pages), "the save's bytes are read in another encoding");
    if (InSavedForm(file, read)) {
        Check(same.encoding == read, "a file saved unchanged changed its encoding");
        Check(same.bytes() == file, "a file saved unchanged changed its bytes");
    }

    // Rows added after the file's own, in any characters at all.
    std::vector<WideRow> more = rows;
    WideRow row;
    std::wstring field;
    for (std::size_t i = 0; i + 1 < added.size(); i += 2) {
        const wchar_t unit =
            static_cast<wchar_t>(static_cast<unsigned char>(added[i]) | static_cast<unsigned char>(added[i + 1]) << 8);
        if (unit == L'\r' || unit == L'\n') {
            row.push_back(field);
            field.clear();
            if (row.size() == 6) {
                more.push_back(row);
                row.clear();
            }
        } else {
            field += unit;
        }
    }
    row.push_back(field);
    more.push_back(row);
    const CatalogueBytes changed = Save(codec, more);
    Check(Reload(setting, changed.bytes()) == Padded(more), "saved text loads back as other text");

    // Once written, the file's new encoding is where the next save starts,
    // and that save loads back too.
    codec.Written(changed.encoding);
    Check(codec.Encoding() == changed.encoding, "the written encoding is not the next save's");
    const CatalogueBytes again = Save(codec, rows);
    Check(Reload(setting, again.bytes()) == Padded(rows), "a save after a written one loads back as other text");
    return 0;
}

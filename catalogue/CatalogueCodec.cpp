#include "catalogue/CatalogueCodec.h"

#include <cstdint>
#include <cstring>

#include "catalogue/Utf8.h"

namespace {

constexpr CatalogueEncoding kUtf8WithMark{Charset::Utf8, 0, true};
constexpr CatalogueEncoding kUtf16Le{Charset::Utf16Le, 0, true};

// Makes room for `size` bytes, keeping the buffer when it is large enough
// and not far too large: a buffer kept from a much larger catalogue is given
// back.
char* Room(CatalogueBytes& into, std::size_t size) {
    if (into.capacity < size || into.capacity / 4 > size + (std::size_t{64} << 10)) {
        into.buffer = std::make_unique_for_overwrite<char[]>(size);
        into.capacity = size;
    }
    return into.buffer.get();
}

std::wstring Utf16Units(std::string_view bytes, bool bigEndian) {
    std::wstring out((bytes.size() + 1) / 2, L'\0');
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t whole = bytes.size() / 2;
    for (std::size_t i = 0; i < whole; ++i) {
        const unsigned first = p[2 * i], second = p[2 * i + 1];
        out[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    // Half a unit at the end has no meaning.
    if (bytes.size() % 2) out[whole] = L'\xFFFD';
    return out;
}

}  // namespace

CatalogueCodec::CatalogueCodec(CodePages pages, const CodePageConverter& converter)
    : pages_(pages), converter_(converter), encoding_(NewCatalogueEncoding(pages)) {}

AnsiEncoder& CatalogueCodec::Ansi() {
    if (!ansi_ || ansi_->CodePage() != encoding_.codePage) {
        ansi_ = std::make_unique<AnsiEncoder>(encoding_.codePage, converter_);
    }
    return *ansi_;
}

std::vector<WideRow> CatalogueCodec::Decode(std::string_view bytes) {
    encoding_ = DetectCatalogueEncoding(bytes, pages_);
    kept_.clear();
    const std::string_view body = bytes.substr(MarkBytes(encoding_).size());
    const auto asIs = [](std::wstring_view line) { return std::wstring(line); };
    if (encoding_.charset == Charset::Utf16Le || encoding_.charset == Charset::Utf16Be) {
        const std::wstring units = Utf16Units(body, encoding_.charset == Charset::Utf16Be);
        return ParseCatalogueWith<std::wstring>(std::wstring_view(units), asIs);
    }
    std::unordered_set<std::wstring> keep;
    std::vector<WideRow> rows =
        ParseCatalogueWith<std::wstring>(body, [&](std::string_view line) { return DecodeLine(line, keep); });
    if (!keep.empty()) KeepLines(body, rows, keep);
    return rows;
}

std::wstring CatalogueCodec::DecodeLine(std::string_view line, std::unordered_set<std::wstring>& keep) {
    std::wstring out;
    // ASCII reads the same in every code page and in UTF-8; most paths and
    // names are ASCII, and widening them directly saves a conversion each.
    if (utf8::IsAscii(line)) {
        out.assign(line.begin(), line.end());
        return out;
    }
    if (encoding_.charset == Charset::Utf8) {
        if (!utf8::Decode(line, out)) keep.insert(out);
        return out;
    }
    converter_.Decode(encoding_.codePage, line, out);
    // Bytes with no meaning in the code page, or one of two byte sequences
    // for the same character (code page 932 has such pairs), do not come
    // back from the text: the line keeps its bytes for the save.
    scratch_.clear();
    if (Ansi().Append(out.data(), out.size(), scratch_) || scratch_ != line) keep.insert(out);
    return out;
}

void CatalogueCodec::KeepLines(std::string_view body, const std::vector<WideRow>& rows,
                               const std::unordered_set<std::wstring>& keep) {
    // Every line with a kept text, in file order, the ones that would come
    // back on their own too: the save hands the bytes out in that order, so
    // two lines with one text keep their own bytes each.
    std::size_t i = 0;
    ForEachFileLine(body, [&](std::string_view line) {
        const std::wstring& text = rows[i / CatalogueText::kLinesPerRow][i % CatalogueText::kLinesPerRow];
        ++i;
        if (keep.count(text)) kept_[text].bytes.emplace_back(line);
    });
}

void CatalogueCodec::Encode(const CatalogueText& text, CatalogueBytes& into) {
    if (encoding_.charset == Charset::Utf16Le || encoding_.charset == Charset::Utf16Be) {
        EncodeUtf16(text.Text(), encoding_, into);
        return;
    }
    if (EncodeBytes(text, encoding_, into) && ReadsBack(into)) return;
    // UTF-8 with a mark holds every character and is always read as UTF-8.
    if (encoding_ != kUtf8WithMark && EncodeBytes(text, kUtf8WithMark, into)) return;
    // A surrogate without its partner: UTF-16 holds any unit.
    EncodeUtf16(text.Text(), kUtf16Le, into);
}

bool CatalogueCodec::ReadsBack(const CatalogueBytes& bytes) const {
    // The UTF-8 encoder only writes valid UTF-8, which is read as UTF-8 (or,
    // all ASCII, as the same text in the code page) unless it begins with
    // what looks like a mark; that saves scanning the whole file again.
    if (bytes.encoding.charset == Charset::Utf8) {
        return bytes.encoding.mark || !bytes.bytes().starts_with(MarkBytes(kUtf8WithMark));
    }
    return LoadsAs(bytes.bytes(), bytes.encoding, pages_);
}

bool CatalogueCodec::EncodeBytes(const CatalogueText& text, const CatalogueEncoding& encoding,
                                 CatalogueBytes& into) {
    if (encoding == encoding_ && !kept_.empty()) return EncodeKeepingLines(text, into);
    const bool codePage = encoding.charset == Charset::CodePage;
    AnsiEncoder* const ansi = codePage ? &Ansi() : nullptr;
    const std::string_view mark = MarkBytes(encoding);
    const std::wstring_view wide = text.Text();
    // One pass converts and checks the whole text at once, into a buffer
    // with room for the longest conversion that is never filled beforehand:
    // pages the pass never reaches cost nothing.
    const std::size_t perUnit = codePage ? ansi->MaxBytesPerUnit() : utf8::kMaxBytesPerUnit;
    char* const start = Room(into, mark.size() + wide.size() * perUnit + AnsiEncoder::kSlack);
    mark.copy(start, mark.size());
    bool lost = false;
    char* const end = codePage ? ansi->Encode(wide.data(), wide.size(), start + mark.size(), lost)
                               : utf8::Encode(wide.data(), wide.size(), start + mark.size(), lost);
    into.size = static_cast<std::size_t>(end - start);
    into.encoding = encoding;
    return !lost;
}

bool CatalogueCodec::EncodeKeepingLines(const CatalogueText& text, CatalogueBytes& into) {
    // Line by line: only files with lines that keep their bytes come here.
    for (auto& [line, kept] : kept_) kept.used = 0;
    std::string out(MarkBytes(encoding_));
    bool lost = false;
    for (std::size_t i = 0; i < text.LineCount(); ++i) {
        const std::wstring_view line = text.Line(i);
        const auto found = kept_.find(std::wstring(line));
        if (found != kept_.end() && found->second.used < found->second.bytes.size()) {
            out += found->second.bytes[found->second.used++];
        } else if (!AppendLine(line, encoding_, out)) {
            lost = true;
        }
        out += "\r\n";
    }
    std::memcpy(Room(into, out.size()), out.data(), out.size());
    into.size = out.size();
    into.encoding = encoding_;
    return !lost;
}

bool CatalogueCodec::AppendLine(std::wstring_view line, const CatalogueEncoding& encoding, std::string& out) {
    if (encoding.charset == Charset::CodePage) return !Ansi().Append(line.data(), line.size(), out);
    const std::size_t start = out.size();
    out.resize(start + line.size() * utf8::kMaxBytesPerUnit);
    bool lost = false;
    char* const end = utf8::Encode(line.data(), line.size(), out.data() + start, lost);
    out.resize(static_cast<std::size_t>(end - out.data()));
    return !lost;
}

void CatalogueCodec::EncodeUtf16(std::wstring_view text, const CatalogueEncoding& encoding,
                                 CatalogueBytes& into) const {
    const std::string_view mark = MarkBytes(encoding);
    char* const start = Room(into, mark.size() + 2 * text.size());
    mark.copy(start, mark.size());
    char* to = start + mark.size();
    const bool bigEndian = encoding.charset == Charset::Utf16Be;
    for (const wchar_t c : text) {
        const auto unit = static_cast<std::uint16_t>(c);
        *to++ = static_cast<char>(bigEndian ? unit >> 8 : unit & 0xFF);
        *to++ = static_cast<char>(bigEndian ? unit & 0xFF : unit >> 8);
    }
    into.size = static_cast<std::size_t>(to - start);
    into.encoding = encoding;
}

void CatalogueCodec::Written(const CatalogueEncoding& encoding) {
    // The file is now what a restart would read: its lines kept from the
    // old file mean nothing in another encoding.
    if (encoding == encoding_) return;
    encoding_ = encoding;
    kept_.clear();
}

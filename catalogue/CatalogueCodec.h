#pragma once
// The catalogue file's bytes to rows and the list's text back to bytes, in
// whatever encoding the file came in. A save writes the encoding the file
// was read in, so a file in the code page stays byte for byte what it was;
// when that encoding cannot hold a character, or its bytes would be read
// back as something else, it writes UTF-8 with a byte-order mark instead,
// which holds everything but a lone surrogate (that takes UTF-16). No
// character is ever lost and nothing needs asking.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "catalogue/AnsiEncoder.h"
#include "catalogue/CatalogueEncoding.h"
#include "catalogue/CatalogueFormat.h"
#include "catalogue/CatalogueText.h"
#include "catalogue/CodePageConverter.h"

// The bytes a save writes, mark included, and their encoding.
struct CatalogueBytes {
    // Room for the longest conversion, of which the file is the first `size`
    // bytes. Not a string: only the pages the conversion writes are touched.
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    std::size_t size = 0;
    CatalogueEncoding encoding;

    std::string_view bytes() const { return {buffer.get(), size}; }
};

class CatalogueCodec {
public:
    // `converter` outlives the codec. Until a file is read, saves write a
    // new file's encoding.
    CatalogueCodec(CodePages pages, const CodePageConverter& converter);
    CatalogueCodec(const CatalogueCodec&) = delete;
    CatalogueCodec& operator=(const CatalogueCodec&) = delete;

    const CodePages& Pages() const { return pages_; }

    // The file's rows, split as ParseCatalogue splits them, each line in
    // the file's encoding; the mark is not part of the first field. The
    // next save starts from this file's encoding.
    std::vector<WideRow> Decode(std::string_view bytes);

    // What the next save writes when it can: the encoding the file was read
    // in or last written in, or a new file's.
    const CatalogueEncoding& Encoding() const { return encoding_; }

    // The file's bytes for `text` into `into`, whose buffer is kept when it
    // has room and is not far too large: a save after each change then
    // writes into pages it already has. `into.encoding` says which encoding
    // was chosen. A line of the file read whose bytes its text alone would
    // not give back gets its own bytes again while its text is unchanged.
    void Encode(const CatalogueText& text, CatalogueBytes& into);

    // Bytes in `encoding` are now the file.
    void Written(const CatalogueEncoding& encoding);

private:
    // Bytes of lines with one text, in file order.
    struct KeptLines {
        std::vector<std::string> bytes;
        std::size_t used = 0;  // during a save
    };

    AnsiEncoder& Ansi();
    std::wstring DecodeLine(std::string_view line, std::unordered_set<std::wstring>& keep);
    void KeepLines(std::string_view body, const std::vector<WideRow>& rows,
                   const std::unordered_set<std::wstring>& keep);
    bool EncodeBytes(const CatalogueText& text, const CatalogueEncoding& encoding, CatalogueBytes& into);
    // Whether the loader reads the bytes just encoded as the same text.
    bool ReadsBack(const CatalogueBytes& bytes) const;
    bool EncodeKeepingLines(const CatalogueText& text, CatalogueBytes& into);
    bool AppendLine(std::wstring_view line, const CatalogueEncoding& encoding, std::string& out);
    void EncodeUtf16(std::wstring_view text, const CatalogueEncoding& encoding, CatalogueBytes& into) const;

    const CodePages pages_;
    const CodePageConverter& converter_;
    CatalogueEncoding encoding_;
    std::unique_ptr<AnsiEncoder> ansi_;  // for encoding_'s code page, made on first use
    std::unordered_map<std::wstring, KeptLines> kept_;
    std::string scratch_;
};

#pragma once
// Which encoding the catalogue file is in. Users' tools write it in the
// system's code page, in UTF-8 with or without a byte-order mark (Notepad's
// default since Windows 10 1903), or in UTF-16; the loader tells them apart
// by the bytes alone, and the save writes only what the loader reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr unsigned kCodePageUtf8 = 65001;

// The system's code pages, handed in by the caller.
struct CodePages {
    unsigned ansi = 0;    // the ANSI code page (65001 where the system is set to UTF-8)
    unsigned legacy = 0;  // the system locale's own code page, never 65001: read where `ansi` is 65001
};

enum class Charset : std::uint8_t { CodePage, Utf8, Utf16Le, Utf16Be };

struct CatalogueEncoding {
    Charset charset = Charset::CodePage;
    unsigned codePage = 0;  // Charset::CodePage only
    bool mark = false;      // the file begins with a byte-order mark (always for UTF-16)

    friend bool operator==(const CatalogueEncoding&, const CatalogueEncoding&) = default;
};

// Bytes of the encoding's byte-order mark, and how long it is (0 without).
std::string_view MarkBytes(const CatalogueEncoding& encoding);

// A byte-order mark decides (EF BB BF UTF-8, FF FE UTF-16 LE, FE FF UTF-16
// BE). Without one, bytes that are valid UTF-8 and not all ASCII are UTF-8;
// anything else is the ANSI code page -- or, where that is UTF-8 and the
// bytes are not, the legacy code page. ASCII reads the same in all of them.
CatalogueEncoding DetectCatalogueEncoding(std::string_view bytes, const CodePages& pages);

// What a catalogue that did not exist is written in: the ANSI code page
// (UTF-8 without a mark where that is 65001).
CatalogueEncoding NewCatalogueEncoding(const CodePages& pages);

// Whether the loader would read `bytes` (the whole file, mark included),
// written in `encoding`, back in that encoding -- or, for ASCII without a
// mark, in one that gives the same text.
bool LoadsAs(std::string_view bytes, const CatalogueEncoding& encoding, const CodePages& pages);

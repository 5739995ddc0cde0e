#pragma once
// Moving the catalogue between memory and applist.ini: text in the system's
// ANSI code page, six CR LF lines per entry, absent when the catalogue is
// empty. Saving goes through a temporary file that replaces the old one in
// one step, so the file is never left half-written.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CatalogueText.h"
#include "catalogue/Entry.h"

using WideRow = std::vector<std::wstring>;  // 0 to 6 fields, as loaded

// The executable's folder followed by "\applist.ini".
std::wstring CataloguePathFor(const std::wstring& folder);

struct CatalogueLoad {
    enum class State { Absent, Loaded, Unreadable } state = State::Absent;
    std::vector<WideRow> rows;  // Loaded: at least one row
    std::wstring reason;        // Unreadable: what went wrong, for the user
};

// A hidden or system file counts as absent; a folder of that name or a file
// that cannot be opened or read is Unreadable.
CatalogueLoad LoadCatalogueFile(const std::wstring& path);

struct CatalogueSave {
    bool ok = true;
    std::wstring reason;  // when !ok
};

// The file's bytes for a catalogue, converted to the ANSI code page in one
// pass, and the rows holding a character the code page cannot hold (which
// became the default character). The save command asks the user about those
// rows before writing the bytes.
struct CatalogueBytes {
    // Room for the longest conversion, of which the file is the first `size`
    // bytes. Not a string: only the pages the conversion writes are touched.
    std::unique_ptr<char[]> buffer;
    size_t capacity = 0;
    size_t size = 0;
    std::vector<size_t> losing;  // row indices, ascending

    std::string_view bytes() const { return {buffer.get(), size}; }
};
CatalogueBytes ConvertCatalogue(const std::vector<WideRow>& rows);
// The same for the catalogue's lines, into `into`, whose buffer is kept when
// it has room and is not far too large: a save after each change then writes
// into pages it already has, instead of a fresh allocation the system must
// fault in page by page.
void ConvertCatalogue(const CatalogueText& text, CatalogueBytes& into);

// Replaces the file with `bytes` (through a temporary file beside it).
CatalogueSave SaveCatalogueBytes(const std::wstring& path, std::string_view bytes);

// ConvertCatalogue followed by SaveCatalogueBytes, without asking.
CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows);

// Deletes temporaries of saves that never finished ("<path>.<pid>.tmp").
void RemoveStaleTemporaries(const std::wstring& path);

// Indices of rows with a field the ANSI code page cannot represent.
std::vector<size_t> RowsLosingCharacters(const CatalogueText& text);

// Test seam: when set, the save's write fails after this many bytes with the
// given error (ERROR_DISK_FULL to stand in for a full disk).
struct CatalogueWriteFault {
    bool active = false;
    size_t failAfterBytes = 0;
    DWORD error = ERROR_DISK_FULL;
};
void SetCatalogueWriteFault(const CatalogueWriteFault& fault);

// ANSI code page conversions used by the catalogue file.
std::wstring AnsiToWide(const std::string& bytes);
std::string WideToAnsi(const std::wstring& text, bool* lost = nullptr);

#pragma once
// Moving the catalogue between memory and applist.ini: six CR LF lines per
// entry, absent when the catalogue is empty, in the encoding the codec reads
// and chooses. Saving goes through a temporary file that replaces the old
// one in one step, so the file is never left half-written.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/CatalogueCodec.h"
#include "catalogue/Entry.h"

// The executable's folder followed by "\applist.ini".
std::wstring CataloguePathFor(const std::wstring& folder);

struct CatalogueLoad {
    enum class State { Absent, Loaded, Unreadable } state = State::Absent;
    std::vector<WideRow> rows;  // Loaded: at least one row
    std::wstring reason;        // Unreadable: what went wrong, for the user
};

// A hidden or system file counts as absent; a folder of that name or a file
// that cannot be opened or read is Unreadable. The codec learns the file's
// encoding for the next save.
CatalogueLoad LoadCatalogueFile(const std::wstring& path, CatalogueCodec& codec);
// The same in the system's code pages.
CatalogueLoad LoadCatalogueFile(const std::wstring& path);

struct CatalogueSave {
    bool ok = true;
    std::wstring reason;  // when !ok
};

// Replaces the file with `bytes` (through a temporary file beside it).
CatalogueSave SaveCatalogueBytes(const std::wstring& path, std::string_view bytes);

// The rows laid out, encoded by `codec` and written; the codec then knows
// the file's new encoding.
CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows, CatalogueCodec& codec);
// The same for a new file in the system's code pages.
CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows);

// Deletes temporaries of saves that never finished ("<path>.<pid>.tmp").
void RemoveStaleTemporaries(const std::wstring& path);

// Test seam: when set, the save's write fails after this many bytes with the
// given error (ERROR_DISK_FULL to stand in for a full disk).
struct CatalogueWriteFault {
    bool active = false;
    size_t failAfterBytes = 0;
    DWORD error = ERROR_DISK_FULL;
};
void SetCatalogueWriteFault(const CatalogueWriteFault& fault);

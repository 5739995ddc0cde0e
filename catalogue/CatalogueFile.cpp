#include "catalogue/CatalogueFile.h"

#include <algorithm>

#include "catalogue/AnsiEncoder.h"
#include "catalogue/CatalogueFormat.h"
#include "catalogue/CatalogueText.h"
#include "plumbing/HandleGuards.h"
#include "plumbing/SystemInfo.h"

namespace {

CatalogueWriteFault g_fault;


bool WriteAll(HANDLE file, std::string_view bytes) {
    size_t limit = bytes.size();
    if (g_fault.active) limit = std::min(limit, g_fault.failAfterBytes);
    size_t done = 0;
    while (done < limit) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(limit - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
        done += written;
    }
    if (g_fault.active && g_fault.failAfterBytes < bytes.size()) {
        SetLastError(g_fault.error);
        return false;
    }
    return true;
}

bool IsAscii(const char* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    }
    return true;
}

// Appends `text` in the ANSI code page to `out`; true when a character had
// no equivalent there and became the default character.
bool AppendAnsi(const wchar_t* text, size_t size, std::string& out) {
    return AnsiEncoder::ForProcess().Append(text, size, out);
}

}  // namespace

std::wstring AnsiToWide(const std::string& bytes) {
    if (bytes.empty()) return {};
    // ASCII reads the same in every ANSI code page; most paths and names are
    // ASCII, and widening them directly saves a conversion call per field.
    if (IsAscii(bytes.data(), bytes.size())) return std::wstring(bytes.begin(), bytes.end());
    // No code page gives more UTF-16 units than it has bytes, so one call
    // into a buffer of that size does it.
    std::wstring out(bytes.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                                      static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return out;
}

std::string WideToAnsi(const std::wstring& text, bool* lost) {
    std::string out;
    const bool missing = AppendAnsi(text.data(), text.size(), out);
    if (lost) *lost = missing;
    return out;
}

std::wstring CataloguePathFor(const std::wstring& folder) { return folder + L"\\applist.ini"; }

CatalogueLoad LoadCatalogueFile(const std::wstring& path) {
    CatalogueLoad result;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return result;
        result.state = CatalogueLoad::State::Unreadable;
        result.reason = SystemErrorText(error);
        return result;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        result.state = CatalogueLoad::State::Unreadable;
        result.reason = L"这是一个文件夹，不是列表文件。";
        return result;
    }
    // A hidden or system file is treated as absent, as the program always has.
    if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) return result;

    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        result.state = CatalogueLoad::State::Unreadable;
        result.reason = SystemErrorText(GetLastError());
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        result.state = CatalogueLoad::State::Unreadable;
        result.reason = SystemErrorText(GetLastError());
        return result;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) {
            result.state = CatalogueLoad::State::Unreadable;
            result.reason = SystemErrorText(GetLastError());
            return result;
        }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    file.reset();  // parsing needs no handle on the file

    result.state = CatalogueLoad::State::Loaded;
    auto rows = ParseCatalogue(bytes);
    result.rows.reserve(rows.size());
    for (auto& row : rows) {
        WideRow wide;
        wide.reserve(row.size());
        for (auto& field : row) wide.push_back(AnsiToWide(field));
        result.rows.push_back(std::move(wide));
    }
    return result;
}

std::vector<size_t> RowsLosingCharacters(const CatalogueText& text) {
    std::vector<size_t> out;
    std::string scratch;  // one buffer for every conversion of the check
    for (size_t i = 0; i < text.LineCount(); ++i) {
        const size_t row = i / CatalogueText::kLinesPerRow;
        if (!out.empty() && out.back() == row) continue;
        const std::wstring_view line = text.Line(i);
        scratch.clear();
        if (AppendAnsi(line.data(), line.size(), scratch)) out.push_back(row);
    }
    return out;
}

CatalogueBytes ConvertCatalogue(const std::vector<WideRow>& rows) {
    CatalogueText text;
    text.AddRows(rows);
    CatalogueBytes out;
    ConvertCatalogue(text, out);
    return out;
}

void ConvertCatalogue(const CatalogueText& text, CatalogueBytes& into) {
    AnsiEncoder& encoder = AnsiEncoder::ForProcess();
    // One pass converts and checks the whole text at once, into a buffer
    // with room for the longest conversion that is never filled beforehand:
    // pages the pass never reaches cost nothing. Only when it reports a lost
    // character are the lines looked at one by one to name their rows.
    const std::wstring_view wide = text.Text();
    const size_t room = wide.size() * encoder.MaxBytesPerUnit() + AnsiEncoder::kSlack;
    // A buffer kept from a much larger catalogue is given back.
    if (into.capacity < room || into.capacity / 4 > room + (size_t{64} << 10)) {
        into.buffer = std::make_unique_for_overwrite<char[]>(room);
        into.capacity = room;
    }
    bool lost = false;
    char* const end = encoder.Encode(wide.data(), wide.size(), into.buffer.get(), lost);
    into.size = static_cast<size_t>(end - into.buffer.get());
    into.losing.clear();
    if (lost) into.losing = RowsLosingCharacters(text);
}

CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows) {
    return SaveCatalogueBytes(path, ConvertCatalogue(rows).bytes());
}

CatalogueSave SaveCatalogueBytes(const std::wstring& path, std::string_view bytes) {
    CatalogueSave result;
    const auto fail = [&](DWORD error) {
        result.ok = false;
        result.reason = SystemErrorText(error);
        return result;
    };

    // A read-only catalogue is the user's decision not to have it changed.
    // (Some file systems would let the rename below replace it anyway.)
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return fail(ERROR_ACCESS_DENIED);
    }

    // The temporary file sits beside the catalogue so the final rename stays
    // on one volume and replaces the old file in one step.
    const std::wstring temp = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.valid()) return fail(GetLastError());
    if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        file.reset();
        DeleteFileW(temp.c_str());
        return fail(error);
    }
    file.reset();
    if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        return fail(error);
    }
    return result;
}

void RemoveStaleTemporaries(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW((path + L".*.tmp").c_str(), &found));
    if (!search.valid()) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search.get(), &found));
}

void SetCatalogueWriteFault(const CatalogueWriteFault& fault) { g_fault = fault; }

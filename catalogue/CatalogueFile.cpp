#include "catalogue/CatalogueFile.h"

#include <algorithm>

#include "catalogue/SystemCodePages.h"
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

}  // namespace

std::wstring CataloguePathFor(const std::wstring& folder) { return folder + L"\\applist.ini"; }

CatalogueLoad LoadCatalogueFile(const std::wstring& path) {
    CatalogueCodec codec(SystemCodePages(), SystemCodePageConverter::Instance());
    return LoadCatalogueFile(path, codec);
}

CatalogueLoad LoadCatalogueFile(const std::wstring& path, CatalogueCodec& codec) {
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
    result.rows = codec.Decode(bytes);
    return result;
}

CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows) {
    CatalogueCodec codec(SystemCodePages(), SystemCodePageConverter::Instance());
    return SaveCatalogueFile(path, rows, codec);
}

CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows, CatalogueCodec& codec) {
    CatalogueText text;
    text.AddRows(rows);
    CatalogueBytes bytes;
    codec.Encode(text, bytes);
    const CatalogueSave save = SaveCatalogueBytes(path, bytes.bytes());
    if (save.ok) codec.Written(bytes.encoding);
    return save;
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

#include "catalogue/CatalogueFile.h"

#include <algorithm>

#include "catalogue/CatalogueFormat.h"

namespace {

CatalogueWriteFault g_fault;

struct FileHandle {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit FileHandle(HANDLE handle) : h(handle) {}
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h != INVALID_HANDLE_VALUE; }
    void close() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

bool WriteAll(HANDLE file, const std::string& bytes) {
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

std::wstring SystemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) out.pop_back();
    if (out.empty()) out = L"系统错误 " + std::to_wstring(error);
    return out;
}

std::wstring AnsiToWide(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string WideToAnsi(const std::wstring& text, bool* lost) {
    if (lost) *lost = false;
    if (text.empty()) return {};
    BOOL usedDefault = FALSE;
    // No best-fit mapping: a character the code page lacks must show up as
    // lost, not silently turn into a look-alike.
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, lost ? &usedDefault : nullptr);
    if (lost) *lost = usedDefault != FALSE;
    return out;
}

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
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
    if (!GetFileSizeEx(file.h, &size)) {
        result.state = CatalogueLoad::State::Unreadable;
        result.reason = SystemErrorText(GetLastError());
        return result;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.h, bytes.data() + done, want, &got, nullptr)) {
            result.state = CatalogueLoad::State::Unreadable;
            result.reason = SystemErrorText(GetLastError());
            return result;
        }
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);

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

std::vector<size_t> RowsLosingCharacters(const std::vector<WideRow>& rows) {
    std::vector<size_t> out;
    for (size_t i = 0; i < rows.size(); ++i) {
        for (const auto& field : rows[i]) {
            bool lost = false;
            WideToAnsi(field, &lost);
            if (lost) {
                out.push_back(i);
                break;
            }
        }
    }
    return out;
}

CatalogueSave SaveCatalogueFile(const std::wstring& path, const std::vector<WideRow>& rows) {
    std::vector<CatalogueRow> ansi;
    ansi.reserve(rows.size());
    for (const auto& row : rows) {
        CatalogueRow r;
        r.reserve(row.size());
        for (const auto& field : row) r.push_back(WideToAnsi(field));
        ansi.push_back(std::move(r));
    }
    const std::string bytes = SerializeCatalogue(ansi);

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
    if (!WriteAll(file.h, bytes) || !FlushFileBuffers(file.h)) {
        const DWORD error = GetLastError();
        file.close();
        DeleteFileW(temp.c_str());
        return fail(error);
    }
    file.close();
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
    HANDLE search = FindFirstFileW((path + L".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void SetCatalogueWriteFault(const CatalogueWriteFault& fault) { g_fault = fault; }

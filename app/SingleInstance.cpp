#include "app/SingleInstance.h"

#include <cwctype>

namespace {

// The first copy's main window, shared through a small named mapping.
struct Shared {
    UINT64 mainWindow;
};

}  // namespace

std::wstring SingleInstance::NameFor(const std::wstring& catalogueFolder) {
    // Kernel object names cannot hold backslashes; a hash of the folder,
    // case-folded as the file system folds it, keeps copies of the program
    // in different folders (with different catalogues) independent.
    UINT64 hash = 14695981039346656037ull;
    for (wchar_t c : catalogueFolder) {
        hash ^= static_cast<UINT64>(std::towlower(c));
        hash *= 1099511628211ull;
    }
    wchar_t text[17];
    wsprintfW(text, L"%08X%08X", static_cast<unsigned>(hash >> 32), static_cast<unsigned>(hash));
    return std::wstring(L"Local\\Tarvolo-") + text;
}

UINT SingleInstance::ActivateMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tarvolo.Activate");
    return message;
}

SingleInstance::SingleInstance(const std::wstring& catalogueFolder) {
    const std::wstring name = NameFor(catalogueFolder);
    mutex_.reset(CreateMutexW(nullptr, TRUE, (name + L".lock").c_str()));
    first_ = mutex_ && GetLastError() != ERROR_ALREADY_EXISTS;
    mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared),
                                  (name + L".window").c_str()));
}

SingleInstance::~SingleInstance() {
    // The guards close both handles; the mutex is released first.
    if (mutex_ && first_) ReleaseMutex(mutex_.get());
}

void SingleInstance::Publish(HWND main) {
    if (!mapping_) return;
    const MappedView view(mapping_.get(), FILE_MAP_WRITE, sizeof(Shared));
    if (auto* shared = view.as<Shared>()) shared->mainWindow = reinterpret_cast<UINT_PTR>(main);
}

bool SingleInstance::ActivateFirst(DWORD waitMs) const {
    if (!mapping_) return false;
    const DWORD start = GetTickCount();
    // The first copy may still be starting: wait for its window to appear.
    for (;;) {
        HWND main = nullptr;
        {
            const MappedView view(mapping_.get(), FILE_MAP_READ, sizeof(Shared));
            if (const auto* shared = view.as<Shared>()) {
                main = reinterpret_cast<HWND>(static_cast<UINT_PTR>(shared->mainWindow));
            }
        }
        if (main && IsWindow(main)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(main, &pid);
            AllowSetForegroundWindow(pid);  // let it take the foreground from us
            return PostMessageW(main, ActivateMessage(), 0, 0) != FALSE;
        }
        if (GetTickCount() - start > waitMs) return false;
        Sleep(50);
    }
}

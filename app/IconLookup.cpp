#include "app/IconLookup.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <deque>
#include <mutex>
#include <new>

#include "plumbing/WorkerThread.h"

namespace {

enum Lane { kLocal = 0, kSlow = 1 };

struct Job {
    std::wstring key, path;
    int size = 0;
    unsigned batch = 0;
};

std::wstring Unquoted(const std::wstring& path) {
    const size_t first = path.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    const size_t last = path.find_last_not_of(L' ');
    std::wstring text = path.substr(first, last - first + 1);
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return text;
}

bool HasExtension(const std::wstring& path, std::initializer_list<const wchar_t*> extensions) {
    const size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring::npos || path[dot] != L'.') return false;
    for (const wchar_t* extension : extensions) {
        if (lstrcmpiW(path.c_str() + dot, extension) == 0) return true;
    }
    return false;
}

// An icon from a file of icons (an executable, a library, an .ico) at the
// size asked for; index as the shell gives it (negative: a resource id).
HICON Extract(const std::wstring& file, int index, int size) {
    HICON icon = nullptr;
    if (SHDefExtractIconW(file.c_str(), index, 0, &icon, nullptr, static_cast<UINT>(size)) == S_OK) return icon;
    if (icon) DestroyIcon(icon);
    return nullptr;
}

// The shell's icon for the item; with `attributes` only for a name of that
// kind, without looking at the disk.
HICON ShellIcon(const std::wstring& path, DWORD attributes, int size) {
    const UINT flags = attributes ? SHGFI_USEFILEATTRIBUTES : 0;
    SHFILEINFOW info{};
    if (SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags | SHGFI_ICONLOCATION) &&
        info.szDisplayName[0]) {
        if (HICON icon = Extract(info.szDisplayName, info.iIcon, size)) return icon;
    }
    info = SHFILEINFOW{};
    // The small icon; the image list scales it to its own size.
    if (SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags | SHGFI_ICON | SHGFI_SMALLICON)) {
        return info.hIcon;
    }
    return nullptr;
}

bool MeansGone(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
        return true;
    default:
        return false;
    }
}

}  // namespace

FoundIcon LookUpIcon(const std::wstring& path, int size) {
    FoundIcon found;
    std::wstring target = Unquoted(path);
    if (target.empty()) {
        found.gone = true;
        return found;
    }
    DWORD attributes = GetFileAttributesW(target.c_str());
    DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    // A bare program name starts the way the Run box finds it.
    if (attributes == INVALID_FILE_ATTRIBUTES && target.find_first_of(L"\\/:") == std::wstring::npos) {
        wchar_t where[MAX_PATH];
        const DWORD n = SearchPathW(nullptr, target.c_str(), L".exe", MAX_PATH, where, nullptr);
        if (n > 0 && n < MAX_PATH) {
            target = where;
            attributes = GetFileAttributesW(target.c_str());
            error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
        }
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (MeansGone(error)) {
            found.gone = true;
        } else {
            // Not reachable now (a share that does not answer, a drive not
            // ready): it may well be there, so it gets its kind's icon.
            const bool file = HasExtension(target, {L".exe", L".com", L".bat", L".cmd", L".lnk"});
            found.icon = ShellIcon(target, file ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY, size);
        }
        return found;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        HasExtension(target, {L".exe", L".dll", L".ico", L".cpl", L".scr", L".ocx"})) {
        // A program's own icon: its first, as Explorer shows it.
        found.icon = Extract(target, 0, size);
    }
    if (!found.icon) found.icon = ShellIcon(target, 0, size);
    return found;
}

struct IconLookup::Shared {
    std::mutex lock;
    LookUp lookUp;
    HWND notify = nullptr;
    UINT message = 0;
    bool closed = false;
    std::deque<Job> queues[2];
    bool running[2] = {false, false};
    std::vector<FoundIcon> done;
    bool posted = false;

    static void Work(std::shared_ptr<Shared> shared, int lane) {
        // The shell's icon handlers expect an apartment; the window's thread
        // comes first.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
        try {
            shared->Drain(lane);
        } catch (const std::exception&) {
            // Memory ran out: the rows still waiting stay blank until asked again.
            const std::lock_guard<std::mutex> hold(shared->lock);
            shared->running[lane] = false;
        }
        if (SUCCEEDED(com)) CoUninitialize();
    }

    void Drain(int lane) {
        for (;;) {
            Job job;
            {
                const std::lock_guard<std::mutex> hold(lock);
                if (closed || queues[lane].empty()) {
                    running[lane] = false;
                    return;
                }
                job = std::move(queues[lane].front());
                queues[lane].pop_front();
            }
            FoundIcon found = lookUp(job.path, job.size);
            found.key = std::move(job.key);
            found.batch = job.batch;
            HWND post = nullptr;
            {
                const std::lock_guard<std::mutex> hold(lock);
                if (closed) {
                    if (found.icon) DestroyIcon(found.icon);
                    running[lane] = false;
                    return;
                }
                done.push_back(std::move(found));
                if (!posted) {
                    posted = true;
                    post = notify;
                }
            }
            if (post) PostMessageW(post, message, 0, 0);
        }
    }
};

IconLookup::IconLookup(HWND notify, UINT message, LookUp lookUp) : shared_(std::make_shared<Shared>()) {
    shared_->lookUp = std::move(lookUp);
    shared_->notify = notify;
    shared_->message = message;
}

IconLookup::~IconLookup() {
    const std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->closed = true;
    shared_->notify = nullptr;
    for (auto& queue : shared_->queues) queue.clear();
    for (const FoundIcon& found : shared_->done) {
        if (found.icon) DestroyIcon(found.icon);
    }
    shared_->done.clear();
}

bool IconLookup::SlowLane(const std::wstring& path) {
    std::wstring_view p = path;
    // \\?\C:\... is a local path written long; \\?\UNC\... is a share.
    if (p.starts_with(L"\\\\?\\") || p.starts_with(L"\\\\.\\")) {
        p.remove_prefix(4);
        if (p.size() >= 4 && CompareStringOrdinal(p.data(), 4, L"UNC\\", 4, TRUE) == CSTR_EQUAL) return true;
    } else if (p.starts_with(L"\\\\")) {
        return true;
    }
    if (p.size() < 2 || p[1] != L':') return false;
    const wchar_t letter = p[0] >= L'a' && p[0] <= L'z' ? static_cast<wchar_t>(p[0] - L'a' + L'A') : p[0];
    if (letter < L'A' || letter > L'Z') return false;
    UINT& type = driveTypes_[static_cast<size_t>(letter - L'A')];
    if (type == 0) {
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        type = GetDriveTypeW(root);
        if (type == 0) type = DRIVE_NO_ROOT_DIR;
    }
    return type == DRIVE_REMOTE || type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
}

void IconLookup::Request(std::wstring key, std::wstring path, int size, unsigned batch) {
    const int lane = SlowLane(path) ? kSlow : kLocal;
    const std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->queues[lane].push_back(Job{std::move(key), std::move(path), size, batch});
    if (shared_->running[lane]) return;
    // A thread of the system's own, let go at once: nothing ever waits for
    // a look-up (see WorkerThread for why not a detached std::thread).
    try {
        WorkerThread worker([shared = shared_, lane] { Shared::Work(shared, lane); });
        if (!worker.Started()) return;  // none to be had now: the job waits for the next request's try
        worker.Release();
        shared_->running[lane] = true;
    } catch (const std::bad_alloc&) {
        // As without a thread.
    }
}

std::vector<FoundIcon> IconLookup::Take() {
    std::vector<FoundIcon> out;
    const std::lock_guard<std::mutex> hold(shared_->lock);
    out.swap(shared_->done);
    shared_->posted = false;
    return out;
}

#include "catalogue/TargetProbe.h"

#include <memory>
#include <optional>

#include "plumbing/WorkerThread.h"

namespace {

// `work` on a thread of its own, waited for at most `ms`. The thread keeps
// what it needs alive itself, so it may outlive the wait and the caller.
template <class R>
std::optional<R> Within(DWORD ms, std::function<R()> work) {
    const auto result = std::make_shared<std::optional<R>>();  // written before the thread ends
    WorkerThread thread([result, work = std::move(work)] { *result = work(); });
    if (!thread.Started()) return std::nullopt;  // no thread to ask on: not asked at all
    if (!thread.Wait(ms)) {
        thread.Release();
        return std::nullopt;
    }
    return *result;
}

bool IsLocal(UINT type) { return type == DRIVE_FIXED || type == DRIVE_RAMDISK; }

}  // namespace

std::wstring PathRoot(const std::wstring& path) {
    std::wstring p = path;
    for (wchar_t& c : p) c = c == L'/' ? L'\\' : c;
    if (p.rfind(L"\\\\?\\UNC\\", 0) == 0 || p.rfind(L"\\\\.\\UNC\\", 0) == 0) {
        p = L"\\\\" + p.substr(8);
    } else if (p.rfind(L"\\\\?\\", 0) == 0 || p.rfind(L"\\\\.\\", 0) == 0) {
        p = p.substr(4);
    }
    std::wstring root;
    if (p.size() >= 2 && p[1] == L':' && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'))) {
        root = p.substr(0, 2) + L"\\";
    } else if (p.rfind(L"\\\\", 0) == 0) {
        // \\server\share: both parts there and not empty.
        const size_t server = p.find(L'\\', 2);
        if (server == std::wstring::npos || server == 2 || server + 1 == p.size() || p[server + 1] == L'\\') return {};
        const size_t share = p.find(L'\\', server + 1);
        root = p.substr(0, share) + L"\\";
    } else {
        return {};
    }
    CharUpperBuffW(root.data(), static_cast<DWORD>(root.size()));
    return root;
}

TargetProbe::TargetProbe(DWORD waitMs, AttributesQuery attributes, DriveQuery drive)
    : waitMs_(waitMs), attributes_(std::move(attributes)), drive_(std::move(drive)) {
    if (!attributes_) {
        attributes_ = [](const std::wstring& path) {
            Answer answer;
            answer.attributes = GetFileAttributesW(path.c_str());
            answer.error = answer.attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
            return answer;
        };
    }
    if (!drive_) drive_ = [](const std::wstring& root) { return GetDriveTypeW(root.c_str()); };
}

TargetPresence TargetProbe::Judge(const Answer& answer, UINT type) const {
    if (answer.attributes != INVALID_FILE_ATTRIBUTES) return TargetPresence::Present;
    switch (answer.error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        break;
    default:
        return TargetPresence::Unknown;  // not ready, no access, no network: it may well be there
    }
    // "Not found" from a drive whose medium may be out, or a letter that is
    // not there now, says nothing about the target.
    if (type == DRIVE_REMOVABLE || type == DRIVE_CDROM || type == DRIVE_NO_ROOT_DIR) return TargetPresence::Unknown;
    return TargetPresence::Absent;
}

TargetPresence TargetProbe::Check(const std::wstring& path) {
    if (path.empty()) return TargetPresence::Absent;
    const std::wstring root = PathRoot(path);
    // A relative path is resolved against this process's folder, on this machine.
    if (root.empty()) return Judge(attributes_(path), DRIVE_FIXED);
    Root& known = roots_[root];
    if (known.silent) return TargetPresence::Unknown;
    const bool share = root[0] == L'\\';
    if (!known.asked) {
        // Asked at once: the system answers a drive letter's type from its
        // own record of its drives (a network drive's server is not asked);
        // a share is remote.
        known.type = share ? static_cast<UINT>(DRIVE_REMOTE) : drive_(root);
        known.asked = true;
    }
    if (IsLocal(known.type)) return Judge(attributes_(path), known.type);
    const std::optional<Answer> answer =
        Within<Answer>(waitMs_, [attributes = attributes_, path] { return attributes(path); });
    if (!answer) {
        known.silent = true;
        return TargetPresence::Unknown;
    }
    return Judge(*answer, known.type);
}

#pragma once
// Whether an alias's target is there, asked so that a network path or a
// drive that is not ready never holds the caller for long. A path on a
// local fixed disk is asked at once; any other (a share, a network,
// removable or optical drive) is asked on a worker thread and waited for at
// most `waitMs`: an answer that comes later counts as unknown, and the root
// it is on (a drive or \\server\share) is not asked again by the same probe.
// A worker still blocked is left to end alone; it holds nothing of the
// caller's.
//
// Only a root that answers can say a target is absent: a server that cannot
// be reached, a removable or optical drive (its medium may be out) or a
// drive letter that is not there give unknown, never absent.
#include <windows.h>

#include <functional>
#include <map>
#include <string>

enum class TargetPresence { Present, Absent, Unknown };

class TargetProbe {
public:
    // What is asked of the file system: a path's attributes, with the
    // error code when there are none; a root's drive type. Tests stand in
    // slow ones.
    struct Answer {
        DWORD attributes = INVALID_FILE_ATTRIBUTES;
        DWORD error = 0;
    };
    using AttributesQuery = std::function<Answer(const std::wstring& path)>;
    using DriveQuery = std::function<UINT(const std::wstring& root)>;

    static constexpr DWORD kWaitMs = 200;

    explicit TargetProbe(DWORD waitMs = kWaitMs, AttributesQuery attributes = {}, DriveQuery drive = {});

    // `path` as it expands (no %VARIABLES% left).
    TargetPresence Check(const std::wstring& path);

private:
    struct Root {
        bool asked = false;      // the drive type is known
        UINT type = DRIVE_UNKNOWN;
        bool silent = false;     // did not answer in time once
    };
    TargetPresence Judge(const Answer& answer, UINT type) const;

    DWORD waitMs_;
    AttributesQuery attributes_;
    DriveQuery drive_;
    std::map<std::wstring, Root> roots_;  // by root, upper case
};

// The drive or share a path is on: "C:\" or "\\server\share\" (upper case,
// also behind a "\\?\" prefix); "" for a relative path.
std::wstring PathRoot(const std::wstring& path);

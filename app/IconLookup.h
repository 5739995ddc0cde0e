#pragma once
// Finds the icons of the list's targets on threads of their own, so the
// window never waits for a disk or a network: a program's own icon, the
// folder icon, or word that the target is gone. Targets on network shares
// and on removable or optical drives have a lane of their own, so one that
// hangs there holds up only its like. A lane's thread ends when its queue is
// empty, and nothing ever waits for one: closing the list leaves a look-up
// stuck on the network to end, or not, on its own, and drops its result.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FoundIcon {
    std::wstring key;
    unsigned batch = 0;     // the request's batch, so results for an older size can be dropped
    HICON icon = nullptr;   // the receiver's to destroy; null when gone or when the shell had none
    bool gone = false;      // the target does not exist
};

// The look-up itself, on the calling thread: the icon of the program,
// folder or file at `path` at size x size (an executable's own first icon),
// or gone when nothing is there. A target that cannot be reached (a share
// that does not answer) gets the shell's icon for its kind.
FoundIcon LookUpIcon(const std::wstring& path, int size);

class IconLookup {
public:
    using LookUp = std::function<FoundIcon(const std::wstring& path, int size)>;

    // Whenever results are waiting, `message` is posted to `notify` once.
    // `lookUp` runs on the lanes' threads (replaceable where the real one
    // would need a network that hangs).
    IconLookup(HWND notify, UINT message, LookUp lookUp = LookUpIcon);
    ~IconLookup();
    IconLookup(const IconLookup&) = delete;
    IconLookup& operator=(const IconLookup&) = delete;

    // Looks up the icon of `path` (already expanded) at size x size pixels.
    void Request(std::wstring key, std::wstring path, int size, unsigned batch);
    // The results so far; their icons become the caller's.
    std::vector<FoundIcon> Take();

private:
    struct Shared;
    bool SlowLane(const std::wstring& path);

    std::shared_ptr<Shared> shared_;
    std::array<UINT, 26> driveTypes_{};  // GetDriveType per letter, asked once (0 = not yet)
};

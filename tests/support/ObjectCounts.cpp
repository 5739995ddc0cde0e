#include "tests/support/ObjectCounts.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdint>

namespace {

// Layout of one entry of the shared GDI handle table on 64-bit systems.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;  // 0 for a free entry
    std::uint8_t flags;
    std::uint64_t user;
};
static_assert(sizeof(GdiHandleEntry) == 24);

constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kPebGdiSharedHandleTable = 0xF8;  // offset in the 64-bit PEB

const GdiHandleEntry* GdiTable() {
    PROCESS_BASIC_INFORMATION info{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0 ||
        !info.PebBaseAddress)
        return nullptr;
    const auto* peb = reinterpret_cast<const unsigned char*>(info.PebBaseAddress);
    return *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiSharedHandleTable);
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(hwnd, CountChild, count);
    return TRUE;
}

}  // namespace

int CountGdiObjects() {
    const GdiHandleEntry* table = GdiTable();
    if (!table) return -1;
    const std::uint16_t pid = static_cast<std::uint16_t>(GetCurrentProcessId());
    int count = 0;
    for (size_t i = 0; i < kGdiTableEntries; ++i) {
        // Windows shares one table between processes: the owner's low word
        // tells them apart. Wine's table is per process and says 0 or us.
        const std::uint16_t owner = static_cast<std::uint16_t>(table[i].owner & 0xFFFF);
        if (table[i].type != 0 && (owner == pid || owner == 0)) ++count;
    }
    return count;
}

int CountProcessWindows() {
    int count = 0;
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    HWND child = nullptr;
    while ((child = FindWindowExW(HWND_MESSAGE, child, nullptr, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(child, &pid);
        if (pid == GetCurrentProcessId()) ++count;
    }
    return count;
}

int CountOtherProcessWindows() {
    int count = 0;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != GetCurrentProcessId()) ++*reinterpret_cast<int*>(param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

size_t WorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    if (!GetProcessMemoryInfo(process, &pmc, sizeof(pmc))) return 0;
    return pmc.WorkingSetSize;
}

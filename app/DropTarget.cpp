#include "app/DropTarget.h"

#include "catalogue/LinkReader.h"
#include "plumbing/SystemLibrary.h"

namespace {

bool IsShortcutFile(const std::wstring& path) {
    return path.size() > 4 && lstrcmpiW(path.c_str() + path.size() - 4, L".lnk") == 0;
}

}  // namespace

bool AcceptDrops(HWND window) {
    DragAcceptFiles(window, TRUE);
    // Windows 7 has it; looked up so that its absence is no start-up failure.
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const auto filter = SystemFunction<Filter>(L"user32.dll", "ChangeWindowMessageFilterEx");
    if (!filter) return false;
    constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, carries the drop's data
    constexpr DWORD kAllow = 1;               // MSGFLT_ALLOW
    bool all = true;
    for (const UINT msg : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
        all = filter(window, msg, kAllow, nullptr) && all;
    }
    return all;
}

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) continue;
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), length + 1));
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& file) {
    LinkReader reader;
    if (!reader.Load(file)) return std::nullopt;
    IShellLinkW* const link = reader.Link();
    ShellLinkInfo info;
    WIN32_FIND_DATAW found{};
    info.target = LinkText([&](wchar_t* b, int n) { return link->GetPath(b, n, &found, 0); });
    if (info.target.empty()) return std::nullopt;  // a virtual item has no path
    info.targetAttributes = found.dwFileAttributes;
    info.args = LinkText([&](wchar_t* b, int n) { return link->GetArguments(b, n); });
    info.work = LinkText([&](wchar_t* b, int n) { return link->GetWorkingDirectory(b, n); });
    info.description = LinkText([&](wchar_t* b, int n) { return link->GetDescription(b, n); });
    return info;
}

std::optional<DroppedEntry> EntryForDroppedPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;  // not a file-system item
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return DroppedEntry{true, FillForFolder(path)};
    if (!IsShortcutFile(path)) return DroppedEntry{false, FillForProgram(path)};
    const std::optional<ShellLinkInfo> link = ReadShellLink(path);
    if (!link) return std::nullopt;
    // The target decides; one that is missing now is taken as the shortcut remembers it.
    DWORD targetAttributes = GetFileAttributesW(link->target.c_str());
    if (targetAttributes == INVALID_FILE_ATTRIBUTES) targetAttributes = link->targetAttributes;
    const bool folder = (targetAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return DroppedEntry{folder, FillForShortcut(folder, link->target, link->args, link->work, link->description)};
}

#include "catalogue/AliasStore.h"

#include <optional>

#include "catalogue/AliasName.h"
#include "catalogue/LinkReader.h"
#include "catalogue/RunSearch.h"
#include "catalogue/TargetProbe.h"
#include "plumbing/HandleGuards.h"
#include "plumbing/SystemInfo.h"

namespace {

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Paths as they expand: the catalogue keeps %windir%\notepad.exe as typed,
// the shortcut holds C:\Windows\notepad.exe (with the typed form beside
// it, where the shell keeps that), and both are the same target.
Entry Expanded(const Entry& entry) {
    Entry e = entry;
    e.fields[kPath] = ExpandedPath(entry.Path());
    e.fields[kWorkDir] = ExpandedPath(entry.WorkDir());
    return e;
}

LinkFields Expanded(LinkFields link) {
    link.target = ExpandedPath(link.target);
    link.workDir = ExpandedPath(link.workDir);
    return link;
}

ShortcutResult Refused(const std::wstring& folder, const std::wstring& name, HRESULT hr, std::wstring reason) {
    ShortcutResult result;
    result.folder = folder;
    result.path = folder + name + L".lnk";
    result.hr = hr;
    result.reason = std::move(reason);
    return result;
}

}  // namespace

AliasStore::AliasStore(std::wstring windir, UserPathKey key)
    : windir_(std::move(windir)), key_(std::move(key)), systemFolder_(SystemAliasFolder(windir_)),
      userFolder_(UserAliasFolder()) {}

bool AliasStore::IsUserFolder(const std::wstring& folder) const {
    return !userFolder_.empty() && SamePathText(folder, userFolder_);
}

std::wstring AliasStore::Find(const std::wstring& name) const {
    if (CheckAliasName(name) != AliasNameProblem::None) return {};
    for (const std::wstring* folder : {&systemFolder_, &userFolder_}) {
        if (folder->empty()) continue;
        const std::wstring path = *folder + name + L".lnk";
        if (IsFile(path)) return path;
    }
    return {};
}

std::wstring AliasStore::FolderFor(const std::wstring& name) const {
    const std::wstring existing = Find(name);
    if (!existing.empty()) {
        const std::wstring folder = existing.substr(0, existing.size() - name.size() - 4);
        if (FolderWritable(folder)) return folder;
    }
    if (FolderWritable(systemFolder_)) return systemFolder_;
    return userFolder_;
}

ShortcutResult AliasStore::Unusable(const std::wstring& name) const {
    return Refused(systemFolder_, name, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
                   L"系统文件夹“" + systemFolder_ +
                       L"”不存在或不可写入，而环境变量 LOCALAPPDATA 没有设置（或不是可用的文件夹路径），"
                       L"也无法使用个人别名文件夹。");
}

ShortcutResult AliasStore::Prepare(const std::wstring& folder, const std::wstring& name, bool* addedToPath) const {
    ShortcutResult ready = Refused(folder, name, S_OK, L"");
    if (const AliasNameProblem problem = CheckAliasName(name); problem != AliasNameProblem::None) {
        return Refused(folder, name, HRESULT_FROM_WIN32(ERROR_INVALID_NAME), DescribeAliasNameProblem(problem));
    }
    if (!IsUserFolder(folder)) return ready;
    if (const FolderResult created = CreateFolderTree(folder); !created) {
        return Refused(folder, name, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), created.reason);
    }
    if (const FolderResult onPath = AddFolderToUserPath(key_, folder, addedToPath); !onPath) {
        return Refused(folder, name, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), onPath.reason);
    }
    return ready;
}

ShortcutResult AliasStore::Write(WshShellObject& shell, const std::wstring& name, const std::wstring& path,
                                 const std::wstring& args, const std::wstring& workDir, const std::wstring& comment) {
    const std::wstring folder = FolderFor(name);
    if (folder.empty()) return Unusable(name);
    bool added = false;
    if (ShortcutResult ready = Prepare(folder, name, &added); !ready) return ready;
    ShortcutResult written = WriteShortcutAt(shell, folder, name, path, args, workDir, comment);
    // A PATH entry put there for a shortcut that never came is taken back.
    if (!written && added) TidyUserPath();
    return written;
}

ShortcutResult AliasStore::Rewrite(WshShellObject& shell, const std::wstring& oldName, const std::wstring& name,
                                   const std::wstring& path, const std::wstring& args, const std::wstring& workDir,
                                   const std::wstring& comment) {
    // A rename stays in the old shortcut's folder while that is writable.
    const std::wstring oldShortcut = Find(oldName);
    std::wstring folder = oldShortcut.substr(0, oldShortcut.size() - (oldShortcut.empty() ? 0 : oldName.size() + 4));
    if (folder.empty() || !FolderWritable(folder)) folder = FolderWritable(systemFolder_) ? systemFolder_ : userFolder_;
    if (folder.empty()) return Unusable(name);
    // Whatever stops the write stops it before the old, working shortcut goes.
    if (ShortcutResult ready = Prepare(folder, name, nullptr); !ready) return ready;
    // Without a shell object the write below fails at once and says why.
    if (FAILED(shell.Ensure())) return WriteShortcutAt(shell, folder, name, path, args, workDir, comment);
    // Ignored: the old file may already be gone; the write reports what matters.
    (void)DeleteShortcutAt(systemFolder_, oldName);
    if (!userFolder_.empty()) (void)DeleteShortcutAt(userFolder_, oldName);
    ShortcutResult written = WriteShortcutAt(shell, folder, name, path, args, workDir, comment);
    TidyUserPath();
    return written;
}

ShortcutResult AliasStore::Delete(const std::wstring& name) {
    ShortcutResult fromSystem = DeleteShortcutAt(systemFolder_, name);
    if (userFolder_.empty()) return fromSystem;
    ShortcutResult fromUser = DeleteShortcutAt(userFolder_, name);
    if (fromUser) TidyUserPath();
    if (fromSystem) return fromSystem;
    if (fromUser) return fromUser;
    // Neither held it: the first folder's answer, as before there were two.
    return fromSystem.hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                   fromSystem.hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)
               ? fromUser
               : fromSystem;
}

bool AliasStore::HasShortcuts(const std::wstring& folder) const {
    WIN32_FIND_DATAW data;
    const FindHandle find(FindFirstFileW((folder + L"*.lnk").c_str(), &data));
    if (!find.valid()) return false;
    bool any = false;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) any = true;
    } while (!any && FindNextFileW(find.get(), &data));
    return any;
}

void AliasStore::TidyUserPath() const {
    if (userFolder_.empty() || HasShortcuts(userFolder_)) return;
    // Ignored: the aliases are gone either way, and an entry left on the
    // PATH names an empty folder, which harms nothing.
    (void)RemoveFolderFromUserPath(key_, userFolder_);
}

std::vector<AliasStore::Finding> AliasStore::Inspect(const std::vector<Entry>& entries,
                                                     const std::atomic<bool>* stop) const {
    std::vector<Finding> findings;
    findings.reserve(entries.size());
    LinkReader reader;
    const RunSearch search(windir_, key_);
    TargetProbe targets;
    // Where a missing shortcut would go: probed once, not once per entry.
    std::optional<std::wstring> newFolder;
    for (const Entry& entry : entries) {
        if (stop && stop->load()) break;
        Finding finding;
        const Entry expanded = Expanded(entry);
        finding.shortcut = Find(entry.Name());
        const bool gone = targets.Check(expanded.Path()) == TargetPresence::Absent;
        std::optional<LinkFields> link;
        // A target that is gone is the news; the shortcut and search do not change it.
        if (!gone && !finding.shortcut.empty()) link = reader.Read(finding.shortcut);
        if (link) {
            link = Expanded(std::move(*link));
            finding.opens = search.ResolveExpecting(entry.Name(), finding.shortcut);
        }
        finding.state = ClassifyAlias(expanded, link, finding.shortcut, finding.opens, gone);
        if (finding.shortcut.empty()) {
            if (!newFolder) newFolder = FolderWritable(systemFolder_) ? systemFolder_ : userFolder_;
            finding.shortcut = *newFolder + entry.Name() + L".lnk";
        }
        findings.push_back(std::move(finding));
    }
    return findings;
}

#include "app/AliasMessages.h"

#include "app/Prompt.h"
#include "catalogue/RunSearch.h"
#include "catalogue/TargetProbe.h"
#include "plumbing/SystemInfo.h"

bool ConfirmTarget(HWND owner, const std::wstring& path, bool folder, bool adding) {
    const std::wstring expanded = ExpandedPath(path);
    // A target that does not answer in time is no typing slip to ask about.
    if (TargetProbe().Check(expanded) != TargetPresence::Absent) return true;
    std::wstring named = (folder ? L"文件夹“" : L"程序“") + path + L"”";
    if (expanded != path) named += L"（即“" + expanded + L"”）";
    return Prompt(owner,
                  L"找不到" + named + L"，在“运行”里输入这个名称将无法打开它。\r\n\r\n" +
                      (adding ? L"仍然添加这个项目吗？" : L"仍然保存修改吗？"),
                  kAppTitle, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

bool ConfirmRunBoxName(HWND owner, const AliasStore& store, const std::wstring& name) {
    const std::wstring folder = store.FolderFor(name);
    const std::wstring opens = RunSearch(store.Windir(), store.PathKey()).Resolve(name);
    if (opens.empty() || (!folder.empty() && SameFile(opens, folder + name + L".lnk"))) return true;
    return Prompt(owner,
                  L"在“运行”里输入“" + name + L"”时，Windows 会先找到并打开：\r\n    " + opens +
                      L"\r\n而不是这个别名。\r\n\r\n仍然使用这个名称吗？",
                  kAppTitle, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

std::wstring RunBoxProblemAfterWrite(const AliasStore& store, const ShortcutResult& written,
                                     const std::wstring& name) {
    const std::wstring opens = RunSearch(store.Windir(), store.PathKey()).Resolve(name);
    if (!opens.empty() && SameFile(opens, written.path)) return {};
    const std::wstring saved = L"快捷方式已保存为“" + written.path + L"”，但在“运行”里输入“" + name + L"”时，";
    if (opens.empty()) return saved + L"Windows 的搜索找不到它，这个别名暂时无法使用。";
    return saved + L"Windows 会先找到并打开：\r\n    " + opens + L"\r\n而不是这个别名。";
}

std::wstring PerUserFolderSentence(const AliasStore& store, const ShortcutResult& written) {
    if (!store.IsUserFolder(written.folder)) return {};
    // A name's existing shortcut keeps its folder while that is writable:
    // with the system folder writable, that is why it went there.
    if (FolderWritable(store.SystemFolder())) {
        return L"这个名称原有的快捷方式就在您的个人别名文件夹“" + written.folder + L"”中，新的快捷方式也保存在那里。";
    }
    return L"由于无法写入系统文件夹，快捷方式保存在您的个人别名文件夹“" + written.folder + L"”中。";
}

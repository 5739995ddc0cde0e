#include "app/AliasMessages.h"

#include "app/Prompt.h"
#include "catalogue/RunSearch.h"

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
    return L"由于无法写入系统文件夹，快捷方式保存在您的个人别名文件夹“" + written.folder + L"”中。";
}

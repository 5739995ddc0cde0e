#include "app/AliasCheck.h"

#include <vector>

#include "app/CatalogueList.h"
#include "app/Prompt.h"
#include "catalogue/AliasStore.h"

namespace {

std::wstring Label(const Entry& entry, const AliasStore::Finding& finding) {
    switch (finding.state) {
    case AliasState::Missing: return entry.Name() + L"（快捷方式不见了）";
    case AliasState::Different: return entry.Name() + L"（快捷方式与列表中的内容不符）";
    case AliasState::Unreached: return entry.Name() + L"（快捷方式所在的文件夹不在 PATH 中）";
    case AliasState::Shadowed: return entry.Name() + L"（“运行”会打开“" + finding.opens + L"”）";
    case AliasState::TargetGone:
        return entry.Name() + L"（" + (entry.Kind() == kKindFolder ? L"文件夹“" : L"程序“") + entry.Path() +
               L"”已不存在）";
    case AliasState::Ok: break;
    }
    return entry.Name();
}

// The aliases whose target is gone, and what to do about them: no shortcut
// can open what is not there, so they are not offered for rewriting.
std::wstring GoneParagraph(const std::vector<std::wstring>& labels) {
    return L"以下 " + std::to_wstring(labels.size()) +
           L" 个别名指向的程序或文件夹已不存在，在“运行”里无法打开：\r\n" + ListAliasNames(labels) +
           L"\r\n请编辑这些项目，改正它们的路径，或者删除它们。";
}

}  // namespace

std::vector<Entry> ListedEntries(const ListView& list) {
    // Read straight into entries: a second copy of a large catalogue's rows
    // would stay in the working set after it is freed.
    const int count = list.Count();
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        Entry entry;
        for (int f = 0; f < kFieldCount; ++f) entry.fields[static_cast<size_t>(f)] = list.SubItem(row, f + 1);
        // A row without a name has no alias to check.
        if (!entry.Name().empty()) entries.push_back(std::move(entry));
    }
    return entries;
}

void CheckAliases(HWND owner, const ListView& list, const std::wstring& windir, AliasCheckTrigger trigger,
                  const UserPathKey& key) {
    const std::vector<Entry> entries = ListedEntries(list);
    // An empty catalogue has nothing to check: start-up need not pay for the
    // search set-up.
    if (entries.empty() && trigger == AliasCheckTrigger::StartUp) return;
    AliasStore store(windir, key);
    ReportAliasFindings(owner, entries, store.Inspect(entries), store, trigger);
}

void ReportAliasFindings(HWND owner, const std::vector<Entry>& entries,
                         const std::vector<AliasStore::Finding>& findings, AliasStore& store,
                         AliasCheckTrigger trigger) {
    std::vector<size_t> broken, shadowed;
    std::vector<std::wstring> brokenLabels, shadowedLabels, goneLabels;
    for (size_t i = 0; i < findings.size(); ++i) {
        if (Repairable(findings[i].state)) {
            broken.push_back(i);
            brokenLabels.push_back(Label(entries[i], findings[i]));
        } else if (findings[i].state == AliasState::Shadowed) {
            shadowed.push_back(i);
            shadowedLabels.push_back(Label(entries[i], findings[i]));
        } else if (findings[i].state == AliasState::TargetGone) {
            goneLabels.push_back(Label(entries[i], findings[i]));
        }
    }
    const std::wstring total = std::to_wstring(entries.size());
    const std::wstring gone = goneLabels.empty() ? std::wstring() : GoneParagraph(goneLabels);
    if (broken.empty()) {
        // At start-up a shadowed name is no news: the user kept it after
        // the warning when the alias was added. A target that is gone is.
        if (trigger == AliasCheckTrigger::StartUp) {
            if (!gone.empty()) Prompt(owner, gone, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        if (entries.empty()) {
            Prompt(owner, L"列表中还没有别名。", kAppTitle, MB_OK | MB_ICONINFORMATION);
        } else if (shadowed.empty() && gone.empty()) {
            Prompt(owner, L"全部 " + total + L" 个别名都能在“运行”里正常使用。", kAppTitle,
                   MB_OK | MB_ICONINFORMATION);
        } else {
            std::wstring text = gone;
            if (!shadowed.empty()) {
                if (!text.empty()) text += L"\r\n\r\n";
                text += L"以下别名的名称已被其它程序或文件夹占用，在“运行”里输入它们打开的不是列表中的项目：\r\n" +
                        ListAliasNames(shadowedLabels) + L"\r\n可以编辑这些项目，换一个名称。";
            }
            Prompt(owner, text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        }
        return;
    }
    const int answer = Prompt(owner,
                              (gone.empty() ? std::wstring() : gone + L"\r\n\r\n") + L"以下 " +
                                  std::to_wstring(broken.size()) + L" 个别名在“运行”里无法正常使用：\r\n" +
                                  ListAliasNames(brokenLabels) + L"\r\n要重新写入它们的快捷方式吗？",
                              kAppTitle, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    WshShellObject shell;
    std::vector<std::wstring> problems;
    std::vector<Entry> written;
    for (const size_t i : broken) {
        const Entry& e = entries[i];
        const ShortcutResult r = store.Write(shell, e.Name(), e.Path(), e.Args(), e.WorkDir(), e.Comment());
        if (r) {
            written.push_back(e);
        } else {
            problems.push_back(e.Name() + L"（" + r.reason + L"）");
        }
    }
    for (const size_t i : shadowed) written.push_back(entries[i]);
    const std::vector<AliasStore::Finding> after = store.Inspect(written);
    for (size_t i = 0; i < after.size(); ++i) {
        if (after[i].state != AliasState::Ok) problems.push_back(Label(written[i], after[i]));
    }
    if (!problems.empty()) {
        Prompt(owner, L"以下别名仍然无法正常使用：\r\n" + ListAliasNames(problems), kAppTitle,
               MB_OK | MB_ICONEXCLAMATION);
    } else if (trigger == AliasCheckTrigger::Command) {
        // "All" only when no target is gone: those were named in the question.
        Prompt(owner,
               L"已重新写入 " + std::to_wstring(broken.size()) + L" 个别名，" +
                   (gone.empty() ? L"全部 " + total + L" 个别名都能在“运行”里正常使用。"
                                 : std::wstring(L"它们都能在“运行”里正常使用。")),
               kAppTitle, MB_OK | MB_ICONINFORMATION);
    }
}

// The entry dialogs work against any window that offers the host interface.
#include "app/EntryHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "app/EntryDialog.h"
#include "catalogue/CatalogueFile.h"
#include "tests/app/AppFixture.h"

namespace {

// A catalogue kept in a map, with a record of what the dialogs asked for.
class RecordingHost : public EntryHost {
public:
    std::map<LPARAM, std::pair<std::wstring, EntryFields>> entries;
    LPARAM selected = 0, nextId = 100;
    std::wstring windir;
    bool fromTray = false;
    std::vector<std::pair<LPARAM, bool>> shown;
    std::vector<std::pair<EntryKind, LPARAM>> closed;
    int commits = 0;

    LPARAM SelectedEntry() const override { return selected; }
    bool HasEntry(LPARAM e) const override { return entries.count(e) != 0; }
    bool ReadEntry(LPARAM e, EntryFields& f) const override {
        const auto it = entries.find(e);
        if (it == entries.end()) return false;
        f = it->second.second;
        return true;
    }
    bool NameTaken(const std::wstring& name, LPARAM except) const override {
        for (const auto& [id, entry] : entries) {
            if (id != except && entry.second.name == name) return true;
        }
        return false;
    }
    LPARAM CommitEntry(LPARAM e, const std::wstring& kind, const EntryFields& f) override {
        ++commits;
        if (!e) {
            e = ++nextId;
            entries[e].first = kind;
        }
        entries[e].second = f;
        return e;
    }
    void ShowEntry(LPARAM e, bool focus) override { shown.push_back({e, focus}); }
    void EntryDialogClosed(EntryKind kind, LPARAM e) override { closed.push_back({kind, e}); }
    void FilesDropped(HDROP drop) override { DragFinish(drop); }
    const std::wstring& WindowsFolder() const override { return windir; }
    bool CommandFromTray() const override { return fromTray; }
    HICON Icon() const override { return nullptr; }
    HICON SmallIcon() const override { return nullptr; }
};

void Fill(EntryDialog& d, const EntryFields& f) {
    d.SetText(EntryDialog::IdTxtName, f.name);
    d.SetText(EntryDialog::IdTxtPath, f.path);
    d.SetText(EntryDialog::IdTxtWork, f.work);
    d.SetText(EntryDialog::IdTxtArg, f.args);
    d.SetText(EntryDialog::IdTxtCom, f.comment);
}

}  // namespace

TEST(EntryHost, AddCommitsANewEntryShowsItAndReportsTheClose) {
    testsupport::TempDir windows;
    std::filesystem::create_directory(windows / L"system");
    for (const bool fromTray : {false, true}) {
        RecordingHost host;
        host.windir = windows.path().wstring();
        host.fromTray = fromTray;
        EntryDialog dialog(host, EntryKind::AddD);
        PromptRecorder prompts;
        dialog.Show();
        const std::wstring name = fromTray ? L"tray" : L"button";
        const std::wstring data = windows.path().wstring();  // a folder that is there
        Fill(dialog, {name, data, data, L"-a", L"说明"});
        dialog.CmdOK_Click();
        ASSERT_EQ(host.entries.size(), 1u);
        const auto& [kind, fields] = host.entries.begin()->second;
        EXPECT_EQ(kind, kKindFolder);
        EXPECT_EQ(fields.name, name);
        EXPECT_EQ(fields.path, data);
        EXPECT_EQ(fields.args, L"-a");
        EXPECT_EQ(fields.comment, L"说明");
        EXPECT_TRUE(std::filesystem::exists(windows / L"system" / (name + L".lnk")));
        const LPARAM id = host.entries.begin()->first;
        // The list gets the focus only when the command came from the main window.
        EXPECT_EQ(host.shown, (std::vector<std::pair<LPARAM, bool>>{{id, !fromTray}}));
        EXPECT_EQ(host.closed, (std::vector<std::pair<EntryKind, LPARAM>>{{EntryKind::AddD, id}}));
        EXPECT_FALSE(dialog.IsLoaded());
    }
}

TEST(EntryHost, EditReadsItsEntryRefusesATakenNameAndCancelWritesNothing) {
    testsupport::TempDir windows;
    std::filesystem::create_directory(windows / L"system");
    RecordingHost host;
    host.windir = windows.path().wstring();
    host.entries[1] = {kKindProgram, {L"a", L"C:\\a.exe", L"C:\\", L"", L""}};
    host.entries[2] = {kKindProgram, {L"b", L"C:\\b.exe", L"C:\\", L"-x", L"bee"}};
    host.selected = 2;
    EntryDialog dialog(host, EntryKind::EditP);
    PromptRecorder prompts;
    dialog.Show();
    EXPECT_EQ(dialog.Text(EntryDialog::IdTxtName), L"b");
    EXPECT_EQ(dialog.Text(EntryDialog::IdTxtArg), L"-x");
    EXPECT_EQ(dialog.Txttmp(), L"b");

    dialog.SetText(EntryDialog::IdTxtName, L"a");
    dialog.CmdOK_Click();
    EXPECT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(host.commits, 0);
    EXPECT_TRUE(dialog.IsLoaded());

    dialog.Command2_Click();
    EXPECT_EQ(host.commits, 0);
    EXPECT_EQ(host.entries[2].second.name, L"b");
    // The close names the entry the dialog was bound to, so the list can return to it.
    EXPECT_EQ(host.closed, (std::vector<std::pair<EntryKind, LPARAM>>{{EntryKind::EditP, 2}}));

    dialog.Show();
    dialog.SetText(EntryDialog::IdTxtName, L"b2");
    host.selected = 1;  // another row selected meanwhile: the edit stays with its own
    dialog.CmdOK_Click();
    EXPECT_EQ(host.entries[2].second.name, L"b2");
    EXPECT_EQ(host.entries[1].second.name, L"a");
    EXPECT_EQ(host.shown.back(), (std::pair<LPARAM, bool>{2, true}));
}

// Files, folders and shortcuts dropped on the main window or an add dialog.
#include <objbase.h>
#include <shlobj.h>

#include "plumbing/ComRef.h"
#include "tests/app/AppFixture.h"
#include "tests/app/InputSupport.h"

using testsupport::WriteBytes;

namespace {

// A shortcut made through the shell link interface, as Explorer makes them.
bool MakeShortcut(const std::filesystem::path& file, const std::wstring& target, const std::wstring& args,
                  const std::wstring& work, const std::wstring& description) {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    link->SetPath(target.c_str());
    link->SetArguments(args.c_str());
    link->SetWorkingDirectory(work.c_str());
    link->SetDescription(description.c_str());
    ComRef<IPersistFile> persist;
    return SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.put_void())) &&
           SUCCEEDED(persist->Save(file.c_str(), TRUE));
}

struct Expected {
    std::wstring path, work, name, args, comment;
};

void ExpectFields(EntryDialog& d, const Expected& e, const std::wstring& what) {
    EXPECT_EQ(d.Text(EntryDialog::IdTxtPath), e.path) << what;
    EXPECT_EQ(d.Text(EntryDialog::IdTxtWork), e.work) << what;
    EXPECT_EQ(d.Text(EntryDialog::IdTxtName), e.name) << what;
    EXPECT_EQ(d.Text(EntryDialog::IdTxtArg), e.args) << what;
    EXPECT_EQ(d.Text(EntryDialog::IdTxtCom), e.comment) << what;
}

class DropTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::filesystem::create_directory(dir_ / L"Tools");
        std::filesystem::create_directory(dir_ / L"Music");
        WriteBytes(dir_ / L"Tools" / L"run.exe", "MZ");
        WriteBytes(dir_ / L"Tools" / L"edit.exe", "MZ");
    }
    std::wstring P(const std::wstring& relative) const { return (dir_ / relative).wstring(); }
    bool Closed() { return !main_->FrmAddP().IsLoaded() && !main_->FrmAddD().IsLoaded(); }
};

}  // namespace

TEST_F(DropTest, ProgramFolderAndShortcutsOpenTheirAddDialogFilledAsBrowseFillsIt) {
    ASSERT_TRUE(MakeShortcut(dir_ / L"运行.lnk", P(L"Tools\\run.exe"), L"-v --fast", L"D:\\work", L"运行工具"));
    ASSERT_TRUE(MakeShortcut(dir_ / L"music.LNK", P(L"Music"), L"", L"", L""));
    const struct {
        std::wstring dropped;
        bool folder;
        Expected fields;
    } cases[] = {
        {P(L"Tools\\run.exe"), false, {P(L"Tools\\run.exe"), P(L"Tools\\"), L"run", L"", L"run"}},
        {P(L"Music"), true, {P(L"Music"), P(L"Music"), L"Music", L"", L"Music"}},
        {P(L"运行.lnk"), false, {P(L"Tools\\run.exe"), L"D:\\work", L"run", L"-v --fast", L"运行工具"}},
        {P(L"music.LNK"), true, {P(L"Music"), P(L"Music"), L"Music", L"", L"Music"}},
    };
    for (const auto& c : cases) {
        main_->TxtIsMenuClick = L"1";
        DropOn(*main_, main_->hWnd(), {c.dropped});
        EntryDialog& d = c.folder ? main_->FrmAddD() : main_->FrmAddP();
        EntryDialog& other = c.folder ? main_->FrmAddP() : main_->FrmAddD();
        ASSERT_TRUE(d.IsLoaded()) << c.dropped;
        EXPECT_FALSE(other.IsLoaded()) << c.dropped;
        ExpectFields(d, c.fields, c.dropped);
        EXPECT_EQ(GetFocus(), d.Control(EntryDialog::IdTxtName)) << "typing replaces the name: " << c.dropped;
        EXPECT_EQ(main_->TxtIsMenuClick, L"0") << "a drop on the window is the window's command";
        d.Command2_Click();
        PumpLoop(*main_);
        EXPECT_TRUE(Closed());
    }
}

TEST_F(DropTest, SeveralItemsOpenOneAfterAnotherAndACancelKeepsTheRest) {
    PromptRecorder prompts;
    DropOn(*main_, main_->hWnd(),
           {P(L"Tools\\run.exe"), L"https://example.com/app.exe", P(L"Music"), P(L"Tools\\edit.exe")});
    ASSERT_TRUE(main_->FrmAddP().IsLoaded());
    EXPECT_EQ(main_->FrmAddP().Text(EntryDialog::IdTxtName), L"run");
    EXPECT_FALSE(main_->FrmAddD().IsLoaded());
    EXPECT_EQ(main_->Drops().Size(), 2u);  // the URL is skipped

    main_->FrmAddP().Command2_Click();  // cancel: the rest still comes
    PumpLoop(*main_);
    ASSERT_TRUE(main_->FrmAddD().IsLoaded());
    EXPECT_FALSE(main_->FrmAddP().IsLoaded());
    EXPECT_EQ(main_->FrmAddD().Text(EntryDialog::IdTxtName), L"Music");

    main_->FrmAddD().CmdOK_Click();  // confirmed: written like a typed entry
    EXPECT_TRUE(std::filesystem::exists(Lnk(L"Music")));
    ASSERT_EQ(main_->List1.Count(), 1);
    EXPECT_EQ(main_->List1.SubItem(0, 1), L"文件夹");
    PumpLoop(*main_);
    ASSERT_TRUE(main_->FrmAddP().IsLoaded());
    EXPECT_EQ(main_->FrmAddP().Text(EntryDialog::IdTxtName), L"edit");
    main_->FrmAddP().CmdOK_Click();
    PumpLoop(*main_);
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(main_->Drops().Empty());
    ASSERT_EQ(main_->List1.Count(), 2);
    EXPECT_EQ(main_->List1.SubItem(1, 2), L"edit");
    EXPECT_TRUE(std::filesystem::exists(Catalogue()));
    ASSERT_EQ(prompts.calls.size(), 2u);  // the two success messages, nothing about the URL
}

TEST_F(DropTest, WhatIsNeitherFileNorFolderIsSkippedWithoutAWord) {
    PromptRecorder prompts;
    DropOn(*main_, main_->hWnd(),
           {L"https://example.com/tool.exe", L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", P(L"missing.exe")});
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(main_->Drops().Empty());
    EXPECT_TRUE(prompts.calls.empty());
    // A shortcut that cannot be read points nowhere.
    WriteBytes(dir_ / L"broken.lnk", "not a shortcut");
    DropOn(*main_, main_->hWnd(), {P(L"broken.lnk")});
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(prompts.calls.empty());
}

TEST_F(DropTest, DropOnAnAddDialogFillsItWhenEmptyAndWaitsWhileItHoldsTypedText) {
    main_->CmdAddP_Click();
    EntryDialog& d = main_->FrmAddP();
    DropOn(*main_, d.hWnd(), {P(L"Tools\\run.exe")});
    EXPECT_EQ(d.Text(EntryDialog::IdTxtPath), P(L"Tools\\run.exe"));
    EXPECT_TRUE(main_->Drops().Empty());

    d.SetText(EntryDialog::IdTxtName, L"mine");
    DropOn(*main_, d.hWnd(), {P(L"Tools\\edit.exe")});
    EXPECT_EQ(d.Text(EntryDialog::IdTxtName), L"mine") << "what was typed is kept";
    EXPECT_EQ(main_->Drops().Size(), 1u);
    // A folder needs the other dialog, which is free.
    DropOn(*main_, d.hWnd(), {P(L"Music")});
    EXPECT_FALSE(main_->FrmAddD().IsLoaded()) << "the queued program comes first";
    d.Command2_Click();
    PumpLoop(*main_);
    ASSERT_TRUE(d.IsLoaded());
    EXPECT_EQ(d.Text(EntryDialog::IdTxtName), L"edit");
    EXPECT_FALSE(main_->FrmAddD().IsLoaded());
    d.Command2_Click();
    PumpLoop(*main_);
    ASSERT_TRUE(main_->FrmAddD().IsLoaded());
    EXPECT_EQ(main_->FrmAddD().Text(EntryDialog::IdTxtName), L"Music");
}

TEST_F(DropTest, DroppedNamesGoThroughTheChecksOfTypedOnes) {
    AddRow({L"应用程序", L"run", L"C:\\other\\run.exe", L"C:\\other\\", L"", L""});
    PromptRecorder prompts;
    DropOn(*main_, main_->hWnd(), {P(L"Tools\\run.exe")});
    main_->FrmAddP().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].text, L"该名称已在列表中存在，请使用其它名称！");
    EXPECT_TRUE(main_->FrmAddP().IsLoaded());
    main_->FrmAddP().Command2_Click();
    PumpLoop(*main_);

    // A drive root has no name of its own.
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring root = std::wstring(windows).substr(0, 3);
    DropOn(*main_, main_->hWnd(), {root});
    ASSERT_TRUE(main_->FrmAddD().IsLoaded());
    EXPECT_EQ(main_->FrmAddD().Text(EntryDialog::IdTxtName), L"");
    main_->FrmAddD().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 2u);
    EXPECT_EQ(prompts.calls[1].text, L"信息填写不完整，请补充！");
    EXPECT_EQ(main_->List1.Count(), 1);
}

TEST_F(DropTest, MainWindowAndAddDialogsTakeDropsEditDialogsDoNot) {
    AddRow({L"应用程序", L"np", L"C:\\np.exe", L"C:\\", L"", L""});
    main_->List1.Select(0);
    main_->CmdAddP_Click();
    main_->CmdAddD_Click();
    main_->CmdEdit_Click();
    const auto accepts = [](HWND h) { return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; };
    EXPECT_TRUE(accepts(main_->hWnd()));
    EXPECT_TRUE(accepts(main_->FrmAddP().hWnd()));
    EXPECT_TRUE(accepts(main_->FrmAddD().hWnd()));
    EXPECT_FALSE(accepts(main_->FrmEditP().hWnd()));
}

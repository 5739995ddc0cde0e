#include "app/EntryDialog.h"

#include <objbase.h>
#include <shlobj.h>

#include "plumbing/ComRef.h"
#include "tests/app/AppFixture.h"
#include "tests/support/DialogRobot.h"

using testsupport::ReadBytes;

namespace {

struct LinkProps {
    std::wstring target, args, workDir, description;
};

LinkProps ReadLink(const std::filesystem::path& file) {
    LinkProps props;
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return props;
    ComRef<IPersistFile> persist;
    link->QueryInterface(IID_IPersistFile, persist.put_void());
    if (!persist || FAILED(persist->Load(file.c_str(), STGM_READ))) return props;
    wchar_t buf[MAX_PATH * 2] = {};
    link->GetPath(buf, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
    props.target = buf;
    link->GetArguments(buf, MAX_PATH * 2);
    props.args = buf;
    link->GetWorkingDirectory(buf, MAX_PATH * 2);
    props.workDir = buf;
    link->GetDescription(buf, MAX_PATH * 2);
    props.description = buf;
    return props;
}

}  // namespace

TEST_F(AppTest, DialogsShowTheirOwnTextsAndStartEmpty) {
    struct Case {
        EntryDialog& (frmMain::*get)();
        const wchar_t* caption;
        const wchar_t* pathLabel;
        bool nameHint, workHint;
        const wchar_t* help;
    };
    const wchar_t* withThat = L"在开始菜单的“运行”里面，直接输入该名称就可以运行相对应的程序。";
    const wchar_t* plain = L"在开始菜单的“运行”里面，直接输入名称就可以运行相对应的程序。";
    AddRow({L"应用程序", L"np", L"C:\\np.exe", L"C:\\", L"", L""});
    main_->List1.Select(0);
    const Case cases[] = {
        {&frmMain::FrmAddP, L"添加应用程序", L"程序路径：", true, false, withThat},
        {&frmMain::FrmEditP, L"编辑应用程序", L"程序路径：", false, false, plain},
        {&frmMain::FrmAddD, L"添加文件夹", L"文件夹路径：", true, true, withThat},
        {&frmMain::FrmEditD, L"编辑文件夹", L"文件夹路径：", false, true, plain},
    };
    for (const Case& c : cases) {
        EntryDialog& d = ((*main_).*c.get)();
        d.Show();
        ASSERT_TRUE(d.IsLoaded());
        EXPECT_EQ(WindowText(d.hWnd()), c.caption);
        EXPECT_EQ(GetWindow(d.hWnd(), GW_OWNER), nullptr);  // modeless, no owner
        EXPECT_EQ(d.Text(EntryDialog::IdLabel2), c.pathLabel);
        EXPECT_EQ(d.Text(EntryDialog::IdLabel3), L"？");
        EXPECT_EQ(d.Control(EntryDialog::IdLabel9) != nullptr, c.nameHint) << c.caption;
        EXPECT_EQ(d.Control(EntryDialog::IdLabel8) != nullptr, c.workHint) << c.caption;
        EXPECT_EQ(d.Text(EntryDialog::IdLabel5), L"（该项一般不需要填写）");
        EXPECT_EQ(d.Text(EntryDialog::IdCmdOK), L"确定");
        EXPECT_EQ(d.Text(EntryDialog::IdCommand2), L"取消");
        EXPECT_EQ(d.Text(EntryDialog::IdCommand1), L"浏览");
        EXPECT_TRUE(GetWindowLongW(d.Control(EntryDialog::IdCmdOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetFocus(), d.Control(EntryDialog::IdTxtPath));
        // Program dialogs have a wide working-folder box, folder dialogs a narrow one.
        RECT work, path;
        GetWindowRect(d.Control(EntryDialog::IdTxtWork), &work);
        GetWindowRect(d.Control(EntryDialog::IdTxtPath), &path);
        EXPECT_EQ(work.right - work.left == path.right - path.left, !c.workHint) << c.caption;

        PromptRecorder prompts;
        d.Label3_Click();
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_EQ(prompts.calls[0].text, c.help);
        EXPECT_EQ(prompts.calls[0].title, L"名称的作用");
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        d.Command2_Click();
        EXPECT_FALSE(d.IsLoaded());
    }
    // An edit dialog starts from the selected row.
    main_->FrmEditP().Show();
    EXPECT_EQ(main_->FrmEditP().Text(EntryDialog::IdTxtName), L"np");
    EXPECT_EQ(main_->FrmEditP().Txttmp(), L"np");
}

TEST_F(AppTest, ValidationRefusesIncompleteUnsafeAndDuplicateInput) {
    AddRow({L"应用程序", L"np", L"C:\\np.exe", L"C:\\", L"", L""});
    main_->CmdAddP_Click();
    EntryDialog& d = main_->FrmAddP();
    struct Case {
        std::wstring path, name, work, args;
        std::wstring message;
        UINT icon;
    };
    const std::wstring incomplete = L"信息填写不完整，请补充！";
    const std::wstring duplicate = L"该名称已在列表中存在，请使用其它名称！";
    const Case cases[] = {
        {L"", L"x", L"C:\\", L"", incomplete, MB_ICONINFORMATION},
        {L"C:\\x.exe", L"", L"C:\\", L"", incomplete, MB_ICONINFORMATION},
        {L"C:\\x.exe", L"x", L"", L"", incomplete, MB_ICONINFORMATION},
        {L"C:\\x.exe", L"np", L"C:\\", L"", duplicate, MB_ICONEXCLAMATION},
        {L"C:\\x.exe", L"..\\evil", L"C:\\", L"", L"", MB_ICONINFORMATION},
        {L"C:\\x.exe", L"CON", L"C:\\", L"", L"", MB_ICONINFORMATION},
        {L"C:\\x.exe", L"a:b", L"C:\\", L"", L"", MB_ICONINFORMATION},
        {L"C:\\x.exe", L"x", L"C:\\", L"-a\r\n-b", L"", MB_ICONINFORMATION},
    };
    for (const Case& c : cases) {
        Fill(d, c.path, c.name, c.work, c.args);
        PromptRecorder prompts;
        d.CmdOK_Click();
        ASSERT_EQ(prompts.calls.size(), 1u) << testing::PrintToString(c.name);
        if (!c.message.empty()) {
            EXPECT_EQ(prompts.calls[0].text, c.message);
        }
        EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
        EXPECT_EQ(prompts.calls[0].style, MB_OK | c.icon) << testing::PrintToString(c.name);
        EXPECT_TRUE(d.IsLoaded());
        EXPECT_EQ(main_->List1.Count(), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(Catalogue()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(windows_ / L"system"),
                            std::filesystem::directory_iterator()),
              0);
}

TEST_F(AppTest, AddWritesShortcutRowAndFileThenReportsSuccess) {
    main_->CmdAddP_Click();
    EXPECT_EQ(main_->TxtIsMenuClick, L"0");
    EntryDialog& d = main_->FrmAddP();
    // A program that is there: one that is not is asked about first.
    const std::wstring folder = (windows_ / L"Program Files\\Tool\\").wstring();
    std::filesystem::create_directories(folder);
    testsupport::WriteBytes(folder + L"run.exe", "MZ");
    Fill(d, folder + L"run.exe", L"run", folder, L"", L"运行工具");
    PromptRecorder prompts;
    d.CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].text, L"添加成功，以后您只需在 开始--运行 里面直接输入“run”便可运行该程序！");
    EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_FALSE(d.IsLoaded());
    ASSERT_EQ(main_->List1.Count(), 1);
    EXPECT_EQ(main_->List1.SubItem(0, 1), L"应用程序");
    EXPECT_EQ(main_->List1.SubItem(0, 6), L"运行工具");
    EXPECT_TRUE(main_->List1.IsSelected(0));
    EXPECT_EQ(GetFocus(), main_->List1.hWnd());
    EXPECT_EQ(ReadBytes(Catalogue()), AnsiLines({L"应用程序", L"run", folder + L"run.exe", folder, L"", L"运行工具"}));
    const LinkProps link = ReadLink(Lnk(L"run"));
    EXPECT_EQ(link.target, folder + L"run.exe");
    EXPECT_EQ(link.workDir, folder);
    EXPECT_EQ(link.args, L"");
    EXPECT_EQ(link.description, L"运行工具");

    // A folder: its own success text, and the new row is the last one.
    main_->CmdAddD_Click();
    std::filesystem::create_directory(windows_ / L"音乐");
    Fill(main_->FrmAddD(), (windows_ / L"音乐").wstring(), L"music", (windows_ / L"音乐").wstring());
    main_->FrmAddD().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 2u);
    EXPECT_EQ(prompts.calls[1].text, L"添加成功，以后您只需在 开始--运行 里面直接输入“music”便可运行该文件夹！");
    EXPECT_EQ(main_->List1.SubItem(1, 1), L"文件夹");
    EXPECT_TRUE(main_->List1.IsSelected(1));
}

TEST_F(AppTest, AddFromTheTrayLeavesTheHiddenMainWindowAlone) {
    ShowWindow(main_->hWnd(), SW_HIDE);
    main_->mnuaddProgram_Click();
    EXPECT_EQ(main_->TxtIsMenuClick, L"1");
    EntryDialog& d = main_->FrmAddP();
    ASSERT_TRUE(d.IsLoaded());
    EXPECT_FALSE(IsWindowVisible(main_->hWnd()));
    Fill(d, L"C:\\windows\\notepad.exe", L"x", L"C:\\");
    PromptRecorder prompts;
    d.CmdOK_Click();
    EXPECT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(main_->List1.Count(), 1);
    EXPECT_FALSE(IsWindowVisible(main_->hWnd()));
    EXPECT_NE(GetFocus(), main_->List1.hWnd());
}

TEST_F(AppTest, AddThatCannotWriteTheShortcutAddsNothingAndSaysWhere) {
    // Neither the system folder nor a per-user one.
    std::filesystem::remove(windows_ / L"system");
    SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    main_->CmdAddP_Click();
    EntryDialog& d = main_->FrmAddP();
    Fill(d, L"C:\\windows\\notepad.exe", L"x", L"C:\\");
    PromptRecorder prompts;
    d.CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_NE(prompts.calls[0].text.find(windows_.path().wstring() + L"\\system"), std::wstring::npos);
    EXPECT_EQ(main_->List1.Count(), 0);
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(d.Text(EntryDialog::IdTxtName), L"x");
    EXPECT_FALSE(std::filesystem::exists(Catalogue()));
}

TEST_F(AppTest, SecondShowBringsTheDialogForwardWithWhatWasTyped) {
    main_->CmdAddP_Click();
    main_->FrmAddP().SetText(EntryDialog::IdTxtName, L"typed");
    const HWND first = main_->FrmAddP().hWnd();
    main_->CmdAddP_Click();
    EXPECT_EQ(main_->FrmAddP().hWnd(), first);
    EXPECT_EQ(main_->FrmAddP().Text(EntryDialog::IdTxtName), L"typed");
    // Closing the window writes nothing; the next show starts empty.
    SendMessageW(first, WM_CLOSE, 0, 0);
    EXPECT_FALSE(main_->FrmAddP().IsLoaded());
    main_->CmdAddP_Click();
    EXPECT_EQ(main_->FrmAddP().Text(EntryDialog::IdTxtName), L"");
}

TEST_F(AppTest, EditRewritesShortcutAndRowItWasOpenedFor) {
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
    AddRow({L"应用程序", L"b", L"C:\\b.exe", L"C:\\", L"", L""});
    AddRow({L"文件夹", L"c", L"C:\\c", L"C:\\c", L"", L""});
    testsupport::WriteBytes(Lnk(L"a"), "stale");
    main_->List1.Select(0);
    main_->CmdEdit_Click();
    EntryDialog& d = main_->FrmEditP();
    ASSERT_TRUE(d.IsLoaded());
    EXPECT_EQ(d.Text(EntryDialog::IdTxtPath), L"C:\\a.exe");
    // The user picks another row in the main window meanwhile.
    main_->List1.Select(1);
    d.SetText(EntryDialog::IdTxtName, L"renamed");
    d.SetText(EntryDialog::IdTxtArg, L"-q");
    PromptRecorder prompts;
    d.CmdOK_Click();
    EXPECT_TRUE(prompts.calls.empty());  // success says nothing
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(main_->List1.SubItem(0, 2), L"renamed");
    EXPECT_EQ(main_->List1.SubItem(0, 1), L"应用程序");
    EXPECT_EQ(main_->List1.SubItem(0, 5), L"-q");
    EXPECT_EQ(main_->List1.SubItem(1, 2), L"b");
    EXPECT_TRUE(main_->List1.IsSelected(0));
    EXPECT_FALSE(std::filesystem::exists(Lnk(L"a")));
    EXPECT_EQ(ReadLink(Lnk(L"renamed")).args, L"-q");
    EXPECT_NE(ReadBytes(Catalogue()).find("renamed"), std::string::npos);

    // Unchanged OK: the shortcut is deleted and written again at the same path.
    main_->List1.Select(1);
    main_->CmdEdit_Click();
    std::filesystem::remove(Lnk(L"b"));
    main_->FrmEditP().CmdOK_Click();
    EXPECT_TRUE(prompts.calls.empty());
    EXPECT_EQ(ReadLink(Lnk(L"b")).target, L"C:\\b.exe");

    // Any kind but a program opens the folder dialog.
    main_->List1.SetSubItem(2, 1, L"别的");
    main_->List1.Select(2);
    main_->CmdEdit_Click();
    EXPECT_TRUE(main_->FrmEditD().IsLoaded());
    EXPECT_FALSE(main_->FrmEditP().IsLoaded());
}

TEST_F(AppTest, EditRefusesAnotherRowsNameButNotItsOwnOrADifferentCase) {
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
    AddRow({L"应用程序", L"b", L"C:\\b.exe", L"C:\\", L"", L""});
    main_->List1.Select(0);
    main_->CmdEdit_Click();
    EntryDialog& d = main_->FrmEditP();
    d.SetText(EntryDialog::IdTxtName, L"b");
    PromptRecorder prompts;
    d.CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].text, L"该名称已在列表中存在，请使用其它名称！");
    EXPECT_TRUE(d.IsLoaded());
    d.SetText(EntryDialog::IdTxtName, L"B");
    d.CmdOK_Click();
    EXPECT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(main_->List1.SubItem(0, 2), L"B");
}

TEST_F(AppTest, EditThatCannotWriteTheShortcutStillUpdatesAndTellsTheUser) {
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
    main_->List1.Select(0);
    main_->CmdEdit_Click();
    std::filesystem::remove_all(windows_ / L"system");
    SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    main_->FrmEditP().SetText(EntryDialog::IdTxtPath, L"C:\\windows\\notepad.exe");
    PromptRecorder prompts;
    main_->FrmEditP().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_NE(prompts.calls[0].text.find(L"a.lnk"), std::wstring::npos);
    EXPECT_EQ(main_->List1.SubItem(0, 3), L"C:\\windows\\notepad.exe");
    EXPECT_NE(ReadBytes(Catalogue()).find("notepad.exe"), std::string::npos);
}

TEST_F(AppTest, EditOfARowDeletedMeanwhileChangesNothing) {
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
    AddRow({L"应用程序", L"b", L"C:\\b.exe", L"C:\\", L"", L""});
    main_->List1.Select(0);
    main_->CmdEdit_Click();
    main_->List1.DeleteRow(0);
    PromptRecorder prompts;
    main_->FrmEditP().CmdOK_Click();
    EXPECT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(main_->List1.SubItem(0, 2), L"b");
    EXPECT_FALSE(main_->FrmEditP().IsLoaded());
}

TEST_F(AppTest, BrowseFillsPathFolderNameAndComment) {
    testsupport::TempDir tools;
    testsupport::WriteBytes(tools / L"run.exe", "MZ");
    testsupport::WriteBytes(tools / L"x.py", "print()");
    main_->CmdAddP_Click();
    EntryDialog& d = main_->FrmAddP();
    d.SetText(EntryDialog::IdTxtArg, L"-keep");
    struct Case {
        std::wstring file, name;
    };
    for (const Case& c : {Case{L"run.exe", L"run"}, Case{L"x.py", L"x"}}) {
        const std::wstring full = (tools / c.file).wstring();
        testsupport::DialogRobot robot({[&](HWND dialog) {
            SetWindowTextW(testsupport::FileNameBox(dialog), full.c_str());
            testsupport::Press(dialog, IDOK);
            return true;
        }});
        d.Command1_Click();
        EXPECT_FALSE(robot.TimedOut());
        EXPECT_EQ(d.Text(EntryDialog::IdTxtPath), full);
        EXPECT_EQ(d.Text(EntryDialog::IdTxtWork), tools.path().wstring() + L"\\");
        EXPECT_EQ(d.Text(EntryDialog::IdTxtName), c.name);  // a short name keeps all but its extension
        EXPECT_EQ(d.Text(EntryDialog::IdTxtCom), c.name);
        EXPECT_EQ(d.Text(EntryDialog::IdTxtArg), L"-keep");
        EXPECT_EQ(GetFocus(), d.Control(EntryDialog::IdTxtName));
    }
    // Cancelling the browser leaves every field as it was.
    testsupport::DialogRobot robot({[](HWND dialog) {
        testsupport::Press(dialog, IDCANCEL);
        return true;
    }});
    d.Command1_Click();
    EXPECT_EQ(d.Text(EntryDialog::IdTxtName), L"x");
}

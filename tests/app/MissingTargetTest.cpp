// A program or folder that is not there: asked about before an add or an
// edit of the path writes anything, and named by the health check with what
// to do, never offered for a rewrite that could not help.
#include "tests/app/AliasCheckFixture.h"

#include "catalogue/LinkReader.h"
#include "plumbing/SystemInfo.h"

namespace fs = std::filesystem;

namespace {

class MissingTargetTest : public AliasCheckTest {
protected:
    std::wstring gone() const { return (windows_ / L"notepd.exe").wstring(); }
    static bool Has(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }
    void WriteRows(std::initializer_list<std::initializer_list<std::wstring>> rows) {
        std::string bytes;
        for (const auto& row : rows) bytes += AnsiLines(row);
        testsupport::WriteBytes(Catalogue(), bytes);
    }
};

}  // namespace

TEST_F(MissingTargetTest, AnAddOfAMissingTargetAsksAndNoKeepsEverythingTypedAndWritesNothing) {
    const fs::path noFolder = windows_ / L"音乐";
    const struct {
        EntryDialog& (frmMain::*dialog)();
        void (frmMain::*open)();
        std::wstring path, named;
    } cases[] = {
        {&frmMain::FrmAddP, &frmMain::CmdAddP_Click, gone(), L"找不到程序“" + gone() + L"”"},
        {&frmMain::FrmAddD, &frmMain::CmdAddD_Click, noFolder.wstring(), L"找不到文件夹“" + noFolder.wstring() + L"”"},
        {&frmMain::FrmAddP, &frmMain::CmdAddP_Click, L"%windir%\\notepd.exe",
         L"找不到程序“%windir%\\notepd.exe”（即“" + ExpandedPath(L"%windir%\\notepd.exe") + L"”）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        ((*main_).*c.open)();
        EntryDialog& d = ((*main_).*c.dialog)();
        Fill(d, c.path, L"np", L"C:\\", L"-a", L"记事本");
        {
            PromptRecorder prompts(IDNO);
            d.CmdOK_Click();
            ASSERT_EQ(prompts.calls.size(), 1u);
            EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
            EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
            EXPECT_EQ(prompts.calls[0].text.rfind(c.named, 0), 0u) << testing::PrintToString(prompts.calls[0].text);
            EXPECT_TRUE(Has(prompts.calls[0].text, L"仍然添加这个项目吗？"));
        }
        EXPECT_TRUE(d.IsLoaded());
        EXPECT_EQ(d.Text(EntryDialog::IdTxtPath), c.path);
        EXPECT_EQ(d.Text(EntryDialog::IdTxtName), L"np");
        EXPECT_EQ(d.Text(EntryDialog::IdTxtArg), L"-a");
        EXPECT_EQ(d.Text(EntryDialog::IdTxtCom), L"记事本");
        EXPECT_FALSE(fs::exists(Lnk(L"np")));
        EXPECT_EQ(main_->List1.Count(), 0);
        EXPECT_FALSE(fs::exists(Catalogue()));
        d.Command2_Click();
    }
    // Added anyway on Yes.
    main_->CmdAddP_Click();
    Fill(main_->FrmAddP(), gone(), L"np", L"C:\\");
    PromptRecorder prompts(IDYES);
    main_->FrmAddP().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 2u);
    EXPECT_TRUE(Has(prompts.calls[1].text, L"添加成功")) << testing::PrintToString(prompts.calls[1].text);
    EXPECT_TRUE(fs::exists(Lnk(L"np")));
    EXPECT_EQ(main_->List1.Count(), 1);
}

TEST_F(MissingTargetTest, AnEditAsksOnlyWhenItChangesThePath) {
    WriteAlias(L"old", gone());
    AddRow({L"应用程序", L"old", gone(), L"C:\\", L"", L""});
    main_->List1.Select(0);
    // A program that was uninstalled can still be renamed: no question.
    main_->CmdEdit_Click();
    main_->FrmEditP().SetText(EntryDialog::IdTxtName, L"renamed");
    {
        PromptRecorder prompts;
        main_->FrmEditP().CmdOK_Click();
        EXPECT_TRUE(prompts.calls.empty()) << testing::PrintToString(prompts.calls[0].text);
    }
    EXPECT_EQ(main_->List1.SubItem(0, 2), L"renamed");
    // A new path that is not there either is asked about; No changes nothing.
    main_->List1.Select(0);
    main_->CmdEdit_Click();
    const std::wstring other = (windows_ / L"other.exe").wstring();
    main_->FrmEditP().SetText(EntryDialog::IdTxtPath, other);
    PromptRecorder prompts(IDNO);
    main_->FrmEditP().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].text.rfind(L"找不到程序“" + other + L"”", 0), 0u);
    EXPECT_TRUE(Has(prompts.calls[0].text, L"仍然保存修改吗？"));
    EXPECT_TRUE(main_->FrmEditP().IsLoaded());
    EXPECT_EQ(main_->List1.SubItem(0, 3), gone());
    EXPECT_TRUE(SamePathText(LinkReader().Read(Lnk(L"renamed").wstring())->target, gone()));
}

TEST_F(MissingTargetTest, TheHealthCheckNamesAGoneTargetWithWhatToDoAndRewritesOnlyWhatCanBeHelped) {
    // WriteAlias gives each shortcut its name as the comment.
    WriteRows({{L"应用程序", L"uninstalled", gone(), L"C:\\", L"", L"uninstalled"},
               {L"文件夹", L"moved", (windows_ / L"旧文件夹").wstring(), L"C:\\", L"", L"moved"},
               {L"应用程序", L"fine", tool(), L"C:\\", L"", L"fine"}});
    WriteAlias(L"uninstalled", gone(), L"C:\\");
    WriteAlias(L"fine", tool(), L"C:\\");
    // At start-up, with nothing to rewrite: a message, not a question.
    {
        PromptRecorder prompts;
        Reopen();
        ASSERT_EQ(prompts.calls.size(), 1u);
        const std::wstring& text = prompts.calls[0].text;
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_TRUE(Has(text, L"uninstalled（程序“" + gone() + L"”已不存在）")) << testing::PrintToString(text);
        EXPECT_TRUE(Has(text, L"moved（文件夹“")) << testing::PrintToString(text);
        EXPECT_TRUE(Has(text, L"请编辑这些项目"));
        EXPECT_FALSE(Has(text, L"fine"));
    }
    // With a shortcut to rewrite as well: one question names both kinds;
    // Yes rewrites the one a shortcut can help.
    fs::remove(Lnk(L"fine"));
    const std::string uninstalledLink = testsupport::ReadBytes(Lnk(L"uninstalled"));
    {
        PromptRecorder prompts(IDYES);
        SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuCheckAliases, 0);
        ASSERT_EQ(prompts.calls.size(), 2u);
        const std::wstring& text = prompts.calls[0].text;
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_LT(text.find(L"uninstalled（"), text.find(L"fine（快捷方式不见了）")) << testing::PrintToString(text);
        EXPECT_TRUE(Has(text, L"以下 1 个别名在“运行”里无法正常使用"));
        EXPECT_FALSE(Has(prompts.calls[1].text, L"全部")) << testing::PrintToString(prompts.calls[1].text);
    }
    EXPECT_TRUE(fs::exists(Lnk(L"fine")));
    EXPECT_FALSE(fs::exists(Lnk(L"moved")));
    EXPECT_EQ(testsupport::ReadBytes(Lnk(L"uninstalled")), uninstalledLink);
    // From the menu with only gone targets left: named, nothing asked.
    PromptRecorder prompts(IDYES);
    SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuCheckAliases, 0);
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_TRUE(Has(prompts.calls[0].text, L"以下 2 个别名指向的程序或文件夹已不存在"));
}

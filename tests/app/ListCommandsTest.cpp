#include "tests/app/AppFixture.h"

using testsupport::ReadBytes;
using testsupport::WriteBytes;

TEST_F(AppTest, DeleteAsksAndRemovesShortcutAndRowButDoesNotSave) {
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
    AddRow({L"应用程序", L"b", L"C:\\b.exe", L"C:\\", L"", L""});
    ASSERT_TRUE(main_->CmdTmp_Click());
    const std::string saved = ReadBytes(Catalogue());
    WriteBytes(Lnk(L"a"), "link");
    main_->List1.Select(0);
    {
        PromptRecorder prompts(IDNO);
        main_->CmdDel_Click();
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_EQ(prompts.calls[0].text, L"你真的要删除掉  a  吗？");
        EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
        EXPECT_EQ(prompts.calls[0].style, 36u);
        EXPECT_EQ(main_->List1.Count(), 2);
        EXPECT_TRUE(std::filesystem::exists(Lnk(L"a")));
    }
    PromptRecorder prompts(IDYES);
    main_->CmdDel_Click();
    EXPECT_EQ(main_->List1.Count(), 1);
    EXPECT_EQ(main_->List1.SubItem(0, 2), L"b");
    EXPECT_FALSE(std::filesystem::exists(Lnk(L"a")));
    EXPECT_EQ(ReadBytes(Catalogue()), saved);  // the file catches up at the next save

    // The last row takes the catalogue file with it, even without a shortcut to delete.
    main_->List1.Select(0);
    main_->CmdDel_Click();
    EXPECT_EQ(main_->List1.Count(), 0);
    EXPECT_FALSE(std::filesystem::exists(Catalogue()));
}

TEST_F(AppTest, MovesExchangeWholeEntriesAndKeepTheSelection) {
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"-a", L"A"});
    AddRow({L"文件夹", L"b", L"C:\\b", L"C:\\b", L"", L"B"});
    AddRow({L"应用程序", L"c", L"C:\\c.exe", L"C:\\", L"", L""});
    const auto names = [&] {
        std::wstring out;
        for (int r = 0; r < main_->List1.Count(); ++r) out += main_->List1.SubItem(r, 2);
        return out;
    };
    main_->List1.Select(0);
    main_->CmdUp_Click();  // already first
    EXPECT_EQ(names(), L"abc");
    main_->CmdDown_Click();
    EXPECT_EQ(names(), L"bac");
    EXPECT_TRUE(main_->List1.IsSelected(1));
    EXPECT_EQ(main_->List1.SubItem(1, 5), L"-a");
    EXPECT_EQ(main_->List1.SubItem(0, 1), L"文件夹");
    EXPECT_EQ(GetFocus(), main_->List1.hWnd());
    main_->CmdDown_Click();
    main_->CmdDown_Click();  // already last
    EXPECT_EQ(names(), L"bca");
    EXPECT_TRUE(main_->List1.IsSelected(2));
    main_->CmdUp_Click();
    main_->CmdUp_Click();
    EXPECT_EQ(names(), L"abc");
    EXPECT_TRUE(main_->List1.IsSelected(0));
    EXPECT_FALSE(std::filesystem::exists(Catalogue()));  // moves do not save
}

TEST_F(AppTest, CommandsOnAnEmptyListOrWithoutSelectionDoNothing) {
    PromptRecorder prompts;
    main_->CmdEdit_Click();
    main_->CmdDel_Click();
    main_->CmdUp_Click();
    main_->CmdDown_Click();
    EXPECT_TRUE(prompts.calls.empty());
    EXPECT_FALSE(main_->FrmEditP().IsLoaded() || main_->FrmEditD().IsLoaded());
    AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
    main_->List1.Deselect(0);
    main_->CmdDel_Click();
    EXPECT_TRUE(prompts.calls.empty());
    EXPECT_EQ(main_->List1.Count(), 1);
}

TEST_F(AppTest, TrayMenuAddCommandsOpenTheDialogsMarkedAsFromTheTray) {
    SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuAddFolder, 0);
    EXPECT_TRUE(main_->FrmAddD().IsLoaded());
    EXPECT_EQ(main_->TxtIsMenuClick, L"1");
    main_->CmdAddP_Click();
    EXPECT_EQ(main_->TxtIsMenuClick, L"0");
}

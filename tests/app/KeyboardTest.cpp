// The list's keys and the entry dialogs' keys, through the program's message loop.
#include "tests/app/AppFixture.h"
#include "tests/app/InputSupport.h"

namespace {

class KeyboardTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        AddRow({L"应用程序", L"a", L"C:\\a.exe", L"C:\\", L"", L""});
        AddRow({L"应用程序", L"b", L"C:\\b.exe", L"C:\\", L"", L""});
        AddRow({L"文件夹", L"c", L"C:\\c", L"C:\\c", L"", L""});
        main_->SetLauncher({[this](HWND, const std::wstring& f) { opened.push_back(f); },
                            [this](const std::wstring& p) { opened.push_back(p); }});
        list = main_->List1.hWnd();
        SetFocus(list);
    }
    std::wstring Names() const {
        std::wstring names;
        for (int r = 0; r < main_->List1.Count(); ++r) names += main_->List1.SubItem(r, 2);
        return names;
    }
    void Key(UINT vk, std::initializer_list<UINT> held = {}) { PressKey(*main_, list, vk, held); }
    int FocusedId() const { return GetDlgCtrlID(GetFocus()); }

    HWND list = nullptr;
    std::vector<std::wstring> opened;
};

}  // namespace

TEST_F(KeyboardTest, ListKeysRunTheCommandsOfTheSelectedRow) {
    main_->List1.Select(1);
    Key(VK_DOWN, {VK_CONTROL});
    EXPECT_EQ(Names(), L"acb");
    EXPECT_EQ(main_->List1.Selected(), 2);
    Key(VK_DOWN, {VK_CONTROL});  // already last
    EXPECT_EQ(Names(), L"acb");
    Key(VK_UP, {VK_CONTROL});
    Key(VK_UP, {VK_CONTROL});
    EXPECT_EQ(Names(), L"bac");
    EXPECT_EQ(main_->List1.Selected(), 0);
    Key(VK_UP);  // a plain arrow only moves the selection, as in any list
    EXPECT_EQ(Names(), L"bac");

    Key(VK_RETURN);
    EXPECT_EQ(opened, std::vector<std::wstring>{L"C:\\b.exe"});
    main_->List1.Select(2);
    Key(VK_RETURN);
    EXPECT_EQ(opened.back(), L"C:\\c");  // a folder opens as a folder does on double-click

    main_->List1.Select(1);
    Key(VK_F2);
    ASSERT_TRUE(main_->FrmEditP().IsLoaded());
    EXPECT_EQ(main_->FrmEditP().Text(EntryDialog::IdTxtName), L"a");
    main_->FrmEditP().Unload();
    PumpLoop(*main_);  // the list gets row a back first
    EXPECT_EQ(main_->List1.Selected(), 1);
    main_->List1.Select(2);
    Key(VK_F2);
    EXPECT_TRUE(main_->FrmEditD().IsLoaded());
    main_->FrmEditD().Unload();
    PumpLoop(*main_);
}

TEST_F(KeyboardTest, DeleteAsksFirstAndTheFocusComesBackToTheList) {
    testsupport::WriteBytes(Lnk(L"b"), "lnk");
    main_->List1.Select(1);
    {
        PromptRecorder prompts(IDNO);
        Key(VK_DELETE);
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_EQ(prompts.calls[0].text, L"你真的要删除掉  b  吗？");
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(Names(), L"abc");
        EXPECT_EQ(GetFocus(), list);
    }
    {
        PromptRecorder prompts(IDYES);
        Key(VK_DELETE);
        EXPECT_EQ(Names(), L"ac");
        EXPECT_FALSE(std::filesystem::exists(Lnk(L"b")));
        EXPECT_EQ(GetFocus(), list);
        // The button too gives the focus back to the list once the question is answered.
        main_->List1.Select(0);
        SetFocus(main_->Control(frmMain::IdCmdDel));
        prompts.Answer(IDNO);
        SendMessageW(main_->Control(frmMain::IdCmdDel), BM_CLICK, 0, 0);
        EXPECT_EQ(prompts.calls.size(), 2u);
        EXPECT_EQ(GetFocus(), list);
    }
}

TEST_F(KeyboardTest, WithoutASelectionTheKeysDoWhatTheButtonsDo) {
    for (int r = 0; r < 3; ++r) main_->List1.Deselect(r);
    ASSERT_EQ(main_->List1.Selected(), -1);
    PromptRecorder prompts;
    for (UINT vk : {VK_DELETE, VK_RETURN, VK_F2}) Key(vk);
    Key(VK_UP, {VK_CONTROL});
    Key(VK_DOWN, {VK_CONTROL});
    EXPECT_TRUE(prompts.calls.empty());
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(main_->FrmEditP().IsLoaded() || main_->FrmEditD().IsLoaded());
    EXPECT_EQ(Names(), L"abc");
}

TEST_F(KeyboardTest, TabWalksTheDialogTopToBottomThenOkAndCancel) {
    main_->CmdAddP_Click();
    const HWND dialog = main_->FrmAddP().hWnd();
    ASSERT_EQ(FocusedId(), EntryDialog::IdTxtPath);
    const int order[] = {EntryDialog::IdTxtPath, EntryDialog::IdCommand1, EntryDialog::IdTxtName,
                         EntryDialog::IdTxtWork, EntryDialog::IdTxtArg,   EntryDialog::IdTxtCom,
                         EntryDialog::IdCmdOK,   EntryDialog::IdCommand2};
    const int n = static_cast<int>(std::size(order));
    for (int i = 1; i <= n; ++i) {
        PressKey(*main_, GetFocus(), VK_TAB);
        EXPECT_EQ(FocusedId(), order[i % n]) << "Tab " << i;
    }
    for (int i = n - 1; i >= 0; --i) {
        PressKey(*main_, GetFocus(), VK_TAB, {VK_SHIFT});
        EXPECT_EQ(FocusedId(), order[i]) << "Shift+Tab to " << i;
    }
    EXPECT_TRUE(IsChild(dialog, GetFocus()));
}

TEST_F(KeyboardTest, EnterConfirmsAndEscCancelsAndTheListGetsItsRowBack) {
    PromptRecorder prompts;
    main_->CmdAddP_Click();
    EntryDialog& add = main_->FrmAddP();
    Fill(add, L"C:\\windows\\notepad.exe", L"d", L"C:\\");
    SetFocus(add.Control(EntryDialog::IdTxtCom));
    PressKey(*main_, GetFocus(), VK_RETURN);
    EXPECT_FALSE(add.IsLoaded());
    EXPECT_TRUE(std::filesystem::exists(Lnk(L"d")));
    EXPECT_TRUE(std::filesystem::exists(Catalogue()));
    EXPECT_EQ(Names(), L"abcd");
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(main_->List1.Selected(), 3);

    // Esc in the edit dialog of row b: nothing is written, and the focus is
    // back on row b even though another row was selected meanwhile.
    main_->List1.Select(1);
    main_->CmdEdit_Click();
    EntryDialog& edit = main_->FrmEditP();
    edit.SetText(EntryDialog::IdTxtName, L"changed");
    main_->List1.Select(0);
    PressKey(*main_, edit.Control(EntryDialog::IdTxtName), VK_ESCAPE);
    EXPECT_FALSE(edit.IsLoaded());
    EXPECT_EQ(Names(), L"abcd");
    EXPECT_FALSE(std::filesystem::exists(Lnk(L"changed")));
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(main_->List1.Selected(), 1);
    EXPECT_EQ(prompts.calls.size(), 1u);  // only the add's success message
}

TEST_F(KeyboardTest, RealKeyPressesMoveTheRowAndOpenTheEditDialog) {
    SetForegroundWindow(main_->hWnd());
    SetFocus(list);
    main_->List1.Select(0);
    ASSERT_TRUE(LoopUntil(*main_, [&] { return GetFocus() == list; }));
    SendKeys(VK_DOWN, {VK_CONTROL});
    EXPECT_TRUE(LoopUntil(*main_, [&] { return Names() == L"bac"; })) << Names();
    EXPECT_EQ(main_->List1.Selected(), 1);
    SendKeys(VK_F2);
    ASSERT_TRUE(LoopUntil(*main_, [&] { return main_->FrmEditP().IsLoaded(); }));
    EXPECT_EQ(main_->FrmEditP().Text(EntryDialog::IdTxtName), L"a");
    // Esc, typed, reaches the open dialog through the dialog manager.
    ASSERT_TRUE(LoopUntil(*main_, [&] { return GetForegroundWindow() == main_->FrmEditP().hWnd(); }));
    SendKeys(VK_ESCAPE);
    EXPECT_TRUE(LoopUntil(*main_, [&] { return !main_->FrmEditP().IsLoaded() && GetFocus() == list; }));
    EXPECT_EQ(main_->List1.Selected(), 1);
}

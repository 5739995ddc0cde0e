// The Run box's view of the aliases from the dialogs and the main window:
// the warning before a name that opens something else, the per-user
// folder, and the health check at start-up and from the menu.
#include "tests/app/AliasCheckFixture.h"

#include "catalogue/AliasStore.h"
#include "catalogue/LinkReader.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::ReadUserPathValue;
using testsupport::WriteBytes;

TEST_F(AliasCheckTest, AShadowedNameIsWarnedAboutAndNoWritesNothingAndKeepsWhatWasTyped) {
    main_->CmdAddP_Click();
    EntryDialog& d = main_->FrmAddP();
    Fill(d, tool(), L"notepad", L"C:\\", L"-q", L"记事本");
    {
        PromptRecorder prompts(IDNO);
        d.CmdOK_Click();
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
        EXPECT_NE(prompts.calls[0].text.find(L"system32\\notepad.exe"), std::wstring::npos) << prompts.calls[0].text;
    }
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(d.Text(EntryDialog::IdTxtName), L"notepad");
    EXPECT_EQ(d.Text(EntryDialog::IdTxtArg), L"-q");
    EXPECT_EQ(d.Text(EntryDialog::IdTxtCom), L"记事本");
    EXPECT_FALSE(fs::exists(Lnk(L"notepad")));
    EXPECT_EQ(main_->List1.Count(), 0);
    EXPECT_FALSE(fs::exists(Catalogue()));

    // Kept anyway: written, but no success is claimed.
    PromptRecorder prompts(IDYES);
    d.CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 2u);
    EXPECT_EQ(prompts.calls[1].text.find(L"添加成功"), std::wstring::npos);
    EXPECT_NE(prompts.calls[1].text.find(L"notepad.exe"), std::wstring::npos);
    EXPECT_TRUE(fs::exists(Lnk(L"notepad")));
    EXPECT_EQ(main_->List1.Count(), 1);
}

TEST_F(AliasCheckTest, EditToAShadowedNameAnsweredNoChangesNothing) {
    WriteAlias(L"a", tool());
    AddRow({L"应用程序", L"a", tool(), L"C:\\", L"", L""});
    main_->List1.Select(0);
    main_->CmdEdit_Click();
    main_->FrmEditP().SetText(EntryDialog::IdTxtName, L"notepad");
    PromptRecorder prompts(IDNO);
    main_->FrmEditP().CmdOK_Click();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_TRUE(main_->FrmEditP().IsLoaded());
    EXPECT_EQ(main_->List1.SubItem(0, 2), L"a");
    EXPECT_TRUE(fs::exists(Lnk(L"a")));
    EXPECT_FALSE(fs::exists(Lnk(L"notepad")));
}

TEST_F(AliasCheckTest, WithoutASystemFolderAddUsesThePerUserFolderAndTheLastDeleteRestoresThePath) {
    fs::remove(windows_ / L"system");
    testsupport::WriteUserPathValue(testsupport::TextValue(REG_EXPAND_SZ, L"C:\\bin;"));
    const std::optional<testsupport::RegValue> before = ReadUserPathValue();
    main_->CmdAddP_Click();
    Fill(main_->FrmAddP(), tool(), L"tl", L"C:\\");
    {
        PromptRecorder prompts;
        main_->FrmAddP().CmdOK_Click();
        ASSERT_EQ(prompts.calls.size(), 1u);
        const std::wstring& text = prompts.calls[0].text;
        EXPECT_EQ(text.rfind(L"添加成功，以后您只需在 开始--运行 里面直接输入“tl”便可运行该程序！", 0), 0u) << text;
        EXPECT_NE(text.find(UserLnk(L"").parent_path().wstring()), std::wstring::npos) << text;
    }
    EXPECT_TRUE(fs::exists(UserLnk(L"tl")));
    EXPECT_NE(ReadUserPathValue(), before);
    EXPECT_EQ(ReadUserPathValue()->type, static_cast<DWORD>(REG_EXPAND_SZ));

    main_->List1.Select(0);
    PromptRecorder prompts(IDYES);
    main_->CmdDel_Click();
    EXPECT_FALSE(fs::exists(UserLnk(L"tl")));
    EXPECT_EQ(ReadUserPathValue(), before);
    EXPECT_TRUE(environment_.ChangedBesidesPath().empty());
}

TEST_F(AliasCheckTest, StartUpNamesMissingShortcutsAndNoLeavesThemYesWritesThem) {
    std::vector<std::wstring> names = {L"here"};
    for (int i = 1; i <= 12; ++i) names.push_back(L"gone" + std::to_wstring(i));
    WriteCatalogue(names);
    WriteAlias(L"here", tool());
    {
        PromptRecorder prompts(IDNO);
        Reopen();
        ASSERT_EQ(prompts.calls.size(), 1u);
        const std::wstring& text = prompts.calls[0].text;
        EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_NE(text.find(L"gone1（"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"gone10（"), std::wstring::npos);
        EXPECT_EQ(text.find(L"gone11"), std::wstring::npos);
        EXPECT_NE(text.find(L"另外还有 2 个"), std::wstring::npos);
        EXPECT_EQ(text.find(L"here"), std::wstring::npos);
    }
    EXPECT_EQ(main_->List1.Count(), 13);
    EXPECT_FALSE(fs::exists(Lnk(L"gone1")));

    PromptRecorder prompts(IDYES);
    Reopen();
    EXPECT_EQ(prompts.calls.size(), 1u);  // the question; a full repair at start-up says nothing more
    LinkReader reader;
    for (const auto& n : names) {
        const auto link = reader.Read(Lnk(n).wstring());
        ASSERT_TRUE(link) << testing::PrintToString(n);
        EXPECT_EQ(link->description, n);
    }
    // All well now: start-up is silent.
    Reopen();
    EXPECT_EQ(prompts.calls.size(), 1u);
}

TEST_F(AliasCheckTest, AShortcutChangedBehindTheProgramsBackIsFoundAndRepairedFromTheMenu) {
    WriteBytes(windows_ / L"other.exe", "MZ");
    WriteCatalogue({L"a", L"b"});
    WriteAlias(L"a", tool());
    WriteAlias(L"b", tool());
    {
        PromptRecorder prompts;
        Reopen();
        EXPECT_TRUE(prompts.calls.empty());
        SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuCheckAliases, 0);
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_EQ(prompts.calls[0].text, L"全部 2 个别名都能在“运行”里正常使用。");
        EXPECT_EQ(prompts.calls[0].style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    }
    WriteAlias(L"b", (windows_ / L"other.exe").wstring());
    {
        PromptRecorder prompts(IDNO);
        SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuCheckAliases, 0);
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_NE(prompts.calls[0].text.find(L"b（"), std::wstring::npos);
        EXPECT_EQ(prompts.calls[0].text.find(L"a（"), std::wstring::npos);
    }
    EXPECT_TRUE(SamePathText(LinkReader().Read(Lnk(L"b").wstring())->target, (windows_ / L"other.exe").wstring()));
    PromptRecorder prompts(IDYES);
    SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuCheckAliases, 0);
    ASSERT_EQ(prompts.calls.size(), 2u);
    EXPECT_NE(prompts.calls[1].text.find(L"全部 2 个别名"), std::wstring::npos) << prompts.calls[1].text;
    EXPECT_TRUE(SamePathText(LinkReader().Read(Lnk(L"b").wstring())->target, tool()));
}

TEST_F(AliasCheckTest, TheStartUpQuestionComesAfterTheWindowIsShownWithAllItsRows) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 40; ++i) names.push_back(L"late" + std::to_wstring(i));
    WriteCatalogue(names);
    struct Seen {
        bool visible;
        int rows;
    };
    std::vector<Seen> seen;
    const PromptHandler previous = SetPromptHandler([&](HWND owner, const std::wstring&, const std::wstring&, UINT) {
        seen.push_back({IsWindowVisible(owner) != FALSE, main_->List1.Count()});
        return IDNO;
    });
    OpenWithCheck();
    EXPECT_TRUE(seen.empty()) << "asked before the window was back in its message loop";
    EXPECT_TRUE(main_->AliasCheckPending());
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !seen.empty(); }));
    SetPromptHandler(previous);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].visible);
    EXPECT_EQ(seen[0].rows, 40);
}

TEST_F(AliasCheckTest, AListChangedBeforeTheStartUpResultIsCheckedAgainAsItIsNow) {
    const struct {
        const char* change;
        std::function<void(frmMain&)> apply;
        std::vector<std::wstring> named;  // in the question's order
        std::vector<std::wstring> notNamed;
    } cases[] = {
        {"delete", [](frmMain& m) { m.List1.Select(0); m.CmdDel_Click(); }, {L"gone2（"}, {L"gone1（"}},
        {"move", [](frmMain& m) { m.List1.Select(1); m.CmdUp_Click(); }, {L"gone2（", L"gone1（"}, {}},
        {"edit", [](frmMain& m) { m.List1.SetSubItem(0, 2, L"renamed"); }, {L"renamed（", L"gone2（"}, {L"gone1（"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        WriteCatalogue({L"gone1", L"gone2"});
        PromptRecorder prompts(IDYES);
        OpenWithCheck();
        // Before the result can arrive (it comes by message): the first
        // inspection saw the list as it was loaded.
        c.apply(*main_);
        const size_t before = prompts.calls.size();
        ASSERT_TRUE(testsupport::PumpUntil([&] { return !main_->AliasCheckPending(); }));
        ASSERT_EQ(prompts.calls.size(), before + 1);
        const std::wstring& text = prompts.calls.back().text;
        size_t at = 0;
        for (const auto& n : c.named) {
            at = text.find(n, at);
            EXPECT_NE(at, std::wstring::npos) << testing::PrintToString(n) << " " << testing::PrintToString(text);
        }
        for (const auto& n : c.notNamed) EXPECT_EQ(text.find(n), std::wstring::npos) << testing::PrintToString(text);
        // The repair wrote what the list holds now, nothing from before.
        for (const auto& n : c.notNamed) EXPECT_FALSE(fs::exists(Lnk(n.substr(0, n.size() - 1))));
        main_.reset();
        for (const auto& n : {L"gone1", L"gone2", L"renamed"}) fs::remove(Lnk(n));
    }
}

TEST_F(AliasCheckTest, ClosingTheWindowWhileTheStartUpCheckRunsEndsItWithoutAQuestion) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 3000; ++i) names.push_back(L"c" + std::to_wstring(i));
    WriteCatalogue(names);
    PromptRecorder prompts(IDYES);
    OpenWithCheck();
    EXPECT_TRUE(main_->AliasCheckPending());
    const HWND window = main_->hWnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(main_->AliasCheckPending());
    testsupport::PumpFor(200);  // a message posted just before the end goes nowhere
    main_.reset();
    EXPECT_TRUE(prompts.calls.empty());
    EXPECT_FALSE(fs::exists(Lnk(L"c0")));
    EXPECT_TRUE(fs::exists(Catalogue()));  // the close saved as always
}

// Paths typed with environment variables, as a user keeps them so that the
// catalogue stays right on another machine: the list keeps them as typed,
// the alias works, the health check is quiet about it, and a double-click
// opens the real file or folder.
#include "tests/app/AliasCheckFixture.h"

#include "catalogue/LinkReader.h"
#include "plumbing/SystemInfo.h"

namespace fs = std::filesystem;

TEST_F(AliasCheckTest, AnAliasTypedWithVariablesIsAddedAsTypedAndTheHealthCheckIsQuietAboutIt) {
    main_->CmdAddP_Click();
    Fill(main_->FrmAddP(), L"%windir%\\notepad.exe", L"vnp", L"%windir%", L"%TEMP%", L"记事本");
    {
        PromptRecorder prompts;
        main_->FrmAddP().CmdOK_Click();
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_EQ(prompts.calls[0].text.rfind(L"添加成功", 0), 0u) << testing::PrintToString(prompts.calls[0].text);
    }
    EXPECT_EQ(main_->List1.SubItem(0, 3), L"%windir%\\notepad.exe");
    EXPECT_EQ(main_->List1.SubItem(0, 4), L"%windir%");
    const std::optional<LinkFields> link = LinkReader().Read(Lnk(L"vnp").wstring());
    ASSERT_TRUE(link);
    EXPECT_TRUE(SamePathText(ExpandedPath(link->target), ExpandedPath(L"%windir%\\notepad.exe")));
    EXPECT_EQ(link->args, L"%TEMP%");
    ASSERT_TRUE(main_->CmdTmp_Click());

    // After a restart: nothing to report, and the menu command says all is well.
    PromptRecorder prompts;
    Reopen();
    EXPECT_TRUE(prompts.calls.empty()) << testing::PrintToString(prompts.calls[0].text);
    SendMessageW(main_->hWnd(), WM_COMMAND, frmMain::IdMnuCheckAliases, 0);
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_EQ(prompts.calls[0].text, L"全部 1 个别名都能在“运行”里正常使用。");
}

TEST_F(AliasCheckTest, ADoubleClickOpensTheExpandedPath) {
    AddRow({L"应用程序", L"vnp", L"%windir%\\notepad.exe", L"%windir%", L"", L""});
    AddRow({L"文件夹", L"vwin", L"%windir%", L"%windir%", L"", L""});
    AddRow({L"应用程序", L"plain", L"C:\\100%\\x.exe", L"C:\\", L"", L""});
    std::vector<std::wstring> folders, programs;
    main_->SetLauncher({[&](HWND, const std::wstring& f) { folders.push_back(f); },
                        [&](const std::wstring& p) { programs.push_back(p); }});
    for (int row = 0; row < 3; ++row) {
        main_->List1.Select(row);
        main_->List1_DblClick();
    }
    const std::wstring windows = ExpandedPath(L"%windir%");
    ASSERT_NE(windows, L"%windir%");
    EXPECT_EQ(folders, std::vector<std::wstring>{windows});
    EXPECT_EQ(programs, (std::vector<std::wstring>{windows + L"\\notepad.exe", L"C:\\100%\\x.exe"}));
}

// The per-user alias folder in the success message comes with the reason
// the shortcut went there.
#include "tests/app/AliasCheckFixture.h"

namespace fs = std::filesystem;

TEST_F(AliasCheckTest, ThePerUserFolderSentenceGivesTheTrueReason) {
    // A shortcut left in the per-user folder from earlier (the system
    // folder was not writable then): an add of that name stays with it.
    const fs::path userFolder = UserLnk(L"tl").parent_path();
    fs::create_directories(userFolder);
    WshShellObject shell;
    ASSERT_TRUE(WriteShortcutAt(shell, userFolder.wstring() + L"\\", L"tl", tool(), L"", L"C:\\", L"").ok());
    const struct {
        bool systemWritable;
        const wchar_t* reason;
        const wchar_t* notSaid;
    } cases[] = {
        {true, L"这个名称原有的快捷方式就在您的个人别名文件夹", L"由于无法写入系统文件夹"},
        {false, L"由于无法写入系统文件夹，快捷方式保存在您的个人别名文件夹", L"原有的快捷方式"},
    };
    for (const auto& c : cases) {
        if (!c.systemWritable) fs::remove_all(windows_ / L"system");
        main_->CmdAddP_Click();
        Fill(main_->FrmAddP(), tool(), L"tl", L"C:\\");
        PromptRecorder prompts;
        main_->FrmAddP().CmdOK_Click();
        ASSERT_EQ(prompts.calls.size(), 1u);
        const std::wstring& text = prompts.calls[0].text;
        EXPECT_EQ(text.rfind(L"添加成功", 0), 0u) << testing::PrintToString(text);
        EXPECT_NE(text.find(c.reason), std::wstring::npos) << testing::PrintToString(text);
        EXPECT_EQ(text.find(c.notSaid), std::wstring::npos) << testing::PrintToString(text);
        EXPECT_NE(text.find(userFolder.wstring()), std::wstring::npos);
        EXPECT_FALSE(fs::exists(Lnk(L"tl")));
        main_->List1.Select(0);
        main_->List1.DeleteRow(0);  // the next case adds the name again; the shortcut stays
    }
}

#include "pickers/CommDlgs.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "tests/support/DialogRobot.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace fs = std::filesystem;

namespace {

class FileDialogTest : public testing::Test {
protected:
    void SetUp() override {
        testsupport::WriteBytes(dir_ / L"app.exe", "MZ");
        testsupport::WriteBytes(dir_ / L"readme.txt", "text");
        testsupport::WriteBytes(dir_ / L"程序.exe", "MZ");
    }
    std::wstring Open(const std::wstring& title = L"请选择你要设置的程序") {
        return ShowFileDialog(nullptr, kFileDialogOpen, title, L"*.exe",
                              MakeFileFilter({{L"EXE", L"*.exe"}, {L"All files", L"*.*"}}),
                              dir_.path().wstring(), L"exe");
    }
    testsupport::TempDir dir_;
};

}  // namespace

TEST(FileFilter, PairsAreNulTerminatedParts) {
    EXPECT_EQ(MakeFileFilter({{L"EXE", L"*.exe"}, {L"All files", L"*.*"}}),
              std::wstring(L"EXE\0*.exe\0All files\0*.*\0", 24));
    EXPECT_EQ(MakeFileFilter({}), L"");
}

TEST_F(FileDialogTest, OpenReturnsTheChosenExistingFile) {
    for (const std::wstring name : {L"app.exe", L"程序.exe"}) {
        std::wstring title, initialText;
        const std::wstring chosen = (dir_ / name).wstring();
        DialogRobot robot({[&](HWND dialog) {
            title = TextOf(dialog);
            initialText = TextOf(FileNameBox(dialog));
            SetWindowTextW(FileNameBox(dialog), chosen.c_str());
            Press(dialog, IDOK);
            return true;
        }});
        EXPECT_EQ(Open(), chosen);
        EXPECT_TRUE(robot.Finished());
        EXPECT_FALSE(robot.TimedOut());
        EXPECT_EQ(title, L"请选择你要设置的程序");
        EXPECT_EQ(initialText, L"*.exe");
    }
}

TEST_F(FileDialogTest, OpenListsOnlyExeFilesAtFirst) {
    std::vector<std::wstring> shown;
    DialogRobot robot({[&](HWND dialog) {
        HWND list = FindDescendant(dialog, WC_LISTVIEWW);
        if (!list || ListView_GetItemCount(list) == 0) return false;  // still filling
        for (int i = 0; i < ListView_GetItemCount(list); ++i) {
            wchar_t text[MAX_PATH] = {};
            ListView_GetItemText(list, i, 0, text, MAX_PATH);
            shown.emplace_back(text);
        }
        Press(dialog, IDCANCEL);
        return true;
    }});
    EXPECT_EQ(Open(), L"");
    ASSERT_FALSE(robot.TimedOut());
    EXPECT_EQ(shown.size(), 2u);
    for (const std::wstring& item : shown) {
        EXPECT_EQ(item.find(L"readme"), std::wstring::npos) << testing::PrintToString(item);
    }
}

TEST_F(FileDialogTest, CancelReturnsEmpty) {
    // An initial name longer than the buffer is cut, not overrun.
    for (const std::wstring& initial : {std::wstring(L"*.exe"), std::wstring(400, L'a')}) {
        DialogRobot robot({[](HWND dialog) {
            Press(dialog, IDCANCEL);
            return true;
        }});
        EXPECT_EQ(ShowFileDialog(nullptr, kFileDialogOpen, L"t", initial, MakeFileFilter({{L"EXE", L"*.exe"}}),
                                 dir_.path().wstring(), L"exe"),
                  L"");
        EXPECT_TRUE(robot.Finished());
        EXPECT_FALSE(robot.TimedOut());
    }
}

TEST_F(FileDialogTest, OpenRefusesAFileThatDoesNotExist) {
    HWND fileDialog = nullptr;
    bool refused = false;
    const std::wstring missing = (dir_ / L"missing.exe").wstring();
    DialogRobot robot({[&](HWND dialog) {
                           fileDialog = dialog;
                           SetWindowTextW(FileNameBox(dialog), missing.c_str());
                           Press(dialog, IDOK);
                           return true;
                       },
                       [&](HWND dialog) {
                           if (dialog == fileDialog) return false;  // wait for the complaint
                           refused = true;
                           PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                           return true;
                       },
                       [&](HWND dialog) {
                           if (dialog != fileDialog) return false;
                           Press(dialog, IDCANCEL);
                           return true;
                       }});
    EXPECT_EQ(Open(), L"");
    EXPECT_TRUE(refused);
    EXPECT_TRUE(robot.Finished());
    EXPECT_FALSE(robot.TimedOut());
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(FileDialogTest, SaveAddsTheDefaultExtensionToANewName) {
    DialogRobot robot({[&](HWND dialog) {
        SetWindowTextW(FileNameBox(dialog), (dir_ / L"新文件").c_str());
        Press(dialog, IDOK);
        return true;
    }});
    // A filter without its closing NULs is completed, not read past its end.
    const std::wstring chosen = ShowFileDialog(nullptr, kFileDialogSave, L"保存", L"",
                                               std::wstring(L"Text\0*.txt", 10), dir_.path().wstring(), L"txt");
    EXPECT_EQ(chosen, (dir_ / L"新文件.txt").wstring());
    EXPECT_FALSE(robot.TimedOut());
    EXPECT_FALSE(fs::exists(dir_ / L"新文件.txt"));  // the picker only names the file
}


TEST(FolderDialog, ReturnsTheChosenFolder) {
    testsupport::TempDir dir;
    fs::create_directory(dir / L"音乐");
    struct Case {
        std::wstring pick, expected;
    };
    const Case cases[] = {
        {(dir / L"音乐").wstring(), (dir / L"音乐").wstring()},
        {L"C:\\", L"C:\\"},  // a drive root keeps its backslash
    };
    for (const Case& c : cases) {
        std::wstring title;
        DialogRobot robot(PickFolder(c.pick, &title));
        const std::wstring chosen = ShowFolderDialog(nullptr, L"请选择你要设置的文件夹");
        EXPECT_FALSE(robot.TimedOut());
        EXPECT_EQ(CompareStringOrdinal(chosen.c_str(), -1, c.expected.c_str(), -1, TRUE), CSTR_EQUAL)
            << testing::PrintToString(chosen) << " for " << testing::PrintToString(c.pick);
        EXPECT_EQ(title, L"请选择你要设置的文件夹");
    }
}

TEST(FolderDialog, CancelReturnsEmpty) {
    DialogRobot robot({[](HWND dialog) {
        if (!IsFolderBrowser(dialog)) return false;
        Press(dialog, IDCANCEL);
        return true;
    }});
    EXPECT_EQ(ShowFolderDialog(nullptr, L"请选择你要设置的文件夹"), L"");
    EXPECT_TRUE(robot.Finished());
    EXPECT_FALSE(robot.TimedOut());
}

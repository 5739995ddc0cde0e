// Runs the real tarvolo.exe and uses it the way a person would: buttons are
// pressed, fields filled, message boxes answered, rows picked with the
// keyboard. After each step the catalogue file and the alias shortcuts are
// checked, and screenshots are saved for a person to look at.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/Driver.h"
#include "tests/e2e/ProgramCopy.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;

using namespace e2e;


class EndToEnd : public ProgramCopy {};

// Whether another program can create the file right now (and leave no trace).
bool CreatableAtOnce(const fs::path& file) {
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return DeleteFileW(file.c_str()) != FALSE;
}

TEST_F(EndToEnd, AddEditMoveDeleteExitAndRestart) {
    UsesAliases({L"e2enp", L"e2enp2", L"e2ewin"});

    const std::string np = AnsiLines({L"应用程序", L"e2enp", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本"});
    const std::string np2 = AnsiLines({L"应用程序", L"e2enp2", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"-x", L"记事本"});
    const std::string win = AnsiLines({L"文件夹", L"e2ewin", L"C:\\windows", L"C:\\windows", L"", L"系统目录"});
    {
        Tarvolo app(exe);
        ASSERT_TRUE(app.main) << "the main window did not appear";
        EXPECT_EQ(app.Rows(), 0);
        // What only a download, Browse or a screen reader needs is loaded
        // when one first asks, not with the window.
        ASSERT_TRUE(HasModule(app.pid(), L"user32.dll"));
        for (const wchar_t* later : {L"wininet.dll", L"comdlg32.dll", L"oleacc.dll"}) {
            EXPECT_FALSE(HasModule(app.pid(), later)) << testing::PrintToString(std::wstring(later));
        }
        Shot(L"01-main-empty");

        // Add a program.
        app.Click(frmMain::IdCmdAddP);
        HWND add = app.Dialog(L"添加应用程序");
        ASSERT_TRUE(add);
        Fill(add, L"C:\\windows\\notepad.exe", L"e2enp", L"C:\\windows\\", L"", L"记事本");
        Shot(L"02-add-program");
        Press(Child(add, EntryDialog::IdCmdOK));
        HWND box = app.Box();
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageText(box), L"添加成功，以后您只需在 开始--运行 里面直接输入“e2enp”便可运行该程序！");
        Shot(L"03-add-success");
        Answer(box, IDOK);
        ASSERT_TRUE(WaitFor([&] { return ReadBytes(catalogue) == np; }));
        EXPECT_TRUE(fs::exists(lnk(L"e2enp")));

        // Add a folder.
        app.Click(frmMain::IdCmdAddD);
        add = app.Dialog(L"添加文件夹");
        ASSERT_TRUE(add);
        Fill(add, L"C:\\windows", L"e2ewin", L"C:\\windows", L"", L"系统目录");
        Shot(L"04-add-folder");
        Press(Child(add, EntryDialog::IdCmdOK));
        box = app.Box();
        ASSERT_TRUE(box);
        Answer(box, IDOK);
        ASSERT_TRUE(WaitFor([&] { return ReadBytes(catalogue) == np + win; }));
        EXPECT_TRUE(fs::exists(lnk(L"e2ewin")));
        EXPECT_EQ(app.Rows(), 2);
        Shot(L"05-two-entries");

        // Edit the program: new name and arguments.
        ASSERT_TRUE(app.SelectRow(0));
        app.Click(frmMain::IdCmdEdit);
        HWND edit = app.Dialog(L"编辑应用程序");
        ASSERT_TRUE(edit);
        Shot(L"06-edit-program");
        SendMessageW(Child(edit, EntryDialog::IdTxtName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"e2enp2"));
        SendMessageW(Child(edit, EntryDialog::IdTxtArg), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-x"));
        Press(Child(edit, EntryDialog::IdCmdOK));
        ASSERT_TRUE(WaitFor([&] { return ReadBytes(catalogue) == np2 + win; }));
        EXPECT_FALSE(fs::exists(lnk(L"e2enp")));
        EXPECT_TRUE(fs::exists(lnk(L"e2enp2")));

        // The folder's edit dialog, looked at and cancelled.
        ASSERT_TRUE(app.SelectRow(1));
        app.Click(frmMain::IdCmdEdit);
        edit = app.Dialog(L"编辑文件夹");
        ASSERT_TRUE(edit);
        Shot(L"07-edit-folder");
        Press(Child(edit, EntryDialog::IdCommand2));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(edit); }));

        // Move the folder up: the list changes, the file waits for the next save.
        ASSERT_TRUE(app.SelectRow(1));
        app.Click(frmMain::IdCmdUp);
        ASSERT_TRUE(WaitFor([&] { return app.Selected() == 0; }));
        EXPECT_EQ(ReadBytes(catalogue), np2 + win);

        // Delete the folder, answering the question.
        app.Click(frmMain::IdCmdDel);
        box = app.Box();
        ASSERT_TRUE(box);
        EXPECT_EQ(MessageText(box), L"你真的要删除掉  e2ewin  吗？");
        Shot(L"08-delete-question");
        Answer(box, IDYES);
        ASSERT_TRUE(WaitFor([&] { return app.Rows() == 1; }));
        // The row goes last: by then the shortcut is gone for everyone, and
        // its name is free at once.
        EXPECT_FALSE(fs::exists(lnk(L"e2ewin")));
        EXPECT_TRUE(CreatableAtOnce(lnk(L"e2ewin")));

        // Exit saves.
        PostMessageW(app.main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.Exited());
        EXPECT_EQ(ReadBytes(catalogue), np2);
    }
    {
        // Restart: the catalogue is back; deleting the last entry removes the file.
        Tarvolo app(exe);
        ASSERT_TRUE(app.main);
        EXPECT_EQ(app.Rows(), 1);
        ASSERT_TRUE(app.SelectRow(0));
        app.Click(frmMain::IdCmdDel);
        HWND box = app.Box();
        ASSERT_TRUE(box);
        Answer(box, IDYES);
        ASSERT_TRUE(WaitFor([&] { return app.Rows() == 0; }));
        EXPECT_FALSE(fs::exists(catalogue));
        EXPECT_FALSE(fs::exists(lnk(L"e2enp2")));
        EXPECT_TRUE(CreatableAtOnce(catalogue));
        EXPECT_TRUE(CreatableAtOnce(lnk(L"e2enp2")));
        PostMessageW(app.main, WM_CLOSE, 0, 0);
        ASSERT_TRUE(app.Exited());
        EXPECT_FALSE(fs::exists(catalogue));
    }
    Tarvolo app(exe);
    ASSERT_TRUE(app.main);
    EXPECT_EQ(app.Rows(), 0);
    PostMessageW(app.main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Exited());
}

TEST_F(EndToEnd, ANameTheRunBoxOpensSomethingElseForIsWarnedAboutBeforeAnythingIsWritten) {
    UsesAliases({L"notepad"});
    Tarvolo app(exe);
    ASSERT_TRUE(app.main);
    app.Click(frmMain::IdCmdAddP);
    HWND add = app.Dialog(L"添加应用程序");
    ASSERT_TRUE(add);
    Fill(add, L"C:\\windows\\notepad.exe", L"notepad", L"C:\\windows\\", L"", L"记事本");
    Press(Child(add, EntryDialog::IdCmdOK));
    HWND box = app.Box();
    ASSERT_TRUE(box);
    EXPECT_NE(MessageText(box).find(L"system32\\notepad.exe"), std::wstring::npos);
    Shot(L"20-shadow-warning");
    Answer(box, IDNO);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindow(add));
    EXPECT_EQ(TextOf(Child(add, EntryDialog::IdTxtName)), L"notepad");
    EXPECT_FALSE(fs::exists(system / L"notepad.lnk"));
    EXPECT_FALSE(fs::exists(dir / L"applist.ini"));
    Press(Child(add, EntryDialog::IdCommand2));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(add); }));
    PostMessageW(app.main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Exited());
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_exe = testsupport::WinePathFromUnix(argv[1]);
    g_shots = argc > 2 ? testsupport::WinePathFromUnix(argv[2]) : fs::temp_directory_path().wstring();
    fs::create_directories(g_shots);
    testinput::SetPause(30);  // the program runs in another process: one event at a time
    return RUN_ALL_TESTS();
}

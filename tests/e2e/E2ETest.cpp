// Runs the real tarvolo.exe and uses it the way a person would: buttons are
// pressed, fields filled, message boxes answered, rows picked with the
// keyboard. After each step the catalogue file and the alias shortcuts are
// checked, and screenshots are saved for a person to look at.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/EntryDialog.h"
#include "app/frmMain.h"
#include "tests/e2e/Screen.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::ToAnsi;

namespace {

std::wstring g_exe;    // the program under test
std::wstring g_shots;  // where screenshots go

// Wine hands Unix paths through unchanged; its Z: drive is the Unix root.
std::wstring FromUnixPath(const char* path) {
    std::wstring out = testsupport::FromUtf8(path);
    if (!out.empty() && out[0] == L'/') {
        for (auto& c : out) c = c == L'/' ? L'\\' : c;
        out = L"Z:" + out;
    }
    return out;
}

std::string AnsiLines(std::initializer_list<std::wstring> lines) {
    std::string out;
    for (const auto& l : lines) out += ToAnsi(l) + "\r\n";
    return out;
}

template <class F>
bool WaitFor(F&& done, DWORD ms = 15000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

struct Found {
    DWORD pid;
    const wchar_t* cls;
    std::wstring title;
    HWND hwnd;
};

HWND FindTopLevel(DWORD pid, const wchar_t* cls, const std::wstring& title) {
    Found f{pid, cls, title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<Found*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {}, text[256] = {};
            GetClassNameW(w, cls, 64);
            GetWindowTextW(w, text, 256);
            if (owner == f->pid && IsWindowVisible(w) && lstrcmpiW(cls, f->cls) == 0 &&
                (f->title.empty() || f->title == text)) {
                f->hwnd = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

HWND WaitTopLevel(DWORD pid, const wchar_t* cls, const std::wstring& title = L"") {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(pid, cls, title)) != nullptr; });
    return found;
}

HWND Child(HWND parent, int id) {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<std::pair<int, HWND>*>(p);
            if (GetDlgCtrlID(w) != s->first) return TRUE;
            s->second = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The longest static text of a message box: its message.
std::wstring MessageText(HWND box) {
    std::wstring best;
    EnumChildWindows(
        box,
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[32] = {}, text[512] = {};
            GetClassNameW(w, cls, 32);
            GetWindowTextW(w, text, 512);
            auto* best = reinterpret_cast<std::wstring*>(p);
            if (lstrcmpiW(cls, L"Static") == 0 && wcslen(text) > best->size()) *best = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&best));
    return best;
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Answer(HWND box, int id) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void Shot(const std::wstring& name) {
    Sleep(300);  // let the window finish painting
    SaveScreenshot(g_shots + L"\\" + name + L".bmp");
}

class Tarvolo {
public:
    explicit Tarvolo(const fs::path& exe) {
        STARTUPINFOW si{sizeof(si)};
        std::wstring cmd = L"\"" + exe.wstring() + L"\"";
        const std::wstring dir = exe.parent_path().wstring();
        started_ = CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_);
        if (started_) main = WaitTopLevel(pi_.dwProcessId, L"TarvoloMain");
        if (main) list = Child(main, frmMain::IdList1);
    }
    ~Tarvolo() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Tarvolo(const Tarvolo&) = delete;
    Tarvolo& operator=(const Tarvolo&) = delete;

    DWORD pid() const { return pi_.dwProcessId; }
    bool Exited(DWORD ms = 15000) const { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
    void Click(int id) { Press(Child(main, id)); }
    int Rows() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    int Selected() const {
        return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    // Picks a row with the keyboard, as a person could.
    void SelectRow(int row) {
        SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
        for (int i = 0; i < row; ++i) SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    }
    HWND Dialog(const std::wstring& caption) { return WaitTopLevel(pid(), L"TarvoloEntryDialog", caption); }
    HWND Box() { return WaitTopLevel(pid(), L"#32770", L"Tarvolo"); }

    HWND main = nullptr;
    HWND list = nullptr;

private:
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

void Fill(HWND dialog, const std::wstring& path, const std::wstring& name, const std::wstring& work,
          const std::wstring& args, const std::wstring& comment) {
    SendMessageW(Child(dialog, EntryDialog::IdTxtPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtWork), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(work.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtArg), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.c_str()));
    SendMessageW(Child(dialog, EntryDialog::IdTxtCom), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(comment.c_str()));
}

}  // namespace

TEST(EndToEnd, AddEditMoveDeleteExitAndRestart) {
    ASSERT_FALSE(g_exe.empty());
    testsupport::TempDir dir;
    const fs::path exe = dir / L"tarvolo.exe";
    fs::copy_file(g_exe, exe);
    const fs::path catalogue = dir / L"applist.ini";
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    const fs::path system = fs::path(windows) / L"system";
    ASSERT_TRUE(fs::is_directory(system)) << "the test prefix needs C:\\windows\\system";
    const auto lnk = [&](const std::wstring& name) { return system / (name + L".lnk"); };
    for (const wchar_t* n : {L"e2enp", L"e2enp2", L"e2ewin"}) fs::remove(lnk(n));

    const std::string np = AnsiLines({L"应用程序", L"e2enp", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本"});
    const std::string np2 = AnsiLines({L"应用程序", L"e2enp2", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"-x", L"记事本"});
    const std::string win = AnsiLines({L"文件夹", L"e2ewin", L"C:\\windows", L"C:\\windows", L"", L"系统目录"});
    {
        Tarvolo app(exe);
        ASSERT_TRUE(app.main) << "the main window did not appear";
        EXPECT_EQ(app.Rows(), 0);
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
        app.SelectRow(0);
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
        app.SelectRow(1);
        app.Click(frmMain::IdCmdEdit);
        edit = app.Dialog(L"编辑文件夹");
        ASSERT_TRUE(edit);
        Shot(L"07-edit-folder");
        Press(Child(edit, EntryDialog::IdCommand2));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(edit); }));

        // Move the folder up: the list changes, the file waits for the next save.
        app.SelectRow(1);
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
        EXPECT_FALSE(fs::exists(lnk(L"e2ewin")));

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
        app.SelectRow(0);
        app.Click(frmMain::IdCmdDel);
        HWND box = app.Box();
        ASSERT_TRUE(box);
        Answer(box, IDYES);
        ASSERT_TRUE(WaitFor([&] { return app.Rows() == 0; }));
        EXPECT_FALSE(fs::exists(catalogue));
        EXPECT_FALSE(fs::exists(lnk(L"e2enp2")));
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

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_exe = FromUnixPath(argv[1]);
    g_shots = argc > 2 ? FromUnixPath(argv[2]) : fs::temp_directory_path().wstring();
    fs::create_directories(g_shots);
    return RUN_ALL_TESTS();
}

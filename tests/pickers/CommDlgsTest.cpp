#include "pickers/CommDlgs.h"

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

bool HasClass(HWND w, const wchar_t* name) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return lstrcmpiW(cls, name) == 0;
}

// The dialog that has the user's attention: the first visible, enabled
// dialog of this thread in z-order (a message box above its file dialog).
HWND ActiveDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM out) -> BOOL {
            if (HasClass(w, L"#32770") && IsWindowVisible(w) && IsWindowEnabled(w)) {
                *reinterpret_cast<HWND*>(out) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindDescendant(HWND parent, const wchar_t* cls) {
    struct Search {
        const wchar_t* cls;
        HWND found;
    } search{cls, nullptr};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (!HasClass(w, s->cls)) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND w) {
    wchar_t text[512] = {};
    GetWindowTextW(w, text, 512);
    return text;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The file-name box of the file dialog, an edit or the edit of a combo box.
HWND FileNameBox(HWND dialog) {
    if (HWND edit = GetDlgItem(dialog, edt1)) return edit;
    return GetDlgItem(dialog, cmb13);
}

// Plays a person at a modal dialog from a thread timer, which the dialog's
// own message loop dispatches. Each step gets the active dialog and returns
// true when done; a step that never finishes is cut off by cancelling every
// dialog after a few seconds, so a broken dialog fails the test instead of
// hanging it.
class DialogRobot {
public:
    using Step = std::function<bool(HWND dialog)>;

    explicit DialogRobot(std::vector<Step> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, &DialogRobot::Tick);
    }
    ~DialogRobot() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    DialogRobot(const DialogRobot&) = delete;
    DialogRobot& operator=(const DialogRobot&) = delete;

    bool Finished() const { return next_ == steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogRobot* const self = current_;
        if (!self || self->busy_) return;
        self->busy_ = true;  // a step's own message box may tick us again
        if (++self->ticks_ > 200) {
            self->timedOut_ = true;
            if (HWND dialog = ActiveDialog()) Press(dialog, IDCANCEL);
        } else if (HWND dialog = ActiveDialog(); dialog && self->next_ < self->steps_.size()) {
            if (self->steps_[self->next_](dialog)) ++self->next_;
        }
        self->busy_ = false;
    }

    static inline DialogRobot* current_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool busy_ = false;
    bool timedOut_ = false;
};

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

namespace {

bool IsFolderBrowser(HWND dialog) { return FindDescendant(dialog, WC_TREEVIEWW) != nullptr; }

// Selects `folder` in the browser, then presses OK once the selection has
// left the desktop root. The first browser of a process fills its tree
// slowly, and a selection sent too early is lost, so it is sent again.
std::vector<DialogRobot::Step> PickFolder(const std::wstring& folder, std::wstring* title) {
    const auto select = [folder](HWND dialog) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    };
    return {[=](HWND dialog) {
                const HWND tree = FindDescendant(dialog, WC_TREEVIEWW);
                if (!tree || TreeView_GetCount(tree) == 0) return false;
                for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
                    if (HasClass(w, L"Static") && TextOf(w) == L"请选择你要设置的文件夹") *title = TextOf(w);
                }
                select(dialog);
                return true;
            },
            [=](HWND dialog) {
                const HWND tree = FindDescendant(dialog, WC_TREEVIEWW);
                const HTREEITEM selected = TreeView_GetSelection(tree);
                if (!selected || !TreeView_GetParent(tree, selected)) {
                    select(dialog);
                    return false;
                }
                Press(dialog, IDOK);
                return true;
            }};
}

}  // namespace

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

#pragma once
// Plays a person at the program's modal dialogs (file dialog, folder
// browser, message boxes) from a thread timer that the dialog's own message
// loop dispatches.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

inline bool HasClass(HWND w, const wchar_t* name) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    return lstrcmpiW(cls, name) == 0;
}

// The dialog that has the user's attention: the first visible, enabled
// dialog of this thread in z-order (a message box above its file dialog).
inline HWND ActiveDialog() {
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

inline HWND FindDescendant(HWND parent, const wchar_t* cls) {
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

inline std::wstring TextOf(HWND w) {
    wchar_t text[512] = {};
    GetWindowTextW(w, text, 512);
    return text;
}

inline void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The file-name box of the file dialog, an edit or the edit of a combo box.
inline HWND FileNameBox(HWND dialog) {
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


inline bool IsFolderBrowser(HWND dialog) { return FindDescendant(dialog, WC_TREEVIEWW) != nullptr; }

// Selects `folder` in the browser, then presses OK once the selection has
// left the desktop root. The first browser of a process fills its tree
// slowly, and a selection sent too early is lost, so it is sent again.
inline std::vector<DialogRobot::Step> PickFolder(const std::wstring& folder, std::wstring* title) {
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


}  // namespace testsupport

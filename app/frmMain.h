#pragma once
// The main window: the catalogue list, the command buttons, the tray icon and
// its menu. The list's rows are the catalogue itself.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/BackgroundAliasCheck.h"
#include "app/CatalogueSaver.h"
#include "app/DropOpener.h"
#include "app/EntryDialog.h"
#include "app/EntryHost.h"
#include "app/Launcher.h"
#include "app/ListIcons.h"
#include "app/ListKeys.h"
#include "app/ListView.h"
#include "app/MainLayout.h"
#include "app/TrayIcon.h"
#include "catalogue/CatalogueFile.h"
#include "controls/XLinkLabel.h"
#include "frame/cOrvane.h"
#include "controls/downloader.h"
#include "plumbing/GdiGuards.h"
#include "plumbing/RefCounted.h"
#include "plumbing/StdFont.h"

class frmMain : public EntryHost {
public:
    static constexpr UINT WM_TRAYICON = WM_USER + 376;  // 1400
    // Posted when an entry dialog has closed, so the list gets the focus
    // back (and the next dropped item opens) after the dialog's own handler.
    static constexpr UINT WM_DIALOGCLOSED = WM_APP + 1;
    // Posted by the start-up alias check's thread when its inspection is done.
    static constexpr UINT WM_ALIASESCHECKED = WM_APP + 2;
    // Posted by the icon look-ups when icons for the list are waiting.
    static constexpr UINT WM_ICONSFOUND = WM_APP + 3;
    static constexpr COLORREF kBackColor = RGB(207, 203, 207);

    struct Options {
        std::wstring catalogueFolder;  // default: the executable's folder
        bool quitOnDestroy = true;     // the program ends with this window
        bool show = true;
        bool checkAliases = true;      // the alias health check after the catalogue loads, in the background
        std::wstring windowsFolder;    // default: the system's Windows directory
    };

    frmMain();
    explicit frmMain(Options options);
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Creates the window and its controls and runs the load handler.
    bool Create();
    HWND hWnd() const { return hwnd_; }

    // State the entry dialogs read and write.
    ListView List1;
    // The rows' icons; their size follows the window's DPI (SetIconDpi).
    ListIcons& Icons() { return icons_; }
    std::wstring Windir;
    std::wstring TxtIsMenuClick;

    // Public operations.
    bool CmdTmp_Click();   // saves the catalogue; false when it could not be saved
    bool CmdTmp2_Click();  // tray icon and tray hook; false when the icon could not be added
    void ClearWindow();
    void sho_Click();
    void end_Click();

    // Event handlers.
    void List1_DblClick();
    void Timer1_Timer();
    void CmdAddP_Click();
    void CmdAddD_Click();
    void mnuaddProgram_Click();
    void mnuAddFolder_Click();
    void CmdEdit_Click();
    void CmdDel_Click();
    void CmdUp_Click();
    void CmdDown_Click();
    // Runs the unload handler; false when the user chose to stay.
    bool Form_Unload();

    std::wstring CataloguePath() const;
    HICON Icon() const override { return iconBig_.get(); }
    HICON SmallIcon() const override { return iconSmall_.get(); }
    HMENU PopupMenu() const;  // the tray menu `mnu`
    bool InTray() const { return tray_.Shown(); }
    bool Timer1Enabled() const { return timerEnabled_; }
    // The start-up alias check has not asked (or decided to stay silent) yet.
    bool AliasCheckPending() const { return aliasCheck_.Pending(); }
    // Where double-click sends an entry; replaceable so tests open nothing.
    void SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

    // Runs the list's own keys (Delete, Enter, F2, Ctrl+Up, Ctrl+Down) and
    // routes dialog keys (Tab, Enter, Esc) of this window and its open dialogs.
    bool PreTranslateMessage(MSG& msg);
    // Dropped files and folders still waiting for their add dialog.
    const DropQueue& Drops() const { return drops_->Queue(); }

    // The entry dialogs, at most one of each, loaded on first show.
    EntryDialog& FrmAddP() { return *dialogs_[0]; }
    EntryDialog& FrmEditP() { return *dialogs_[1]; }
    EntryDialog& FrmAddD() { return *dialogs_[2]; }
    EntryDialog& FrmEditD() { return *dialogs_[3]; }

    // The author's two links and the (never started) download control.
    static constexpr wchar_t kAuthorSite[] = L"https://doravel.example.com/";
    static constexpr wchar_t kShopPage[] = L"https://shop.doravel.example.com/";
    Ref<XLinkLabel> XLinkLabel1;
    Ref<XLinkLabel> xLabel2;
    Ref<downloader> downloader1;
    // The caption painter, held for the window's whole life.
    Ref<cOrvane> Painter() const { return painter_; }

    // Control handles, for tests and the frame.
    HWND Control(int id) const {
        return id >= IdFrame1 && id <= IdxLabel2 ? controls_[static_cast<size_t>(id - IdFrame1)] : nullptr;
    }
    // The DPI the window is laid out and drawn for: its monitor's, taken
    // from WM_DPICHANGED when it moves to a monitor of another DPI.
    int Dpi() const { return dpi_; }

    enum ControlId : int {
        IdFrame1 = 100, IdFrame2, IdFrame3, IdLabel5, IdList1, IdCmdUp, IdCmdDown,
        IdCmdAddP, IdCmdAddD, IdCmdEdit, IdCmdDel, IdLabel2, IdXLinkLabel1, IdxLabel2,
        IdSho = 1001, IdMnuAddProgram, IdMnuAddFolder, IdEnd, IdMnuCheckAliases,
    };

    // What the entry dialogs use of this window.
    LPARAM SelectedEntry() const override;
    bool HasEntry(LPARAM entry) const override;
    bool ReadEntry(LPARAM entry, EntryFields& fields) const override;
    bool NameTaken(const std::wstring& name, LPARAM except) const override;
    LPARAM CommitEntry(LPARAM entry, const std::wstring& kind, const EntryFields& fields) override;
    void ShowEntry(LPARAM entry, bool focus) override;
    void EntryDialogClosed(EntryKind kind, LPARAM entry) override;
    const std::wstring& WindowsFolder() const override { return Windir; }
    bool CommandFromTray() const override { return TxtIsMenuClick != L"0"; }
    void FilesDropped(HDROP drop) override;
    Placement DialogPlacement() const override;

private:
    template <class T>
    friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
    void TrayIcon_Mouse(LPARAM mouseMessage);
    void RunListKey(ListKey key);
    void ReturnToList(EntryKind kind, LPARAM entry);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Form_Load();
    void SetupCaption();
    void FitClientArea();
    // Lays the client area out for dpi: every control's place and size, the
    // list's column widths, and the fonts of the controls and the links,
    // made for dpi. Run when the controls are made and again at every DPI
    // change, so a fresh start and a return to the first DPI look the same.
    // What else depends on the DPI of the client (the list's icon size)
    // belongs here.
    void LayoutForDpi(int dpi);
    // WM_DPICHANGED: the frame, then the client, then the window to the
    // rectangle the system suggests.
    void OnDpiChanged(int dpi, const RECT& suggested);

    void CreateLinks(HWND frame3);
    void LoadCatalogue();
    void StartAliasCheck();
    void AliasesChecked(WPARAM run);
    void OnCommand(int id);
    void SetTimer1(bool enabled);
    int Px(int twips) const;
    HWND MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id);
    // Remembers a control of the layout by its id; returns it.
    HWND Keep(int id, HWND control);

    Options options_;
    HWND hwnd_ = nullptr;
    OwnedIcon iconBig_;
    OwnedIcon iconSmall_;
    HMENU menu_ = nullptr;  // menu bar holding the popup `mnu`
    GdiObject<HBRUSH> backBrush_;
    Ref<cOrvane> painter_;
    Ref<StdFont> labelFont_;
    Ref<StdFont> uiFont_;
    ListIcons icons_;
    MainLayout layout_;  // holds the controls' fonts at dpi_
    int dpi_ = 96;
    std::array<HWND, IdxLabel2 - IdFrame1 + 1> controls_{};  // by id, from IdFrame1 on
    bool timerEnabled_ = false;
    bool unloaded_ = false;
    CatalogueSaver saver_;
    UINT taskbarCreated_ = 0;
    TrayIcon tray_{WM_TRAYICON, L"Tarvolo"};
    Launcher launcher_ = Launcher::System();
    std::unique_ptr<EntryDialog> dialogs_[4];
    std::unique_ptr<DropOpener> drops_;
    BackgroundAliasCheck aliasCheck_;
};

#include "app/frmMain.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/AliasCheck.h"
#include "app/CatalogueList.h"
#include "app/DropTarget.h"
#include "app/FrameBox.h"
#include "app/MainLayout.h"
#include "app/MainSkin.h"
#include "app/ObjectWindowProc.h"
#include "app/Prompt.h"
#include "app/SingleInstance.h"
#include "catalogue/AliasStore.h"
#include "catalogue/SystemCodePages.h"
#include "plumbing/DpiAware.h"
#include "plumbing/SystemInfo.h"
#include "resources/resource.h"

namespace {

constexpr wchar_t kClassName[] = L"TarvoloMain";
constexpr wchar_t kCaption[] = L" TarvoloV1.2";
constexpr UINT_PTR kTimer1 = 1;
// Retries the start-up question while another message box is open.
constexpr UINT_PTR kAliasQuestionTimer = 2;

}  // namespace

frmMain::frmMain() : frmMain(Options{}) {}

frmMain::frmMain(Options options)
    : options_(std::move(options)),
      saver_(SystemCodePages()) {
    if (options_.catalogueFolder.empty()) options_.catalogueFolder = ExecutableFolder();
    dialogs_[0] = std::make_unique<EntryDialog>(*this, EntryDialog::Kind::AddP);
    dialogs_[1] = std::make_unique<EntryDialog>(*this, EntryDialog::Kind::EditP);
    dialogs_[2] = std::make_unique<EntryDialog>(*this, EntryDialog::Kind::AddD);
    dialogs_[3] = std::make_unique<EntryDialog>(*this, EntryDialog::Kind::EditD);
    drops_ = std::make_unique<DropOpener>(FrmAddP(), FrmAddD());
}

frmMain::~frmMain() {
    for (auto& dialog : dialogs_) dialog->Unload();
    if (hwnd_) {
        ClearWindow();
        DestroyWindow(hwnd_);
    }
    if (menu_ && !IsMenu(menu_)) menu_ = nullptr;
    if (menu_) DestroyMenu(menu_);
}

std::wstring frmMain::CataloguePath() const { return CataloguePathFor(options_.catalogueFolder); }

int frmMain::Px(int twips) const { return MulDiv(twips, dpi_, 1440); }

EntryHost::Placement frmMain::DialogPlacement() const {
    // Over the window while it is in sight: the monitor it is on is where
    // the user works, and its DPI is the window's.
    if (hwnd_ && IsWindowVisible(hwnd_) && !IsIconic(hwnd_)) return Placement{hwnd_, dpi_};
    return {};
}

HWND frmMain::Keep(int id, HWND control) {
    if (id >= IdFrame1 && id <= IdxLabel2) controls_[static_cast<size_t>(id - IdFrame1)] = control;
    return control;
}

HMENU frmMain::PopupMenu() const { return GetSubMenu(menu_, 0); }

bool frmMain::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // For the task bar and the notification area, which are the system's
    // and drawn at its DPI, wherever the window is.
    iconBig_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TARVOLO), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    iconSmall_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TARVOLO), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    backBrush_.reset(CreateSolidBrush(kBackColor));
    RegisterObjectClass<frmMain>(instance, kClassName);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");

    // Sized for the system's DPI; where the window opens decides its own,
    // and the load handler fits the client area to it.
    dpi_ = SystemDpi();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    RECT rc{0, 0, Px(MainLayout::kClientWidth), Px(MainLayout::kClientHeight)};
    AdjustWindowRectForDpi(rc, style, false, WS_EX_CONTROLPARENT, dpi_);
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.get()));
    Form_Load();
    return true;
}

HWND frmMain::MakeControl(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    // Placed, sized and given its font by LayoutForDpi.
    return Keep(id, CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                    nullptr));
}

void frmMain::CreateControls() {
    dpi_ = WindowDpi(hwnd_);
    labelFont_ = MakeRef<StdFont>(L"宋体", 10.5);
    uiFont_ = MakeRef<StdFont>(L"宋体", 9);

    HWND frame1 = Keep(IdFrame1, FrameBox::Create(hwnd_, IdFrame1, 0, 0, 0, 0));
    MakeControl(frame1, L"STATIC", L"“运行”菜单内容列表（双击运行）", SS_LEFT | SS_NOPREFIX, IdLabel5);
    HWND list = MakeControl(frame1, WC_LISTVIEWW, L"",
                            WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, IdList1);
    List1.Attach(list);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    MainLayout::AddColumns(List1, dpi_);
    icons_.Attach(List1, hwnd_, WM_ICONSFOUND, dpi_);
    // Captions wrap at the blanks into one character per line.
    MakeControl(frame1, L"BUTTON", L"上       移", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, IdCmdUp);
    MakeControl(frame1, L"BUTTON", L"下     移", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, IdCmdDown);

    HWND frame2 = Keep(IdFrame2, FrameBox::Create(hwnd_, IdFrame2, 0, 0, 0, 0));
    MakeControl(frame2, L"BUTTON", L"添加程序", BS_PUSHBUTTON | WS_TABSTOP, IdCmdAddP);
    MakeControl(frame2, L"BUTTON", L"添加文件夹", BS_PUSHBUTTON | WS_TABSTOP, IdCmdAddD);
    MakeControl(frame2, L"BUTTON", L"编辑项目", BS_PUSHBUTTON | WS_TABSTOP, IdCmdEdit);
    MakeControl(frame2, L"BUTTON", L"删除项目", BS_PUSHBUTTON | WS_TABSTOP, IdCmdDel);

    HWND frame3 = Keep(IdFrame3, FrameBox::Create(hwnd_, IdFrame3, 0, 0, 0, 0));
    MakeControl(frame3, L"STATIC", L"作者：", SS_LEFT | SS_NOPREFIX, IdLabel2);
    CreateLinks(frame3);
    LayoutForDpi(dpi_);

    // The tray popup `mnu`: a top-level item holding the commands.
    menu_ = CreateMenu();
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, IdSho, L"显示主界面");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, IdMnuAddProgram, L"添加程序");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, IdMnuAddFolder, L"添加文件夹");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, IdMnuCheckAliases, L"检查别名(&C)...");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, IdEnd, L"退出程序");
    // The caption menu bar draws this item and opens it with Alt+M; an empty
    // caption would leave it invisible and out of the keyboard's reach.
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), L"菜单(&M)");
    SetMenu(hwnd_, menu_);
}

void frmMain::LayoutForDpi(int dpi) {
    dpi_ = dpi;
    layout_.Apply(dpi, [this](int id) { return Control(id); }, List1.hWnd(), *uiFont_, *labelFont_);
    icons_.SetIconDpi(dpi);
    for (const Ref<XLinkLabel>& link : {XLinkLabel1, xLabel2}) {
        if (link) link->Dpi(dpi);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void frmMain::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    if (painter_) painter_->Dpi(dpi);
    LayoutForDpi(dpi);
    // The frame is measured again with the move, also where the rectangle
    // happens to stay the same.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void frmMain::CreateLinks(HWND frame3) {
    // The links' saved properties: everything else keeps the control's default.
    const auto saved = [](const std::wstring& caption, const std::wstring& url, double size) {
        PropertyBag bag;
        bag.Set(L"Font", MakeRef<StdFont>(L"宋体", size));
        bag.Set(L"NormTextColor", OLE_COLOR{RGB(255, 0, 0)});
        bag.Set(L"HoverTextColor", OLE_COLOR{RGB(255, 0, 0)});
        bag.Set(L"URL", url);
        bag.Set(L"Caption", caption);
        return bag;
    };
    ControlAmbient ambient;
    ambient.Font = uiFont_;
    ambient.BackColor = kBackColor;
    ambient.ForeColor = RGB(0, 0, 0);
    ambient.Name = L"XLinkLabel1";
    XLinkLabel1 = XLinkLabel::Create(frame3, 0, 0, 0, 0, ambient, IdXLinkLabel1);
    Keep(IdXLinkLabel1, XLinkLabel1->hWnd());
    XLinkLabel1->UserControl_ReadProperties(saved(L"Doravel", kAuthorSite, 10.5));
    ambient.Name = L"xLabel2";
    xLabel2 = XLinkLabel::Create(frame3, 0, 0, 0, 0, ambient, IdxLabel2);
    Keep(IdxLabel2, xLabel2->hWnd());
    xLabel2->UserControl_ReadProperties(saved(kShopPage, kShopPage, 12));
    // Ready for use, but nothing here starts a download.
    downloader1 = downloader::Create();
}

void frmMain::SetupCaption() {
    // The painter copies the pictures; they are not needed afterwards.
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const GdiObject<HBITMAP> caption(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_CAPTION), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const GdiObject<HBITMAP> border(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_BORDER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!caption || !border) return;  // no skin: the standard frame stays

    painter_ = AttachMainSkin(hwnd_, caption.get(), border.get(), kBackColor, dpi_);
}

void frmMain::FitClientArea() {
    // Whatever frame the window wears (skinned, or the system's with its
    // menu bar), the client area keeps the size the layout was made for.
    RECT window, client;
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0, (window.right - window.left) + (Px(MainLayout::kClientWidth) - client.right),
                 (window.bottom - window.top) + (Px(MainLayout::kClientHeight) - client.bottom),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::Form_Load() {
    TxtIsMenuClick = L"0";
    SetupCaption();
    FitClientArea();
    for (int frame : {IdFrame1, IdFrame2, IdFrame3}) FrameBox::SetBackColor(Control(frame), kBackColor);
    InvalidateRect(Control(IdLabel2), nullptr, TRUE);
    xLabel2->BackColor(kBackColor);
    XLinkLabel1->BackColor(kBackColor);

    wchar_t windows[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    Windir.assign(windows, n < MAX_PATH ? n : 0);
    if (!options_.windowsFolder.empty()) Windir = options_.windowsFolder;

    if (options_.show) {
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
    }
    SetFocus(List1.hWnd());
    AcceptDrops(hwnd_);  // anywhere on the window, the list included
    LoadCatalogue();
    // In the background: a large catalogue takes seconds to check, and the
    // window is there to be used meanwhile.
    if (options_.checkAliases) StartAliasCheck();
    SetTimer1(true);
}

void frmMain::StartAliasCheck() {
    std::vector<Entry> entries = ListedEntries(List1);
    // An empty catalogue has nothing to check.
    if (entries.empty()) return;
    aliasCheck_.Start(hwnd_, WM_ALIASESCHECKED, std::move(entries), Windir, {}, List1.Changes());
}

void frmMain::AliasesChecked(WPARAM run) {
    if (!aliasCheck_.IsCurrent(run)) return;  // stopped since: the menu command or the window's end
    if (PromptShowing()) {
        // Asked once the open message box is answered, not stacked on it.
        ::SetTimer(hwnd_, kAliasQuestionTimer, 250, nullptr);
        return;
    }
    std::optional<BackgroundAliasCheck::Result> result = aliasCheck_.Take();
    if (!result) return;
    if (result->listChanges != List1.Changes()) {
        // Rows were added, edited, deleted or moved meanwhile: the findings
        // may name entries that are gone or changed. Check what is there now.
        StartAliasCheck();
        return;
    }
    AliasStore store(Windir);
    ReportAliasFindings(hwnd_, result->entries, result->findings, store, AliasCheckTrigger::StartUp);
}

void frmMain::LoadCatalogue() {
    const std::wstring path = CataloguePath();
    // Only one copy works on a catalogue, so temporaries left by a save that
    // was cut short (a crash, a power cut) are ours to clear.
    RemoveStaleTemporaries(path);
    CatalogueLoad load = LoadCatalogueFile(path, saver_.Codec());
    if (load.state == CatalogueLoad::State::Unreadable) {
        // Whatever is in the file stays there: saving is refused for this run.
        saver_.Refuse(load.reason);
        Prompt(hwnd_,
               L"无法读取列表文件“" + path + L"”：\r\n" + load.reason +
                   L"\r\n\r\n列表将以空白开始；为保护原文件，本次运行不会覆盖它。",
               kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (load.state == CatalogueLoad::State::Absent) return;
    FillList(List1, load.rows);
}

bool frmMain::CmdTmp_Click() {
    const int count = List1.Count();
    if (count == 0) return true;  // an empty catalogue is the absence of the file
    return saver_.Save(hwnd_, List1, CataloguePath());
}

bool frmMain::CmdTmp2_Click() {
    // Without an icon a hidden window could never be brought back.
    return tray_.Add(hwnd_, iconSmall_.get(), [this](LPARAM mouseMessage) { TrayIcon_Mouse(mouseMessage); });
}

void frmMain::ClearWindow() { tray_.Remove(); }

void frmMain::TrayIcon_Mouse(LPARAM mouseMessage) {
    if (mouseMessage == WM_RBUTTONUP) {
        POINT pt;
        GetCursorPos(&pt);
        // Foreground first, so the menu closes when the user clicks elsewhere.
        SetForegroundWindow(hwnd_);
        TrackPopupMenu(PopupMenu(), 0, pt.x, pt.y, 0, hwnd_, nullptr);
        PostMessageW(hwnd_, WM_NULL, 0, 0);
    } else if (mouseMessage == WM_LBUTTONDBLCLK) {
        sho_Click();
    }
}

void frmMain::sho_Click() {
    ClearWindow();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    SetTimer1(true);
}

void frmMain::end_Click() {
    if (!Form_Unload()) return;
    for (auto& dialog : dialogs_) dialog->Unload();
    DestroyWindow(hwnd_);
}

bool frmMain::Form_Unload() {
    if (unloaded_) return true;
    if (!CmdTmp_Click()) {
        const int answer = Prompt(hwnd_, L"列表没有保存，退出后本次的修改将会丢失。\r\n\r\n仍然退出吗？", kAppTitle,
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (answer != IDYES) return false;
    }
    ClearWindow();
    unloaded_ = true;
    return true;
}

void frmMain::SetTimer1(bool enabled) {
    if (enabled && !timerEnabled_) ::SetTimer(hwnd_, kTimer1, 500, nullptr);
    if (!enabled && timerEnabled_) KillTimer(hwnd_, kTimer1);
    timerEnabled_ = enabled;
}

void frmMain::Timer1_Timer() {
    if (!IsIconic(hwnd_)) return;
    // The icon goes in first: if the shell refuses it, the window stays
    // minimized in the task bar instead of vanishing, and the next tick retries.
    if (!CmdTmp2_Click()) return;
    ShowWindow(hwnd_, SW_HIDE);
    SetTimer1(false);
}

void frmMain::List1_DblClick() {
    const int row = List1.Selected();
    if (row < 0) return;
    const std::wstring kind = List1.SubItem(row, 1);
    // The list keeps what was typed (%windir%\notepad.exe); what opens is the real file.
    const std::wstring path = ExpandedPath(List1.SubItem(row, 3));
    if (kind == kKindFolder) {
        if (launcher_.OpenFolder) launcher_.OpenFolder(hwnd_, path);
    } else {
        if (launcher_.StartProgram) launcher_.StartProgram(path);
    }
}

void frmMain::CmdAddP_Click() {
    TxtIsMenuClick = L"0";
    FrmAddP().Show();
}

void frmMain::CmdAddD_Click() {
    TxtIsMenuClick = L"0";
    FrmAddD().Show();
}

void frmMain::mnuaddProgram_Click() {
    CmdAddP_Click();
    TxtIsMenuClick = L"1";  // the dialog is modeless: this is in place while it is open
}

void frmMain::mnuAddFolder_Click() {
    CmdAddD_Click();
    TxtIsMenuClick = L"1";
}

void frmMain::CmdEdit_Click() {
    const int row = List1.Selected();
    if (row < 0) return;
    if (List1.SubItem(row, 1) == kKindProgram) {
        FrmEditP().Show();
    } else {
        FrmEditD().Show();
    }
}

void frmMain::CmdDel_Click() {
    const int row = List1.Selected();
    if (row < 0) return;
    const std::wstring name = List1.SubItem(row, 2);
    if (Prompt(hwnd_, L"你真的要删除掉  " + name + L"  吗？", kAppTitle, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    // Failures are ignored step by step: the row goes whatever happens to the files.
    // Both folders: a stale copy in the other one goes too.
    AliasStore(Windir).Delete(name);
    // The save leaves the file alone when the list is empty, so the last
    // entry takes the file with it -- unless the file could not be read at
    // start-up, in which case it is not ours to remove.
    if (List1.Count() == 1 && !saver_.Refused()) DeleteFileW(CataloguePath().c_str());
    List1.DeleteRow(row);
}

void frmMain::CmdUp_Click() {
    const int row = List1.Selected();
    if (row <= 0) return;
    List1.SwapRows(row, row - 1, kFieldCount);
    SetFocus(List1.hWnd());
    List1.Select(row - 1);
    InvalidateRect(List1.hWnd(), nullptr, TRUE);
}

void frmMain::CmdDown_Click() {
    const int row = List1.Selected();
    if (row < 0 || row >= List1.Count() - 1) return;
    List1.SwapRows(row, row + 1, kFieldCount);
    SetFocus(List1.hWnd());
    List1.Select(row + 1);
    InvalidateRect(List1.hWnd(), nullptr, TRUE);
}

LPARAM frmMain::SelectedEntry() const {
    const int row = List1.Selected();
    return row < 0 ? 0 : List1.RowId(row);
}

bool frmMain::HasEntry(LPARAM entry) const { return entry && List1.FindRow(entry) >= 0; }

bool frmMain::ReadEntry(LPARAM entry, EntryFields& fields) const {
    const int row = entry ? List1.FindRow(entry) : -1;
    if (row < 0) return false;
    fields = RowFields(List1, row);
    return true;
}

bool frmMain::NameTaken(const std::wstring& name, LPARAM except) const { return FindName(List1, name, except) >= 0; }

LPARAM frmMain::CommitEntry(LPARAM entry, const std::wstring& kind, const EntryFields& fields) {
    entry = WriteEntry(List1, entry, kind, fields);
    if (entry) CmdTmp_Click();
    return entry;
}

void frmMain::ShowEntry(LPARAM entry, bool focus) {
    if (focus) SetFocus(List1.hWnd());
    const int row = entry ? List1.FindRow(entry) : -1;
    if (row >= 0) List1.Select(row);
}

void frmMain::EntryDialogClosed(EntryKind kind, LPARAM entry) {
    if (hwnd_) PostMessageW(hwnd_, WM_DIALOGCLOSED, static_cast<WPARAM>(kind), entry);
}

void frmMain::ReturnToList(EntryKind kind, LPARAM entry) {
    // A hidden or minimized window, or one an add from the tray left alone, keeps its focus.
    const bool add = kind == EntryKind::AddP || kind == EntryKind::AddD;
    if (!IsWindowVisible(hwnd_) || IsIconic(hwnd_) || (add && CommandFromTray())) return;
    ShowEntry(HasEntry(entry) ? entry : SelectedEntry(), true);
}

void frmMain::FilesDropped(HDROP drop) { drops_->Take(drop); }

void frmMain::RunListKey(ListKey key) {
    // The keys do what their buttons (and Enter what a double-click) do.
    switch (key) {
    case ListKey::Open: List1_DblClick(); break;
    case ListKey::Delete: OnCommand(IdCmdDel); break;
    case ListKey::Edit: OnCommand(IdCmdEdit); break;
    case ListKey::MoveUp: OnCommand(IdCmdUp); break;
    case ListKey::MoveDown: OnCommand(IdCmdDown); break;
    case ListKey::None: break;
    }
}

void frmMain::OnCommand(int id) {
    switch (id) {
    case IdCmdAddP: CmdAddP_Click(); break;
    case IdCmdAddD: CmdAddD_Click(); break;
    case IdCmdEdit: CmdEdit_Click(); break;
    case IdCmdDel:
        CmdDel_Click();
        SetFocus(List1.hWnd());  // back from the question
        break;
    case IdCmdUp: CmdUp_Click(); break;
    case IdCmdDown: CmdDown_Click(); break;
    case IdSho: sho_Click(); break;
    case IdMnuAddProgram: mnuaddProgram_Click(); break;
    case IdMnuAddFolder: mnuAddFolder_Click(); break;
    case IdEnd: end_Click(); break;
    case IdMnuCheckAliases:
        // The command answers for the start-up check too: one question, not two.
        aliasCheck_.Stop();
        CheckAliases(hwnd_, List1, Windir, AliasCheckTrigger::Command);
        break;
    default: break;
    }
}

bool frmMain::PreTranslateMessage(MSG& msg) {
    // Before the dialog manager, which would take Enter for a default button.
    if (msg.message == WM_KEYDOWN && hwnd_ && msg.hwnd == List1.hWnd()) {
        const ListKey key = ListKeyFor(static_cast<unsigned>(msg.wParam), GetKeyState(VK_CONTROL) < 0,
                                       GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0);
        if (key != ListKey::None) {
            RunListKey(key);
            return true;
        }
    }
    for (auto& dialog : dialogs_) {
        if (dialog->IsLoaded() && IsDialogMessageW(dialog->hWnd(), &msg)) return true;
    }
    return hwnd_ && IsDialogMessageW(hwnd_, &msg);
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, backBrush_.get());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, kBackColor);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(backBrush_.get());
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == 0) OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr->hwndFrom == List1.hWnd() && hdr->code == NM_DBLCLK) List1_DblClick();
        if (hdr->hwndFrom == List1.hWnd() && hdr->code == LVN_GETDISPINFOW) {
            icons_.GetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(hdr));
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimer1) Timer1_Timer();
        if (wParam == kAliasQuestionTimer) {
            KillTimer(hwnd_, kAliasQuestionTimer);
            AliasesChecked(aliasCheck_.Run());
        }
        return 0;
    case WM_ALIASESCHECKED:
        AliasesChecked(wParam);
        return 0;
    case WM_ICONSFOUND:
        icons_.IconsFound();
        return 0;
    case WM_DROPFILES:
        TxtIsMenuClick = L"0";  // the window is in sight: what opens is the window's command
        FilesDropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DIALOGCLOSED:
        ReturnToList(static_cast<EntryKind>(wParam), lParam);
        drops_->DialogClosed(static_cast<EntryKind>(wParam));
        return 0;
    case WM_CLOSE:
        if (Form_Unload()) DestroyWindow(hwnd_);
        return 0;
    case WM_DPICHANGED:
        // The window's DPI is the message's: the system may not report it yet.
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case kWmGetDpiScaledSize: {
        // The size that keeps the client's layout; maximized, the system's.
        SIZE size{};
        const int dpi = static_cast<int>(wParam);
        if (IsZoomed(hwnd_) || !MainLayout::WindowSizeFor(hwnd_, painter_.get(), dpi, size)) break;
        *reinterpret_cast<SIZE*>(lParam) = size;
        return TRUE;
    }
    case WM_DESTROY:
        // The dialogs write into this window's list: they go with it.
        for (auto& dialog : dialogs_) dialog->Unload();
        // Its result has no window left to ask in.
        aliasCheck_.Stop();
        KillTimer(hwnd_, kAliasQuestionTimer);
        SetTimer1(false);
        ClearWindow();
        if (options_.quitOnDestroy) PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        controls_ = {};  // destroyed with the window
        return 0;
    default:
        if (msg == SingleInstance::ActivateMessage()) {
            // Another copy was started: show this one instead.
            if (tray_.Shown()) {
                sho_Click();
            } else {
                if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
                ShowWindow(hwnd_, SW_SHOW);
                SetForegroundWindow(hwnd_);
            }
            return 0;
        }
        if (msg == taskbarCreated_ && taskbarCreated_ != 0 && tray_.Shown()) {
            // The shell restarted and forgot our icon: put it back.
            tray_.Readd();
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

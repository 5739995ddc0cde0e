#include "app/EntryDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "app/AliasMessages.h"
#include "app/DropTarget.h"
#include "app/FrameBox.h"
#include "app/ObjectWindowProc.h"
#include "app/Prompt.h"
#include "catalogue/AliasName.h"
#include "plumbing/DpiAware.h"
#include "plumbing/SystemInfo.h"
#include "pickers/CommDlgs.h"

namespace {

constexpr wchar_t kClassName[] = L"TarvoloEntryDialog";
constexpr COLORREF kHintColor = RGB(255, 0, 0);
constexpr int kClientWidth = 6870;  // twips
constexpr int kClientHeight = 3255;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Top-left corner of a window of `size` centred over `window`, kept inside
// the work area of the monitor that window is on.
POINT CentredOver(HWND window, SIZE size) {
    RECT host{};
    GetWindowRect(window, &host);
    POINT at{host.left + (host.right - host.left - size.cx) / 2, host.top + (host.bottom - host.top - size.cy) / 2};
    MONITORINFO monitor{sizeof(monitor)};
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        at.x = std::max(work.left, std::min(at.x, work.right - size.cx));
        at.y = std::max(work.top, std::min(at.y, work.bottom - size.cy));
    }
    return at;
}

bool HasLineBreak(const std::wstring& s) { return s.find_first_of(L"\r\n") != std::wstring::npos; }

}  // namespace

EntryDialog::EntryDialog(EntryHost& host, Kind kind) : host_(host), kind_(kind) {}

EntryDialog::~EntryDialog() {
    Unload();
}

int EntryDialog::Px(int twips) const { return MulDiv(twips, dpi_, 1440); }

std::wstring EntryDialog::Caption() const {
    switch (kind_) {
    case Kind::AddP: return L"添加应用程序";
    case Kind::EditP: return L"编辑应用程序";
    case Kind::AddD: return L"添加文件夹";
    case Kind::EditD: return L"编辑文件夹";
    }
    return {};
}

std::wstring EntryDialog::HelpText() const {
    return IsAdd() ? L"在开始菜单的“运行”里面，直接输入该名称就可以运行相对应的程序。"
                   : L"在开始菜单的“运行”里面，直接输入名称就可以运行相对应的程序。";
}

HWND EntryDialog::Control(int id) const {
    if (!hwnd_) return nullptr;
    if (HWND h = GetDlgItem(hwnd_, id)) return h;
    return GetDlgItem(GetDlgItem(hwnd_, IdFrame1), id);
}

std::wstring EntryDialog::Text(int id) const {
    const HWND h = Control(id);
    if (!h) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
    return text;
}

void EntryDialog::SetText(int id, const std::wstring& text) {
    if (HWND h = Control(id)) SetWindowTextW(h, text.c_str());
}

void EntryDialog::Show() {
    if (hwnd_) {
        // Already open: only bring it forward, with what was typed.
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(hwnd_);
        return;
    }
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterObjectClass<EntryDialog>(instance, kClassName);
    // Over the main window at its DPI, or where the system puts it; the
    // DPI is settled once the window exists (WM_CREATE).
    const EntryHost::Placement placement = host_.DialogPlacement();
    over_ = placement.dpi > 0 ? placement.window : nullptr;
    dpi_ = over_ ? placement.dpi : SystemDpi();
    const SIZE size = WindowSizeAt(dpi_);
    const POINT at = over_ ? CentredOver(over_, size) : POINT{CW_USEDEFAULT, CW_USEDEFAULT};
    hwnd_ = CreateWindowExW(kExStyle, kClassName, Caption().c_str(), kStyle, at.x, at.y, size.cx, size.cy, nullptr,
                            nullptr, instance, this);
    if (!hwnd_) return;
    FitClientArea();
    Form_Load();
}

int EntryDialog::OpeningDpi() const {
    const int own = WindowDpi(hwnd_);
    // Where the system sees the dialog and its host on monitors of one DPI,
    // the host's own is the one: it takes it from WM_DPICHANGED, which can
    // come before the system reports the new DPI.
    if (over_ && IsWindow(over_) && WindowDpi(over_) == own) return dpi_;
    return own;
}

void EntryDialog::FitClientArea() {
    // Whatever frame the system gave the window (its monitor's DPI may not
    // be the one the window was sized for), the client area gets the size
    // the layout was made for. Centred over the host, it stays centred.
    RECT window{}, client{};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    const int dx = Px(kClientWidth) - client.right, dy = Px(kClientHeight) - client.bottom;
    if (dx == 0 && dy == 0) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!over_) flags |= SWP_NOMOVE;
    SetWindowPos(hwnd_, nullptr, window.left - dx / 2, window.top - dy / 2, (window.right - window.left) + dx,
                 (window.bottom - window.top) + dy, flags);
}

SIZE EntryDialog::WindowSizeAt(int dpi) const {
    RECT rc{0, 0, MulDiv(kClientWidth, dpi, 1440), MulDiv(kClientHeight, dpi, 1440)};
    AdjustWindowRectForDpi(rc, kStyle, false, kExStyle, dpi);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void EntryDialog::Unload() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void EntryDialog::CreateControls() {
    places_.clear();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto make = [&](HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id,
                          int x, int y, int cx, int cy) {
        HWND h = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        places_.push_back(Place{h, x, y, cx, cy});
        return h;
    };
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr int kFieldX = 1320;

    // The five rows sit in a caption-less frame that passes their
    // notifications on to this window.
    HWND p = FrameBox::Create(hwnd_, IdFrame1, 0, 0, 0, 0);
    places_.push_back(Place{p, 120, 60, 6630, 2340});
    FrameBox::SetBackColor(p, GetSysColor(COLOR_BTNFACE));
    const int rows[] = {240, 675, 1080, 1440, 1800};
    const int x0 = 120;  // captions at x = 120 inside the frame

    make(p, L"STATIC", IsProgram() ? L"程序路径：" : L"文件夹路径：", kLabel, 0, IdLabel2, x0, rows[0] + 30, 1150, 240);
    make(p, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, IdTxtPath, kFieldX, rows[0], 4335, 270);
    make(p, L"BUTTON", L"浏览", BS_PUSHBUTTON | WS_TABSTOP, 0, IdCommand1, kFieldX + 4335 + 90, rows[0] - 15,
         735, 300);

    make(p, L"STATIC", L"名称：", kLabel, 0, IdLabel1, x0, rows[1] + 30, 1150, 240);
    make(p, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, IdTxtName, kFieldX, rows[1], 2175, 270);
    HWND help = make(p, L"STATIC", L"？", SS_LEFT | SS_NOTIFY, 0, IdLabel3, kFieldX + 2175 + 60, rows[1] + 30,
                     240, 240);
    if (IsAdd()) {
        make(p, L"STATIC", L"（建议使用英文）", kLabel, 0, IdLabel9, kFieldX + 2175 + 330, rows[1] + 30, 2000,
             240);
    }

    make(p, L"STATIC", L"起始位置：", kLabel, 0, IdLabel6, x0, rows[2] + 30, 1150, 240);
    make(p, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, IdTxtWork, kFieldX, rows[2], IsProgram() ? 4335 : 2175, 270);
    if (!IsProgram()) {
        make(p, L"STATIC", L"（该项一般不需要填写）", kLabel, 0, IdLabel8, kFieldX + 2175 + 60, rows[2] + 30,
             2600, 240);
    }

    make(p, L"STATIC", L"参数：", kLabel, 0, IdLabel4, x0, rows[3] + 30, 1150, 240);
    make(p, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, IdTxtArg, kFieldX, rows[3], 2175, 270);
    make(p, L"STATIC", L"（该项一般不需要填写）", kLabel, 0, IdLabel5, kFieldX + 2175 + 60, rows[3] + 30, 2600,
         240);

    make(p, L"STATIC", L"注释：", kLabel, 0, IdLabel7, x0, rows[4] + 30, 1150, 240);
    make(p, L"EDIT", L"", kEdit, WS_EX_CLIENTEDGE, IdTxtCom, kFieldX, rows[4], 4335, 270);

    make(hwnd_, L"BUTTON", L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, IdCmdOK, 1200, 2610, 1455, 375);
    make(hwnd_, L"BUTTON", L"取消", BS_PUSHBUTTON | WS_TABSTOP, 0, IdCommand2, 4200, 2610, 1455, 375);

    // The "？" label: tool tip over it.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = p;
    ti.uId = reinterpret_cast<UINT_PTR>(help);
    ti.lpszText = const_cast<wchar_t*>(L"点击这里查看名称的作用");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    LayoutForDpi(dpi_);
}

void EntryDialog::LayoutForDpi(int dpi) {
    dpi_ = dpi;
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(9, dpi, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"宋体", LF_FACESIZE);
    // Made before the old one goes: each control keeps its font until it
    // has the next.
    const HFONT font = CreateFontIndirectW(&lf);
    for (const Place& p : places_) {
        SetWindowPos(p.control, nullptr, Px(p.x), Px(p.y), Px(p.cx), Px(p.cy), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    font_.reset(font);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}



void EntryDialog::Form_Load() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(host_.Icon()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(host_.SmallIcon()));
    SetForegroundWindow(hwnd_);
    SetFocus(Control(IdTxtPath));
    if (IsAdd()) {
        AcceptDrops(hwnd_);  // a drop fills this dialog or opens the next one
        return;
    }
    const LPARAM entry = host_.SelectedEntry();
    EntryFields fields;
    if (!entry || !host_.ReadEntry(entry, fields)) return;  // nothing to edit: OK will say so
    editedRow_ = entry;
    SetText(IdTxtName, fields.name);
    SetText(IdTxtPath, fields.path);
    SetText(IdTxtWork, fields.work);
    SetText(IdTxtArg, fields.args);
    SetText(IdTxtCom, fields.comment);
    txttmp_ = Text(IdTxtName);
    originalPath_ = Text(IdTxtPath);
}

bool EntryDialog::Validate() {
    const std::wstring path = Text(IdTxtPath), work = Text(IdTxtWork), name = Text(IdTxtName);
    if (path.empty() || work.empty() || name.empty()) {
        Prompt(hwnd_, L"信息填写不完整，请补充！", kAppTitle, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    // The catalogue file has no escaping: a line break would split the entry.
    for (int id : {IdTxtPath, IdTxtWork, IdTxtArg, IdTxtCom}) {
        if (HasLineBreak(Text(id))) {
            Prompt(hwnd_, L"路径、起始位置、参数和注释中不能含有换行符，请修改！", kAppTitle,
                   MB_OK | MB_ICONINFORMATION);
            return false;
        }
    }
    // The name becomes a file name in the shortcut folder.
    const AliasNameProblem problem = CheckAliasName(name);
    if (problem != AliasNameProblem::None) {
        Prompt(hwnd_, DescribeAliasNameProblem(problem), kAppTitle, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return true;
}

void EntryDialog::CmdOK_Click() {
    if (!Validate()) return;
    if (IsAdd()) {
        AddOK();
    } else {
        EditOK();
    }
}

// Name, path, start folder, arguments and comment as they stand now.
EntryFields EntryDialog::Fields(const std::wstring& name) const {
    return {name, Text(IdTxtPath), Text(IdTxtWork), Text(IdTxtArg), Text(IdTxtCom)};
}

void EntryDialog::AddOK() {
    const std::wstring name = Text(IdTxtName);
    if (host_.NameTaken(name, 0)) {
        Prompt(hwnd_, L"该名称已在列表中存在，请使用其它名称！", kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Nothing is written when the user would rather correct the path or pick another name.
    if (!ConfirmTarget(hwnd_, Text(IdTxtPath), !IsProgram(), true)) return;
    AliasStore store(host_.WindowsFolder());
    if (!ConfirmRunBoxName(hwnd_, store, name)) return;
    const ShortcutResult written =
        store.Write(shell_, name, Text(IdTxtPath), Text(IdTxtArg), Text(IdTxtWork), Text(IdTxtCom));
    if (!written) {
        // No alias, no entry: the dialog stays open with what was typed.
        Prompt(hwnd_,
               L"无法在文件夹“" + written.folder + L"”中创建快捷方式“" + name + L".lnk”：\r\n" + written.reason +
                   L"\r\n\r\n项目没有添加。",
               kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const LPARAM entry = host_.CommitEntry(0, kind_ == Kind::AddP ? kKindProgram : kKindFolder, Fields(name));
    actedRow_ = entry;
    ShowWindow(hwnd_, SW_HIDE);
    // Success is only claimed for an alias the shell's search finds.
    const std::wstring problem = RunBoxProblemAfterWrite(store, written, name);
    Prompt(hwnd_,
           problem.empty() ? L"添加成功，以后您只需在 开始--运行 里面直接输入“" + name +
                                 (kind_ == Kind::AddP ? L"”便可运行该程序！" : L"”便可运行该文件夹！") +
                                 PerUserFolderSentence(store, written)
                           : L"项目已添加。" + problem,
           kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    Unload();
    // From the tray menu the main window may be hidden: leave its focus alone.
    host_.ShowEntry(entry, !host_.CommandFromTray());
}

void EntryDialog::EditOK() {
    const LPARAM entry = editedRow_;
    if (!entry || !host_.HasEntry(entry)) {
        Prompt(hwnd_, L"正在编辑的项目已不在列表中，没有做任何修改。", kAppTitle, MB_OK | MB_ICONINFORMATION);
        Unload();
        return;
    }
    const std::wstring name = Text(IdTxtName);
    if (host_.NameTaken(name, entry)) {
        Prompt(hwnd_, L"该名称已在列表中存在，请使用其它名称！", kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Asked only for a path the edit changed: an entry whose program was
    // uninstalled can still be renamed or have its comment edited.
    if (Text(IdTxtPath) != originalPath_ && !ConfirmTarget(hwnd_, Text(IdTxtPath), !IsProgram(), false)) return;
    AliasStore store(host_.WindowsFolder());
    if (name != txttmp_ && !ConfirmRunBoxName(hwnd_, store, name)) return;
    // Old shortcut first, also when the name is unchanged; every later step
    // runs whatever the shortcut's fate.
    const ShortcutResult written =
        store.Rewrite(shell_, txttmp_, name, Text(IdTxtPath), Text(IdTxtArg), Text(IdTxtWork), Text(IdTxtCom));
    host_.CommitEntry(entry, {}, Fields(name));
    if (written) {
        if (const std::wstring problem = RunBoxProblemAfterWrite(store, written, name); !problem.empty()) {
            Prompt(hwnd_, L"项目已修改。" + problem, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
        }
    } else {
        Prompt(hwnd_,
               L"项目已修改，但无法在文件夹“" + written.folder + L"”中写入快捷方式“" + name + L".lnk”：\r\n" +
                   written.reason + L"\r\n\r\n在“运行”里输入该名称暂时无法打开它。",
               kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    }
    Unload();
    host_.ShowEntry(entry, true);
}

void EntryDialog::Command1_Click() {
    if (IsProgram()) {
        const std::wstring file =
            ShowFileDialog(hwnd_, kFileDialogOpen, L"请选择你要设置的程序", L"*.exe",
                           MakeFileFilter({{L"EXE", L"*.exe"}, {L"All files", L"*.*"}}), ExecutableFolder(), L"exe");
        if (file.empty()) return;
        Fill(FillForProgram(file));
    } else {
        const std::wstring folder = ShowFolderDialog(hwnd_, L"请选择你要设置的文件夹");
        if (folder.empty()) return;
        Fill(FillForFolder(folder));
    }
}

void EntryDialog::Fill(const EntryFill& fill) {
    SetText(IdTxtPath, fill.path);
    SetText(IdTxtWork, fill.work);
    SetText(IdTxtName, fill.name);
    SetText(IdTxtCom, fill.comment);
    if (fill.args) SetText(IdTxtArg, *fill.args);
    const HWND nameBox = Control(IdTxtName);
    SetFocus(nameBox);
    SendMessageW(nameBox, EM_SETSEL, 0, -1);
}

bool EntryDialog::HasTypedContent() const {
    for (int id : {IdTxtPath, IdTxtName, IdTxtWork, IdTxtArg, IdTxtCom}) {
        if (GetWindowTextLengthW(Control(id)) > 0) return true;
    }
    return false;
}

void EntryDialog::Command2_Click() { Unload(); }

void EntryDialog::Label3_Click() {
    Prompt(hwnd_, HelpText(), L"名称的作用", MB_OK | MB_ICONINFORMATION);
}

LRESULT EntryDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        dpi_ = OpeningDpi();
        CreateControls();
        return 0;
    case WM_DPICHANGED: {
        // The dialog's DPI is the message's: the system may not report it yet.
        LayoutForDpi(HIWORD(wParam));
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case kWmGetDpiScaledSize:
        // The client keeps its layout's size: the exact window for it, not
        // the whole window scaled.
        *reinterpret_cast<SIZE*>(lParam) = WindowSizeAt(static_cast<int>(wParam));
        return TRUE;
    case DM_GETDEFID:
        // Enter presses OK.
        return MAKELRESULT(IdCmdOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id == IdLabel3 || id == IdLabel5 || id == IdLabel8 || id == IdLabel9) SetTextColor(dc, kHintColor);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == Control(IdLabel3)) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IdCmdOK: CmdOK_Click(); return 0;
        case IdCommand2: Command2_Click(); return 0;  // also Esc
        case IdCommand1: Command1_Click(); return 0;
        case IdLabel3:
            if (HIWORD(wParam) == STN_CLICKED) Label3_Click();
            return 0;
        }
        break;
    case WM_DROPFILES:
        host_.FilesDropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        Unload();  // closing writes nothing
        return 0;
    case WM_NCDESTROY: {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        tooltip_ = nullptr;
        over_ = nullptr;
        places_.clear();
        txttmp_.clear();
        originalPath_.clear();
        const LPARAM acted = IsAdd() ? actedRow_ : editedRow_;
        editedRow_ = 0;
        actedRow_ = 0;
        host_.EntryDialogClosed(kind_, acted);
        return 0;
    }
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

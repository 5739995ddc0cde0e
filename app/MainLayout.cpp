#include "app/MainLayout.h"

#include <commctrl.h>

#include "app/frmMain.h"
#include "plumbing/DpiAware.h"

namespace {

struct Column {
    const wchar_t* text;
    int twips;
};
// The first column has no width, so a click on any visible cell selects the row.
// The first column holds only the row's icon; a click on any cell selects the row.
constexpr Column kColumns[] = {
    {L"", 330},
    {L"  类型", 1000},
    {L"     名称", 1500},
    {L"                   路径", 4891},
    {L"工作目录", 4600},
    {L"参数", 1500},
    {L"注释", 4000},
};

enum class Font { Ui, Label, Own };  // Own: the frames and links draw with fonts of their own
struct Place {
    int id;
    int x, y, cx, cy;
    Font font;
};
constexpr Place kPlaces[] = {
    {frmMain::IdFrame1, 120, 120, 7935, 3855, Font::Own},     {frmMain::IdLabel5, 2400, 300, 3360, 210, Font::Label},
    {frmMain::IdList1, 240, 600, 6975, 3015, Font::Ui},       {frmMain::IdCmdUp, 7360, 600, 375, 1335, Font::Ui},
    {frmMain::IdCmdDown, 7360, 2280, 375, 1335, Font::Ui},    {frmMain::IdFrame2, 120, 4080, 7935, 735, Font::Own},
    {frmMain::IdCmdAddP, 240, 240, 1455, 375, Font::Ui},      {frmMain::IdCmdAddD, 2280, 240, 1455, 375, Font::Ui},
    {frmMain::IdCmdEdit, 4200, 240, 1455, 375, Font::Ui},     {frmMain::IdCmdDel, 6120, 240, 1455, 375, Font::Ui},
    {frmMain::IdFrame3, 120, 4800, 7935, 615, Font::Own},     {frmMain::IdLabel2, 360, 240, 630, 210, Font::Label},
    {frmMain::IdXLinkLabel1, 1080, 240, 1695, 255, Font::Own}, {frmMain::IdxLabel2, 3600, 240, 4935, 255, Font::Own},
};

}  // namespace

void MainLayout::AddColumns(ListView& list, int dpi) {
    // Each column would otherwise lay out the header anew, which under Wine
    // costs more than inserting the columns.
    SendMessageW(list.hWnd(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        list.AddColumn(i, kColumns[i].text, Px(kColumns[i].twips, dpi));
    }
    SendMessageW(list.hWnd(), WM_SETREDRAW, TRUE, 0);
}

void MainLayout::Apply(int dpi, const std::function<HWND(int)>& control, HWND list, const StdFont& ui,
                       const StdFont& label) {
    // The fonts for this DPI are made before the old ones go: a control
    // draws with the font it was given until it gets the next.
    const LOGFONTW uiLog = ui.LogFont(dpi);
    const LOGFONTW labelLog = label.LogFont(dpi);
    const HFONT uiFont = CreateFontIndirectW(&uiLog);
    const HFONT labelFont = CreateFontIndirectW(&labelLog);
    for (const Place& p : kPlaces) {
        const HWND h = control(p.id);
        if (!h) continue;
        SetWindowPos(h, nullptr, Px(p.x, dpi), Px(p.y, dpi), Px(p.cx, dpi), Px(p.cy, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (p.font == Font::Own) continue;
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(p.font == Font::Label ? labelFont : uiFont), FALSE);
    }
    ui_.reset(uiFont);
    label_.reset(labelFont);
    if (!list) return;
    // Each width set lays the header out anew; at creation they are right.
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        const int width = Px(kColumns[i].twips, dpi);
        if (ListView_GetColumnWidth(list, i) != width) ListView_SetColumnWidth(list, i, width);
    }
}

bool MainLayout::WindowSizeFor(HWND window, const cOrvane* painter, int dpi, SIZE& size) {
    // The skinned frame's margins are not the system's, so the system's own
    // guess (the whole window scaled) could miss by a pixel and not come
    // back to the same size.
    if (dpi <= 0 || !window) return false;
    RECT margins{};
    if (painter) {
        if (!painter->MarginsAt(dpi, margins)) return false;
    } else {
        RECT frame{};
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
        if (!AdjustWindowRectForDpi(frame, style, GetMenu(window) != nullptr, exStyle, dpi)) return false;
        margins = RECT{-frame.left, -frame.top, frame.right, frame.bottom};
    }
    size = SIZE{Px(kClientWidth, dpi) + margins.left + margins.right,
                Px(kClientHeight, dpi) + margins.top + margins.bottom};
    return true;
}

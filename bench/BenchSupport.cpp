// Helpers the benchmark sections share: repetitions, rows shaped like a real
// catalogue, and the floors' own bare window and list.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CatalogueList.h"
#include "app/frmMain.h"
#include "bench/Benches.h"
#include "bench/Measure.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/CatalogueFormat.h"

namespace bench {

bool g_quick = false;
std::wstring g_only;
int g_prompts = 0;

bool Runs(const wchar_t* section) { return g_only.empty() || g_only == section; }

int Reps(int full) { return g_quick ? (full > 3 ? 3 : full) : full; }

std::wstring MakeFolder(const std::wstring& parent, const std::wstring& name) {
    const std::wstring path = parent + L"\\" + name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

// Rows shaped like a real catalogue: Chinese and ASCII text, every field
// representable in code page 936, names unique.
std::vector<WideRow> MakeRows(int n) {
    std::vector<WideRow> rows;
    rows.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::wstring k = std::to_wstring(i);
        const bool folder = i % 5 == 0;
        rows.push_back({folder ? kKindFolder : kKindProgram, L"工具" + k,
                        folder ? L"D:\\资料\\项目" + k : L"C:\\Program Files\\示例软件\\tool" + k + L"\\tool" + k + L".exe",
                        folder ? L"" : L"C:\\Program Files\\示例软件\\tool" + k, i % 3 ? L"" : L"/quiet --profile " + k,
                        L"第" + k + L"个常用项目"});
    }
    return rows;
}

std::string AnsiBytes(const std::vector<WideRow>& rows) {
    std::vector<CatalogueRow> ansi;
    for (const auto& row : rows) {
        CatalogueRow r;
        for (const auto& f : row) {
            std::string& bytes = r.emplace_back(f.size() * 2, '\0');
            bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, f.data(), static_cast<int>(f.size()),
                                                                 bytes.data(), static_cast<int>(bytes.size()),
                                                                 nullptr, nullptr)));
        }
        ansi.push_back(std::move(r));
    }
    return SerializeCatalogue(ansi);
}

std::string Verdict(bool holds) { return holds ? "holds" : "misses"; }

std::string Verdict(bool holds, const std::string& whyMissed) { return holds ? "holds" : "misses: " + whyMissed; }

// ---------------------------------------------------------------------------
// The floor's list: a bare report list view with the same seven columns and
// styles as the main window's, in a shown window of its own.

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND PlainWindow(const wchar_t* title, bool show) {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"BenchPlain";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    HWND h = CreateWindowExW(0, L"BenchPlain", title, WS_OVERLAPPEDWINDOW, 40, 40, 580, 420, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (show) ShowWindow(h, SW_SHOWNORMAL);
    return h;
}

HWND BareList(HWND parent, HWND like) {
    RECT rc;
    GetClientRect(like, &rc);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 10,
                                10, rc.right, rc.bottom, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, WM_SETFONT, SendMessageW(like, WM_GETFONT, 0, 0), FALSE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const int columns = Header_GetItemCount(ListView_GetHeader(like));
    for (int i = 0; i < columns; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = text;
        col.cchTextMax = 64;
        ListView_GetColumn(like, i, &col);
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
    return list;
}

void PlainInsert(HWND list, const std::vector<WideRow>& rows) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, rows.size(), LVSICF_NOINVALIDATEALL);
    LVITEMW item{};
    for (size_t r = 0; r < rows.size(); ++r) {
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(r);
        item.iSubItem = 0;
        item.pszText = const_cast<wchar_t*>(L"");
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (size_t f = 0; f < rows[r].size(); ++f) {
            item.iSubItem = static_cast<int>(f) + 1;
            item.pszText = const_cast<wchar_t*>(rows[r][f].c_str());
            SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}


}  // namespace bench

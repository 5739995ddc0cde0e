// The floor for start-up and memory: the smallest program that creates and
// shows one window. With "--list <file>" it also puts a bare report list view
// with the main window's seven columns into it and fills it with the file's
// rows the plain way (one read, one conversion per line, redraw off, item
// count preset), so its memory is what the rows cost without the program.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::vector<std::wstring> ReadLines(const wchar_t* path) {
    std::vector<std::wstring> lines;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    LARGE_INTEGER size{};
    GetFileSizeEx(f, &size);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    size_t pos = 0;
    while (pos < got) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = got;
        std::wstring w(end - pos, L'\0');
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data() + pos, static_cast<int>(end - pos), w.data(),
                                          static_cast<int>(w.size()));
        w.resize(static_cast<size_t>(n));
        lines.push_back(std::move(w));
        pos = end + 2;
    }
    return lines;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const bool withList = argc >= 3 && std::wstring(argv[1]) == L"--list";

    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BenchMinimal";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                580, 420, nullptr, nullptr, instance, nullptr);
    if (withList) {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 10, 540,
                                    360, hwnd, reinterpret_cast<HMENU>(1), instance, nullptr);
        for (int i = 0; i < 7; ++i) {
            LVCOLUMNW col{};
            col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            col.pszText = const_cast<wchar_t*>(L"c");
            col.cx = i ? 80 : 0;
            col.iSubItem = i;
            SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
        }
        const std::vector<std::wstring> lines = ReadLines(argv[2]);
        const int rows = static_cast<int>(lines.size() / 6);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL);
        for (int r = 0; r < rows; ++r) {
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = r;
            item.pszText = const_cast<wchar_t*>(L"");
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            for (int f = 0; f < 6; ++f) {
                item.iSubItem = f + 1;
                item.pszText = const_cast<wchar_t*>(lines[static_cast<size_t>(r) * 6 + f].c_str());
                SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
            }
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    }
    LocalFree(argv);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

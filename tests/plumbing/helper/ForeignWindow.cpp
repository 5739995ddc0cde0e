// A window owned by another process, for the subclassing tests: shows a
// window titled by its command line and runs until the window is closed, or
// 30 s at most so a failed test never leaves it behind.
#include <windows.h>

static LRESULT CALLBACK ForeignProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY || msg == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR title, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ForeignProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TarvoloForeignWindow";
    RegisterClassW(&wc);
    HWND hWnd = CreateWindowW(wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              instance, nullptr);
    SetTimer(hWnd, 1, 30000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Tarvolo", L"Tarvolo", MB_OK);
    return 0;
}

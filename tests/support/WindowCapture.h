#pragma once
// The pixels of a whole window (caption and borders included) as it shows
// them now, after its pending paints, for comparing two looks of it.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace testsupport {

struct WindowPixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> bits;  // rows top-down, 0x00RRGGBB
    bool operator==(const WindowPixels&) const = default;
};

inline WindowPixels CaptureWindow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    RECT r{};
    GetWindowRect(hwnd, &r);
    WindowPixels shot{r.right - r.left, r.bottom - r.top, {}};
    const HDC window = GetWindowDC(hwnd);
    const HDC memory = CreateCompatibleDC(window);
    const HBITMAP bitmap = CreateCompatibleBitmap(window, shot.width, shot.height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, window, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    shot.bits.resize(static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(shot.height), shot.bits.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, window);
    return shot;
}

// Where two captures of one size first differ, as "x,y"; "" when they do not.
inline std::string FirstDifference(const WindowPixels& a, const WindowPixels& b) {
    if (a.width != b.width || a.height != b.height) return "sizes differ";
    for (size_t i = 0; i < a.bits.size(); ++i) {
        if (a.bits[i] != b.bits[i]) {
            const size_t width = static_cast<size_t>(a.width);
            return std::to_string(i % width) + "," + std::to_string(i / width);
        }
    }
    return "";
}

// Writes a capture as a 32-bit BMP file, for a person to look at.
inline bool SaveBmp(const WindowPixels& shot, const std::wstring& file) {
    // Opaque: viewers take the fourth byte of a 32-bit BMP for alpha.
    std::vector<DWORD> bits = shot.bits;
    for (DWORD& pixel : bits) pixel |= 0xFF000000u;
    BITMAPINFOHEADER info{sizeof(info), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD bytes = static_cast<DWORD>(shot.bits.size() * sizeof(DWORD));
    BITMAPFILEHEADER head{};
    head.bfType = 0x4D42;  // "BM"
    head.bfOffBits = sizeof(head) + sizeof(info);
    head.bfSize = head.bfOffBits + bytes;
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (!out) return false;
    const bool written = fwrite(&head, sizeof(head), 1, out) == 1 && fwrite(&info, sizeof(info), 1, out) == 1 &&
                         fwrite(bits.data(), 1, bytes, out) == bytes;
    return fclose(out) == 0 && written;
}

// Saves a capture as <name>.bmp in the folder TARVOLO_SHOTS names, when it
// names one: the pictures a test took, for a person to look at.
inline void ShotIfAsked(const WindowPixels& shot, const std::wstring& name) {
    wchar_t folder[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"TARVOLO_SHOTS", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    SaveBmp(shot, std::wstring(folder) + L"\\" + name + L".bmp");
}

}  // namespace testsupport

#include "tests/e2e/Screen.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace {

struct Capture {
    BITMAPINFOHEADER header{};
    std::string bits;
};

Capture CaptureScreen() {
    Capture c;
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY);
    GdiFlush();
    const DWORD stride = ((w * 3 + 3) & ~3);
    if (bits) c.bits.assign(static_cast<const char*>(bits), static_cast<size_t>(stride) * h);
    c.header = bi.bmiHeader;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return c;
}

}  // namespace

std::string ScreenPixels() { return CaptureScreen().bits; }

bool SaveScreenshot(const std::wstring& file) {
    const Capture c = CaptureScreen();
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(c.header);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(c.bits.size());
    std::ofstream out(std::filesystem::path(file), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
    out.write(reinterpret_cast<const char*>(&c.header), sizeof(c.header));
    out.write(c.bits.data(), static_cast<std::streamsize>(c.bits.size()));
    return out.good();
}

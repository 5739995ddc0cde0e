// The skinned frame's non-client paint against the plain work one paint
// cannot avoid.
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
#include "frame/INCAreaModifier.h"
#include "plumbing/RefCounted.h"

namespace bench {

namespace {
// The whole message: what it spends before the painter draws anything.
const char* const kPaintMiss =
    "the message costs the painter's own NCPaint plus one window-property look-up, a Wine server round trip: "
    "the engine reads its partner from the window on every message it handles (the subclass registry's look-ups "
    "are kept per thread since), and that one look-up alone costs most of the floor (compare the look-up's "
    "own row below); without it the message holds, as the painter alone does";
// The painter alone, when a run puts it over the line.
const char* const kPainterMiss =
    "the painter composes the caption band in a memory DC (the title and the menu bar items, measured and drawn "
    "over the kept background) before copying it, where the floor copies a finished image";
}  // namespace

// Whether the skinned frame (the engine with its painting partner) is attached.
bool Skinned(HWND hwnd) { return GetPropW(hwnd, L"teskCNCImplementation") != nullptr; }

void BenchPaint(Report& report, frmMain& main) {
    HWND hwnd = main.hWnd();
    const bool skinned = Skinned(hwnd);
    for (SIZE size : {SIZE{800, 600}, SIZE{1600, 1000}}) {
        SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        PumpMessages();
        RECT wr, cr;
        GetWindowRect(hwnd, &wr);
        GetClientRect(hwnd, &cr);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&cr), 2);
        const int w = wr.right - wr.left, h = wr.bottom - wr.top;
        const int left = cr.left - wr.left, top = cr.top - wr.top, right = wr.right - cr.right,
                  bottom = wr.bottom - cr.bottom;
        // What one paint cannot avoid: copying a prepared frame image onto
        // the window (caption band, two border columns, bottom strip), and,
        // since the fonts are made for each paint and deleted before it
        // returns, creating, selecting and deleting the two fonts (caption
        // bold, menu bar normal) and drawing the caption text once.
        HDC screen = GetDC(hwnd);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
        HGDIOBJ old = SelectObject(mem, bmp);
        PatBlt(mem, 0, 0, w, h, WHITENESS);
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, L"MS Sans Serif", LF_FACESIZE);
        ReleaseDC(hwnd, screen);
        wchar_t title[256] = {};
        const int titleLength = GetWindowTextW(hwnd, title, 256);
        constexpr int kCalls = 200;
        const Pair p = Interleave(
            Reps(21), true,
            [&] {
                const double t0 = NowMs();
                for (int i = 0; i < kCalls; ++i) {
                    lf.lfWeight = FW_BOLD;
                    HFONT caption = CreateFontIndirectW(&lf);
                    HGDIOBJ before = SelectObject(mem, caption);
                    SetBkMode(mem, TRANSPARENT);
                    RECT text{96, 4, w - 80, top / 2};
                    DrawTextW(mem, title, titleLength, &text, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
                    lf.lfWeight = FW_NORMAL;
                    HFONT bar = CreateFontIndirectW(&lf);
                    SelectObject(mem, bar);
                    SelectObject(mem, before);
                    DeleteObject(bar);
                    DeleteObject(caption);
                    HDC dc = GetWindowDC(hwnd);
                    BitBlt(dc, 0, 0, w, top, mem, 0, 0, SRCCOPY);
                    BitBlt(dc, 0, top, left, h - top - bottom, mem, 0, top, SRCCOPY);
                    BitBlt(dc, w - right, top, right, h - top - bottom, mem, w - right, top, SRCCOPY);
                    BitBlt(dc, 0, h - bottom, w, bottom, mem, 0, h - bottom, SRCCOPY);
                    ReleaseDC(hwnd, dc);
                }
                GdiFlush();
                return (NowMs() - t0) * 1000.0 / kCalls;
            },
            [&] {
                const double t0 = NowMs();
                for (int i = 0; i < kCalls; ++i) SendMessageW(hwnd, WM_NCPAINT, 1, 0);
                GdiFlush();
                return (NowMs() - t0) * 1000.0 / kCalls;
            });
        const std::string label = std::to_string(size.cx) + " × " + std::to_string(size.cy);
        report.Add({skinned ? "Non-client paint, skinned frame" : "Non-client paint, standard frame (no skin attached)",
                    label, "µs", p.figure, p.floor, Ratio(p.figure.median, p.floor.median), "≤ 2×",
                    skinned ? Verdict(p.figure.median <= 2 * p.floor.median, kPaintMiss) : "not measurable yet"});
        if (skinned) {
            // The painter alone, called the way the engine calls it, without
            // the message's way through the subclass registry and the engine.
            auto* partner = static_cast<INCAreaModifier*>(GetPropW(hwnd, L"teskCNCImplementation"));
            const Ref<INCAreaModifier> keep = ObjectFromPointer(partner);
            std::vector<double> alone;
            for (int r = 0; r < Reps(21); ++r) {
                const double t0 = NowMs();
                for (int i = 0; i < kCalls; ++i) {
                    HDC dc = GetWindowDC(hwnd);
                    partner->NCPaint(dc, 0, 0, w, h);
                    ReleaseDC(hwnd, dc);
                }
                GdiFlush();
                alone.push_back((NowMs() - t0) * 1000.0 / kCalls);
            }
            const Stat a = Summarize(alone);
            report.Add({"  of which the painter's own NCPaint", label, "µs", a, p.floor, Ratio(a.median, p.floor.median),
                        "≤ 2×", Verdict(a.median <= 2 * p.floor.median, kPainterMiss)});
        }
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
    }
    SetWindowPos(hwnd, nullptr, 0, 0, 580, 420, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    PumpMessages();
}

}  // namespace bench

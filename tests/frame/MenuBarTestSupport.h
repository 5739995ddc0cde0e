#pragma once
// A framed test window for the caption menu bar: a 48-pixel caption band
// whose lower half holds the bar, painted and hit-tested the way the frame
// engine and the caption painter do it, plus an Alt-key engine for the
// keyboard hook. Records what the window receives, and scripted real input
// (SendInput) for driving menu loops.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "frame/cMemDC.h"
#include "frame/cMenuBar.h"
#include "plumbing/INCEngine.h"
#include "tests/support/InputInjection.h"

namespace menubartest {

constexpr int kCaption = 48;      // caption band height H
constexpr int kBorder = 4;
constexpr int kBandLeft = 90;     // the bar band's left edge in the window
constexpr int kBandRight = 70;    // room right of the band
constexpr COLORREF kBandColor = RGB(200, 200, 160);

class FramedWindow;

// Offers Alt+key presses of the window to its bar, as engine and painter do.
class AltKeyEngine : public INCEngine {
public:
    explicit AltKeyEngine(FramedWindow& window) : window_(window) {}
    bool WindowActive() const override;
    int HandleAltKey(int vKey) override;

private:
    FramedWindow& window_;
};

class FramedWindow {
public:
    // menu: the menu the bar draws (owned by the caller).
    explicit FramedWindow(HMENU menu, int x = 100, int y = 100, int width = 520, int height = 320);
    ~FramedWindow();
    FramedWindow(const FramedWindow&) = delete;
    FramedWindow& operator=(const FramedWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    cMenuBar& bar() { return *bar_; }
    HFONT BarFont() const { return barFont_; }
    // The caption band as last painted (window coordinates).
    HDC Caption() const { return caption_.hDC(); }
    void Paint();
    // Changes the menu handed to the bar at each paint.
    void Menu(HMENU menu) { menu_ = menu; }

    // Names for the popups in the event log ("init:<name>").
    void Name(HMENU popup, const std::wstring& name) { names_[popup] = name; }
    std::vector<std::wstring> events;

    // Bar item k in window coordinates and its centre on the screen.
    RECT ItemWindowRect(int k);
    POINT ItemCentre(int k);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void PaintFrame(HDC dc);

    HWND hwnd_ = nullptr;
    HMENU menu_;
    Ref<cMenuBar> bar_;
    Ref<AltKeyEngine> engine_;
    HFONT barFont_ = nullptr;
    cMemDC caption_;
    std::map<HMENU, std::wstring> names_;
};

// Menu building.
void AddCommand(HMENU menu, UINT id, const std::wstring& text, UINT state = 0, UINT type = 0,
                ULONG_PTR data = 0);
void AddSeparator(HMENU menu);
void AddPopup(HMENU menu, HMENU popup, const std::wstring& text);

// Everything of every item of a popup, for before/after comparisons.
struct ItemSnapshot {
    UINT type, state, id;
    HMENU submenu;
    ULONG_PTR data;
    std::wstring text;
    bool operator==(const ItemSnapshot&) const = default;
};
std::vector<ItemSnapshot> Snapshot(HMENU popup);

// The test window's colours: bar items, hovered or pressed items, popup background.
constexpr COLORREF kNormal = RGB(0, 0, 160);
constexpr COLORREF kOver = RGB(200, 0, 0);
constexpr COLORREF kPopupBack = RGB(255, 255, 240);

// The size DrawText gives `text` in `font` with `format`.
SIZE TextSize(HFONT font, const std::wstring& text, UINT format);
// Leftmost column and top row of pixels of one colour inside r.
POINT FirstPixel(HDC dc, const RECT& r, COLORREF color);
int CountPixels(HDC dc, const RECT& r, COLORREF color);

struct Menus {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU edit = CreatePopupMenu();
    ~Menus() { DestroyMenu(bar); }  // destroys the popups with it
};

// Real input through SendInput.
using testinput::AltTap;
using testinput::Click;
using testinput::Key;
using testinput::MoveMouse;
using testinput::Tap;

// Runs steps one after the other from a thread timer, so they also run
// inside modal menu loops. Each step waits `delay` ms before the next.
class InputScript {
public:
    struct Step {
        std::string name;
        std::function<void()> action;
        DWORD delay = 250;
    };
    void Add(std::string name, std::function<void()> action, DWORD delay = 250);
    // Holds for a screenshot: prints "SHOT <name>" and waits
    // TARVOLO_SHOT_HOLD_MS (default 300 ms).
    void Shot(const std::string& name);
    // Runs the script, pumping messages until it is done or timeoutMs passed.
    bool Run(DWORD timeoutMs);
    std::vector<std::string> done;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Next();
    std::vector<Step> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

}  // namespace menubartest

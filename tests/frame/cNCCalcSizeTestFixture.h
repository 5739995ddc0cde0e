#pragma once
// A real window framed by a non-client engine whose partner logs what it is
// asked, with the window procedure underneath counting what reaches it, and
// the pointer helpers the press and drag tests share.
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "frame/cNCCalcSize.h"
#include "plumbing/GSubclass.h"
#include "tests/support/InputInjection.h"
#include "tests/support/TestSupport.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

namespace ncctest {

// How often the window's own procedure saw each message.
inline std::map<UINT, int> g_previous;
// When set, the own procedure records WM_NCLBUTTONDOWN's wParam and stops
// there, so no modal move or size loop of the system starts.
inline bool g_swallowNCDown = false;
inline std::vector<WPARAM> g_ncDownCodes;

inline LRESULT CALLBACK OwnProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++g_previous[msg];
    if (msg == WM_NCLBUTTONDOWN && g_swallowNCDown) {
        g_ncDownCodes.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

inline HWND g_mdiClient = nullptr;

inline LRESULT CALLBACK MDIFrameProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcW(hWnd, g_mdiClient, msg, wParam, lParam);
}

inline LRESULT CALLBACK MDIChildProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(hWnd, msg, wParam, lParam);
}

inline const wchar_t* RegisterOnce(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = name;
    RegisterClassW(&wc);  // a second registration fails harmlessly
    return name;
}

// The partner: margins 4/40/4/4 unless told otherwise, and a log of what it
// was asked.
class TestPartner : public INCAreaModifier {
public:
    explicit TestPartner(HWND hWnd) : hWnd_(hWnd) {}
    HWND hWnd() const override { return hWnd_; }
    void GetTopMarginHeight(int& cy) override { Margin("top", cy, top); }
    void GetLeftMarginWidth(int& cx) override { Margin("left", cx, left); }
    void GetRightMarginWidth(int& cx) override { Margin("right", cx, right); }
    void GetBottomMarginHeight(int& cy) override { Margin("bottom", cy, bottom); }
    void NCPaint(HDC, int, int, int, int) override { ++paints; }
    void HitTest(int x, int y, int& eHitTest) override {
        proposal = eHitTest;
        hitPoint = {x, y};
        if (answer) eHitTest = answer;
    }
    void NCMouseDown(int x, int y, bool& bHandled, HDC, int, int, int, int) override {
        log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
        if (duringPress) duringPress();
        bHandled = handlePress;
    }
    void NCMouseUp(int x, int y, HDC, int, int, int, int) override {
        log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    }
    void InitMenuPopup(WPARAM, LPARAM lParam) override { log.push_back("popup " + std::to_string(lParam)); }
    void ExitMenuLoop() override { log.push_back("exit"); }
    int AltKeyAccelerator(int vKey) override {
        log.push_back("alt " + std::string(1, static_cast<char>(vKey)));
        return vKey == 'F';
    }

    bool keepMargins = false;  // leave the engine's defaults alone
    int top = 40, left = 4, right = 4, bottom = 4;
    int answer = 0;  // non-zero replaces the engine's hit-test proposal
    bool handlePress = true;
    std::function<void()> duringPress;
    int paints = 0;
    int proposal = -1;
    POINT hitPoint{};
    std::vector<std::string> log;

private:
    void Margin(const char* which, int& value, int mine) {
        log.push_back(which);
        if (!keepMargins) value = mine;
    }
    HWND hWnd_;
};

// A subclass client of some other window.
class Bystander : public ISubclass {
public:
    MsgResponseMode MsgResponse() const override { return mrPreviousAfter; }
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
};

// A 400 x 300 window at (100, 100) framed by an engine with a test partner.
struct Framed {
    explicit Framed(DWORD style = WS_OVERLAPPEDWINDOW, HMENU menu = nullptr, HWND owner = nullptr) {
        hWnd = CreateWindowExW(0, RegisterOnce(L"EngineTestWindow", OwnProc), L"Engine test", style | WS_VISIBLE,
                               100, 100, 400, 300, owner, menu, GetModuleHandleW(nullptr), nullptr);
        partner = MakeRef<TestPartner>(hWnd);
        engine = MakeRef<cNCCalcSize>();
        engine->Attach(partner.get());
        engine->Display(hWnd);
        SetForegroundWindow(hWnd);
        testsupport::PumpMessages();
    }
    ~Framed() {
        engine->Detach();
        DestroyWindow(hWnd);
        testsupport::PumpMessages();
    }
    // Sends WM_NCHITTEST for a point in window coordinates.
    LRESULT HitTest(int x, int y) const {
        RECT wr;
        GetWindowRect(hWnd, &wr);
        return SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y));
    }
    LRESULT Press(int x, int y, WPARAM code = HTCAPTION) const {
        RECT wr;
        GetWindowRect(hWnd, &wr);
        return SendMessageW(hWnd, WM_NCLBUTTONDOWN, code, MAKELPARAM(wr.left + x, wr.top + y));
    }
    HWND hWnd;
    Ref<TestPartner> partner;
    Ref<cNCCalcSize> engine;
};

inline RECT ClientOnScreen(HWND hWnd) {
    RECT rc;
    GetClientRect(hWnd, &rc);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

inline std::string ToString(const RECT& r) {
    char text[64];
    snprintf(text, sizeof(text), "(%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

inline POINT Cursor() {
    POINT pt{};
    GetCursorPos(&pt);
    return pt;
}

using testinput::MouseAt;

// Moves the pointer and waits until it has stayed there for 100 ms.
inline void MoveTo(POINT pt) {
    int stable = 0, misses = 0;
    testsupport::WaitFor(
        [&] {
            const POINT now = Cursor();
            if (now.x == pt.x && now.y == pt.y) return ++stable >= 10;
            stable = 0;
            if (misses++ % 10 == 0) MouseAt(pt);
            return false;
        },
        15000, 10);
}

}  // namespace ncctest

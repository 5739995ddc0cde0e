#include "frame/cNCCalcSize.h"

#include <windowsx.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "plumbing/GSubclass.h"
#include "plumbing/mDeclares.h"
#include "tests/support/TestSupport.h"

using testsupport::PumpFor;
using testsupport::PumpMessages;

namespace {

// How often the window's own procedure saw each message.
std::map<UINT, int> g_previous;
// When set, the own procedure records WM_NCLBUTTONDOWN's wParam and stops
// there, so no modal move or size loop of the system starts.
bool g_swallowNCDown = false;
std::vector<WPARAM> g_ncDownCodes;

LRESULT CALLBACK OwnProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++g_previous[msg];
    if (msg == WM_NCLBUTTONDOWN && g_swallowNCDown) {
        g_ncDownCodes.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND g_mdiClient = nullptr;

LRESULT CALLBACK MDIFrameProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcW(hWnd, g_mdiClient, msg, wParam, lParam);
}

LRESULT CALLBACK MDIChildProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(hWnd, msg, wParam, lParam);
}

const wchar_t* RegisterOnce(const wchar_t* name, WNDPROC proc) {
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
        PumpMessages();
    }
    ~Framed() {
        engine->Detach();
        DestroyWindow(hWnd);
        PumpMessages();
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

RECT ClientOnScreen(HWND hWnd) {
    RECT rc;
    GetClientRect(hWnd, &rc);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

std::string ToString(const RECT& r) {
    char text[64];
    snprintf(text, sizeof(text), "(%ld, %ld, %ld, %ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

void SendMouse(DWORD flags, int dx = 0, int dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof(in));
}

POINT Cursor() {
    POINT pt{};
    GetCursorPos(&pt);
    return pt;
}

// Pointer input at a point given with it: under Wine the position the
// system routes input by and the one GetCursorPos reports can differ for a
// moment, so a press or release without a position may land elsewhere.
void MouseAt(POINT pt, DWORD flags = 0) {
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags, ((pt.x << 16) + cx - 1) / cx,
              ((pt.y << 16) + cy - 1) / cy);
}

// Moves the pointer and waits until it has stayed there for 100 ms.
void MoveTo(POINT pt) {
    int stable = 0;
    for (int i = 0; i < 200 && stable < 10; ++i) {
        const POINT now = Cursor();
        if (now.x == pt.x && now.y == pt.y) {
            ++stable;
        } else {
            stable = 0;
            if (i % 10 == 0) MouseAt(pt);
        }
        Sleep(10);
    }
}

}  // namespace

TEST(cNCCalcSize, PartnerMarginsShapeTheClientArea) {
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int cap = GetSystemMetrics(SM_CYCAPTION);
    const struct {
        bool keep;
        int top, left, right, bottom;
        RECT client;
    } cases[] = {
        {false, 40, 4, 4, 4, {104, 140, 496, 396}},
        {false, 0, 0, 0, 0, {100, 100, 500, 400}},
        {true, 0, 0, 0, 0, {100 + fx, 100 + cap + fy, 500 - fx, 400 - fy}},  // the defaults
    };
    for (const auto& c : cases) {
        Framed f;
        TestPartner& p = *f.partner;
        p.keepMargins = c.keep;
        p.top = c.top, p.left = c.left, p.right = c.right, p.bottom = c.bottom;
        p.log.clear();
        f.engine->Display(f.hWnd);
        EXPECT_EQ(p.log, (std::vector<std::string>{"left", "top", "right", "bottom"}));
        EXPECT_TRUE(ClientOnScreen(f.hWnd) == c.client) << ToString(ClientOnScreen(f.hWnd));

        // Asked directly: the first two rectangles get the client area, the
        // third stays, and the window's own procedure runs once.
        WINDOWPOS pos{f.hWnd, nullptr, 100, 100, 400, 300, 0};
        NCCALCSIZE_PARAMS params{{{100, 100, 500, 400}, {1, 2, 3, 4}, {5, 6, 7, 8}}, &pos};
        g_previous.clear();
        EXPECT_EQ(SendMessageW(f.hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params)), WVR_VALIDRECTS);
        EXPECT_TRUE(params.rgrc[0] == c.client) << ToString(params.rgrc[0]);
        EXPECT_TRUE(params.rgrc[1] == c.client);
        EXPECT_TRUE(params.rgrc[2] == (RECT{5, 6, 7, 8}));
        EXPECT_EQ(g_previous[WM_NCCALCSIZE], 1);
    }
}

TEST(cNCCalcSize, PreviousProcedureRunsOncePerMessage) {
    Framed f;
    ASSERT_EQ(GetActiveWindow(), f.hWnd);
    EXPECT_TRUE(f.engine->WindowActive());  // attached while already active
    // With wParam 0 the answer is the previous procedure's rectangle after
    // one run, not two.
    RECT once{100, 100, 500, 400};
    DefWindowProcW(f.hWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&once));
    RECT rc{100, 100, 500, 400};
    g_previous.clear();
    EXPECT_EQ(SendMessageW(f.hWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc)), 0);
    EXPECT_TRUE(rc == once) << ToString(rc) << " vs " << ToString(once);
    EXPECT_EQ(g_previous[WM_NCCALCSIZE], 1);

    const struct {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        int runs;
    } cases[] = {
        {WM_NCACTIVATE, FALSE, 0, 1},   {WM_NCACTIVATE, TRUE, 0, 1},
        {WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Renamed"), 1},
        {WM_ACTIVATEAPP, TRUE, 0, 1},   {WM_INITMENU, 0, 0, 1},
        {WM_NCLBUTTONUP, HTCAPTION, 0, 1}, {WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), 1},
        {WM_ENTERMENULOOP, FALSE, 0, 1}, {WM_EXITMENULOOP, FALSE, 0, 1},
        {WM_NCPAINT, 1, 0, 0},          {WM_NCHITTEST, 0, MAKELPARAM(300, 300), 0},
    };
    for (const auto& c : cases) {
        g_previous.clear();
        const LRESULT result = SendMessageW(f.hWnd, c.msg, c.wParam, c.lParam);
        EXPECT_EQ(g_previous[c.msg], c.runs) << "message " << c.msg;
        // FALSE would refuse the deactivation.
        if (c.msg == WM_NCACTIVATE) {
            EXPECT_TRUE(result) << "wParam " << c.wParam;
        }
    }
    SendMessageW(f.hWnd, WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(f.engine->WindowActive());
    SendMessageW(f.hWnd, WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(f.engine->WindowActive());
    EXPECT_TRUE(f.engine->AppActive());
    SendMessageW(f.hWnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(f.engine->AppActive());
}

TEST(cNCCalcSize, HitTestBands) {
    const int cap = GetSystemMetrics(SM_CYCAPTION);
    ASSERT_LT(4 + cap + 2, 40);  // the menu bar band lies between caption line and top margin
    const struct {
        int x, y;
        LRESULT sizable, fixed;
    } cases[] = {
        {2, 150, HTLEFT, HTCLIENT},        {397, 150, HTRIGHT, HTCLIENT},
        {2, 2, HTTOPLEFT, HTCLIENT},       {397, 2, HTTOPRIGHT, HTCLIENT},
        {2, 297, HTBOTTOMLEFT, HTCLIENT},  {397, 297, HTBOTTOMRIGHT, HTCLIENT},
        {200, 4, HTTOP, HTCLIENT},         {200, 296, HTBOTTOM, HTCLIENT},
        {200, 5, HTCAPTION, HTCAPTION},    {200, 4 + cap, HTCAPTION, HTCAPTION},
        {10, 10, HTSYSMENU, HTSYSMENU},    {cap, 10, HTSYSMENU, HTSYSMENU},
        {cap + 1, 10, HTCAPTION, HTCAPTION}, {200, 5 + cap, HTCLIENT, HTCLIENT},
        {200, 150, HTCLIENT, HTCLIENT},    {450, 150, HTCLIENT, HTCLIENT},
    };
    for (const bool sizable : {true, false}) {
        Framed f(sizable ? WS_OVERLAPPEDWINDOW : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU);
        for (const auto& c : cases) {
            const LRESULT expected = sizable ? c.sizable : c.fixed;
            EXPECT_EQ(f.HitTest(c.x, c.y), expected) << c.x << "," << c.y << " sizable " << sizable;
            EXPECT_EQ(f.partner->proposal, expected);
            EXPECT_EQ(f.partner->hitPoint.x, c.x);
            EXPECT_EQ(f.partner->hitPoint.y, c.y);
        }
    }
}

TEST(cNCCalcSize, PressesFollowTheRememberedHitTest) {
    Framed f;
    g_swallowNCDown = true;
    TestPartner& p = *f.partner;

    // HTMENU reaches the system as HTCLIENT, but a press then goes to the
    // partner, not to the caption drag.
    p.answer = HTMENU;
    EXPECT_EQ(f.HitTest(200, 30), HTCLIENT);
    p.log.clear();
    f.Press(200, 30);
    EXPECT_EQ(p.log, (std::vector<std::string>{"down 200,30"}));

    // A remembered HTCAPTION starts the engine's drag (over at once: no
    // button is down), with neither the partner nor the system involved.
    p.answer = HTCAPTION;
    f.HitTest(200, 30);
    p.log.clear();
    g_ncDownCodes.clear();
    f.Press(200, 30);
    EXPECT_TRUE(p.log.empty());
    EXPECT_TRUE(g_ncDownCodes.empty());

    // A press the partner leaves alone reaches the window's own procedure
    // with the engine's code for the pressed point, whatever the message
    // said, even when the partner's handling dispatched a message of another
    // subclassed window in between.
    const HWND button = CreateWindowW(L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    const auto bystander = MakeRef<Bystander>();
    GSubclass::AttachMessage(bystander.get(), button, WM_APP);
    p.duringPress = [button] { SendMessageW(button, WM_APP, 0, 0); };
    p.answer = 0;
    p.handlePress = false;
    f.HitTest(2, 150);
    f.Press(2, 150, HTCAPTION);
    EXPECT_EQ(g_ncDownCodes, std::vector<WPARAM>{HTLEFT});
    p.duringPress = nullptr;
    GSubclass::DetachMessage(bystander.get(), button, WM_APP);
    DestroyWindow(button);

    // Without a partner the system's own code passes through.
    RemovePropW(f.hWnd, L"teskCNCImplementation");
    g_ncDownCodes.clear();
    f.Press(200, 10, HTCAPTION);
    EXPECT_EQ(g_ncDownCodes, std::vector<WPARAM>{HTCAPTION});

    // A release gives the partner a down and an up at the released point.
    SetPropW(f.hWnd, L"teskCNCImplementation", static_cast<INCAreaModifier*>(f.partner.get()));
    p.log.clear();
    RECT wr;
    GetWindowRect(f.hWnd, &wr);
    SendMessageW(f.hWnd, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 50, wr.top + 12));
    EXPECT_EQ(p.log, (std::vector<std::string>{"down 50,12", "up 50,12"}));
    g_swallowNCDown = false;
}

TEST(cNCCalcSize, PressesNudgeThePointerBackAndForth) {
    Framed f;
    f.HitTest(200, 150);  // not the caption: the press goes to the partner
    SetCursorPos(300, 300);
    PumpMessages();
    const POINT start = Cursor();
    const POINT expected[] = {{start.x - 1, start.y - 1}, {start.x, start.y}, {start.x - 1, start.y - 1}};
    for (const POINT& e : expected) {
        f.Press(200, 150, HTCLIENT);
        PumpMessages();
        const POINT now = Cursor();
        EXPECT_EQ(now.x, e.x);
        EXPECT_EQ(now.y, e.y);
    }
}

TEST(cNCCalcSize, ZoomedMDIChildIsLeftToTheSystem) {
    const HWND frame = CreateWindowW(RegisterOnce(L"EngineTestMDIFrame", MDIFrameProc), L"MDI",
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 500, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    CLIENTCREATESTRUCT ccs{nullptr, 1000};
    g_mdiClient = CreateWindowW(L"MDIClient", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                                nullptr, GetModuleHandleW(nullptr), &ccs);
    SendMessageW(frame, WM_SIZE, 0, MAKELPARAM(600, 450));
    const HWND child = CreateMDIWindowW(RegisterOnce(L"EngineTestMDIChild", MDIChildProc), L"Child",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, g_mdiClient,
                                        GetModuleHandleW(nullptr), 0);
    ASSERT_TRUE(child);
    const auto partner = MakeRef<TestPartner>(child);
    const auto engine = MakeRef<cNCCalcSize>();
    engine->Attach(partner.get());

    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int cap = GetSystemMetrics(SM_CYCAPTION);
    for (const bool zoomed : {false, true}) {
        SendMessageW(g_mdiClient, zoomed ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        PumpMessages();
        ASSERT_EQ(IsZoomed(child) != 0, zoomed);
        partner->log.clear();
        partner->paints = 0;
        WINDOWPOS pos{child, nullptr, 10, 20, 300, 200, 0};
        NCCALCSIZE_PARAMS params{{{10, 20, 310, 220}}, &pos};
        SendMessageW(child, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        SendMessageW(child, WM_NCPAINT, 1, 0);
        SendMessageW(child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));  // repaints an MDI child
        const RECT expected = zoomed ? RECT{10 + fx, 20 + cap + fy, 310 - fx, 220 - fy} : RECT{14, 60, 306, 216};
        EXPECT_TRUE(params.rgrc[0] == expected) << ToString(params.rgrc[0]) << " zoomed " << zoomed;
        EXPECT_EQ(partner->log.size(), zoomed ? 0u : 4u);
        EXPECT_EQ(partner->paints, zoomed ? 0 : 2);
    }
    engine->Detach();
    DestroyWindow(frame);
    g_mdiClient = nullptr;
}

TEST(cNCCalcSize, MenusStayThePartners) {
    const HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 1, L"&File");
    Framed f(WS_OVERLAPPEDWINDOW, menu);
    EXPECT_EQ(f.engine->hMenu(), menu);

    const LONG_PTR style = GetWindowLongPtrW(f.hWnd, GWL_STYLE);
    const int paints = f.partner->paints;
    SendMessageW(f.hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(f.hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetMenu(f.hWnd), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(f.hWnd, GWL_STYLE), style);
    EXPECT_EQ(f.partner->paints, paints);  // nothing painted while the style claims "hidden"
    EXPECT_EQ(f.engine->hMenu(), menu);

    const struct {
        UINT msg;
        LPARAM lParam;
        std::vector<std::string> log;
    } cases[] = {
        {WM_INITMENUPOPUP, MAKELPARAM(0, 1), {}},  // the system menu
        {WM_INITMENUPOPUP, MAKELPARAM(2, 0), {"popup 2"}},
        {WM_ENTERMENULOOP, 0, {}},
        {WM_EXITMENULOOP, 0, {"exit"}},
    };
    for (const auto& c : cases) {
        f.partner->log.clear();
        SendMessageW(f.hWnd, c.msg, reinterpret_cast<WPARAM>(menu), c.lParam);
        EXPECT_EQ(f.partner->log, c.log) << c.msg << " " << c.lParam;
    }
    f.engine->Detach();
    EXPECT_EQ(GetMenu(f.hWnd), nullptr);
    DestroyMenu(menu);
}

TEST(cNCCalcSize, DetachLeavesNothingBehind) {
    const auto ownProc = reinterpret_cast<LONG_PTR>(&OwnProc);
    Framed a, b;
    EXPECT_NE(GetWindowLongPtrW(a.hWnd, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(GetPropW(a.hWnd, L"teskCNCImplementation"), static_cast<INCAreaModifier*>(a.partner.get()));
    EXPECT_EQ(mDeclares::EngineCount(), 2);

    // Alt+F through the keyboard hook reaches the active window's partner only.
    SetForegroundWindow(b.hWnd);
    PumpMessages();
    a.partner->log.clear();
    b.partner->log.clear();
    const std::pair<WORD, DWORD> keys[] = {{VK_MENU, 0}, {'F', 0}, {'F', KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}};
    for (const auto& [vk, flags] : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = flags;
        SendInput(1, &in, sizeof(in));
    }
    PumpFor(100);
    EXPECT_EQ(b.partner->log, std::vector<std::string>{"alt F"});
    EXPECT_TRUE(a.partner->log.empty());

    // Attaching elsewhere first lets go of the first window; Detach lets go of
    // the second.
    const HWND third = CreateWindowW(L"EngineTestWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    const auto thirdPartner = MakeRef<TestPartner>(third);
    a.engine->Attach(thirdPartner.get());
    EXPECT_EQ(GetWindowLongPtrW(a.hWnd, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(GetPropW(a.hWnd, L"teskCNCImplementation"), nullptr);
    EXPECT_EQ(GetPropW(third, L"teskCNCImplementation"), static_cast<INCAreaModifier*>(thirdPartner.get()));
    a.engine->Detach();
    EXPECT_EQ(GetWindowLongPtrW(third, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(GetPropW(third, L"teskCNCImplementation"), nullptr);
    EXPECT_EQ(a.engine->hMenu(), nullptr);
    EXPECT_TRUE(mDeclares::KeyboardHookInstalled());  // b's engine still needs it
    DestroyWindow(third);

    // Destroying the window detaches its engine, and the last one takes the hook.
    DestroyWindow(b.hWnd);
    EXPECT_EQ(b.engine->HandleAltKey('F'), 0);
    EXPECT_EQ(mDeclares::EngineCount(), 0);
    EXPECT_FALSE(mDeclares::KeyboardHookInstalled());
}

TEST(cNCCalcSize, CaptionDragMovesTheWindow) {
    for (const bool owned : {false, true}) {
        // An owned popup's GetParent is its owner, whose client origin must
        // not leak into the position.
        const HWND owner = owned ? CreateWindowW(L"EngineTestWindow", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                 600, 50, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                                                 nullptr)
                                 : nullptr;
        Framed f(owned ? WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME : WS_OVERLAPPEDWINDOW, nullptr, owner);
        SetForegroundWindow(f.hWnd);
        PumpFor(50);
        RECT before;
        GetWindowRect(f.hWnd, &before);
        const POINT start{before.left + 200, before.top + 12};
        const POINT target{start.x + 50, start.y + 30};
        std::atomic<bool> done{false};
        std::thread input([&] {
            MoveTo(start);
            MouseAt(start, MOUSEEVENTF_LEFTDOWN);
            // The press's one-pixel nudge comes just before the drag loop
            // reads its starting point: move only once the loop is running,
            // or a busy machine lets the first step slip in before it.
            for (int i = 0; i < 300 && Cursor().x == start.x && Cursor().y == start.y; ++i) Sleep(10);
            Sleep(200);
            for (int i = 1; i <= 5; ++i) {
                MouseAt({start.x + 10 * i, start.y + 6 * i});
                Sleep(40);
            }
            MoveTo(target);
            // The drag loop polls the pointer: let it see the last move
            // before the button goes up.
            Sleep(250);
            MouseAt(target, MOUSEEVENTF_LEFTUP);
            Sleep(150);
            MoveTo({target.x + 20, target.y + 20});  // after the release: the window stays
            done = true;
        });
        while (!done) PumpFor(10);
        input.join();
        PumpFor(50);
        RECT after;
        GetWindowRect(f.hWnd, &after);
        // The window keeps its offset to the pointer: it stands where one of
        // the pointer's steps put it, in both directions alike, one pixel
        // further for the press's up-left nudge. Under load Wine's cursor
        // position may lag behind the last injected move or two until the
        // release, so the last steps all count.
        const int dx = after.left - before.left, dy = after.top - before.top;
        bool onPath = false;
        for (int step = 3; step <= 5; ++step)
            onPath = onPath || (std::abs(dx - (10 * step + 1)) <= 1 && std::abs(dy - (6 * step + 1)) <= 1);
        EXPECT_TRUE(onPath) << "owned " << owned << ": moved by (" << dx << ", " << dy << ")";
        EXPECT_EQ(after.right - after.left, 400);
        if (owner) DestroyWindow(owner);
    }
}

TEST(cNCCalcSize, DragLoopLeavesAQuitRequestToTheProgram) {
    Framed f;
    RECT wr;
    GetWindowRect(f.hWnd, &wr);
    const POINT inside{wr.left + 200, wr.top + 150};
    MoveTo(inside);
    MouseAt(inside, MOUSEEVENTF_LEFTDOWN);  // the button the drag loop watches
    // Released from another thread in any case, so a loop that kept the
    // request to itself would still end.
    std::thread release([&] {
        Sleep(1000);
        MouseAt(inside, MOUSEEVENTF_LEFTUP);
    });
    f.partner->answer = HTCAPTION;
    f.HitTest(200, 10);
    PostQuitMessage(7);
    f.Press(200, 10);
    MSG msg{};
    const bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    release.join();
    PumpFor(50);
    EXPECT_TRUE(quit);
    EXPECT_EQ(msg.wParam, 7u);
}

// TARVOLO_SHOT_WAIT=<seconds> holds each state on screen for a screenshot.
TEST(cNCCalcSize, PlainFrameWithoutPartner) {
    Framed other;
    SetWindowPos(other.hWnd, nullptr, 550, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Framed f;
    RemovePropW(f.hWnd, L"teskCNCImplementation");
    SetWindowTextW(f.hWnd, L"Tarvolo plain frame");
    f.engine->Display(f.hWnd);
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int h = GetSystemMetrics(SM_CYCAPTION) - 1;
    EXPECT_TRUE(ClientOnScreen(f.hWnd) == (RECT{100 + fx, 100 + h + 1 + fy, 500 - fx, 400 - fy}));
    const char* wait = std::getenv("TARVOLO_SHOT_WAIT");
    for (const bool active : {true, false}) {
        SetForegroundWindow(active ? f.hWnd : other.hWnd);
        PumpFor(100);
        EXPECT_EQ(f.engine->WindowActive(), active);
        const HDC screen = GetDC(nullptr);
        // Top row of the caption above the close button, and the last border column.
        const COLORREF caption = GetPixel(screen, 500 - fx - h / 2, 100 + fy);
        const COLORREF border = GetPixel(screen, 100 + fx - 1, 250);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(caption, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION)) << active;
        if (fx > 2) {
            EXPECT_EQ(border, GetSysColor(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER)) << active;
        }
        if (wait) PumpFor(static_cast<DWORD>(std::atoi(wait)) * 1000);
    }
}

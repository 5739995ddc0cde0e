// The bar on a window framed by the real non-client engine: mouse presses
// over the bar arrive as client messages because the engine answers HTCLIENT
// there, popups are prepared and restored through the engine's forwarding,
// and Alt+letter travels keyboard hook -> engine -> partner -> bar.
#include <gtest/gtest.h>

#include "frame/cMenuBar.h"
#include "frame/cNCCalcSize.h"
#include "tests/frame/MenuBarTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace menubartest;

namespace {

constexpr wchar_t kClass[] = L"TarvoloMenuBarEngineTest";

// Paints the caption band and the bar the way the caption painter does and
// forwards popup preparation, the end of menu loops and Alt keys to the bar.
class BarPartner : public INCAreaModifier {
public:
    BarPartner(HWND hwnd, Ref<cMenuBar> bar, HFONT font) : hwnd_(hwnd), bar_(std::move(bar)), font_(font) {}
    Ref<cNCCalcSize> engine;

    HWND hWnd() const override { return hwnd_; }
    void GetTopMarginHeight(int& cy) override { cy = kCaption; }
    void GetLeftMarginWidth(int& cx) override { cx = kBorder; }
    void GetRightMarginWidth(int& cx) override { cx = kBorder; }
    void GetBottomMarginHeight(int& cy) override { cy = kBorder; }
    void NCPaint(HDC hDC, int, int, int lRight, int lBottom) override {
        caption_.Width(lRight);
        caption_.Height(kCaption);
        HBRUSH fill = CreateSolidBrush(kBandColor);
        const RECT band{0, 0, lRight, kCaption};
        FillRect(caption_.hDC(), &band, fill);
        bar_->hMenu(engine->hMenu());
        bar_->Render(font_, caption_.hDC(), kBandLeft, kCaption / 2, lRight - kBandLeft - kBandRight, kCaption / 2,
                     2 - kCaption / 2);
        BitBlt(hDC, 0, 0, lRight, kCaption, caption_.hDC(), 0, 0, SRCCOPY);
        const RECT left{0, kCaption, kBorder, lBottom}, right{lRight - kBorder, kCaption, lRight, lBottom},
            bottom{0, lBottom - kBorder, lRight, lBottom};
        FillRect(hDC, &left, fill);
        FillRect(hDC, &right, fill);
        FillRect(hDC, &bottom, fill);
        DeleteObject(fill);
    }
    void HitTest(int, int, int&) override {}
    void NCMouseDown(int, int, bool&, HDC, int, int, int, int) override {}
    void NCMouseUp(int, int, HDC, int, int, int, int) override {}
    void InitMenuPopup(WPARAM wParam, LPARAM) override { bar_->InitMenuPopup(reinterpret_cast<HMENU>(wParam)); }
    void ExitMenuLoop() override { bar_->ExitMenuLoop(); }
    int AltKeyAccelerator(int vKey) override { return bar_->AltKeyAccelerator(vKey) ? -1 : 0; }

private:
    HWND hwnd_;
    Ref<cMenuBar> bar_;
    HFONT font_;
    cMemDC caption_;
};

std::vector<std::wstring>* g_log = nullptr;
std::map<HMENU, std::wstring>* g_names = nullptr;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITMENUPOPUP:
        if (g_log && !HIWORD(lParam)) g_log->push_back(L"init:" + (*g_names)[reinterpret_cast<HMENU>(wParam)]);
        return 0;
    case WM_COMMAND:
        if (g_log) g_log->push_back(L"cmd:" + std::to_wstring(LOWORD(wParam)));
        return 0;
    case WM_SYSKEYDOWN:
        if (g_log && wParam != VK_MENU) g_log->push_back(L"syskey:" + std::wstring(1, static_cast<wchar_t>(wParam)));
        return 0;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return 0;  // the default would start the system menu
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

TEST(cMenuBarWithEngine, MenuLoopsThroughTheRealFrameEngine) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &LoggingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);

    std::vector<std::wstring> log;
    std::map<HMENU, std::wstring> names;
    g_log = &log;
    g_names = &names;

    HMENU menu = CreateMenu(), file = CreatePopupMenu(), edit = CreatePopupMenu();
    AddCommand(file, 101, L"&Open\tCtrl+O");
    AddSeparator(file);
    AddCommand(file, 102, L"&Close", MFS_DISABLED);
    AddCommand(edit, 201, L"&Undo\tCtrl+Z");
    AddCommand(edit, 202, L"&Wrap", MFS_CHECKED);
    AddPopup(menu, file, L"&File");
    AddPopup(menu, edit, L"&Edit");
    names[file] = L"File";
    names[edit] = L"Edit";
    const auto fileBefore = Snapshot(file), editBefore = Snapshot(edit);

    HWND hwnd = CreateWindowExW(0, kClass, L"Engine test", WS_OVERLAPPEDWINDOW, 150, 150, 480, 300, nullptr, menu,
                                GetModuleHandleW(nullptr), nullptr);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    Ref<cMenuBar> bar = MakeRef<cMenuBar>();
    bar->Attach(hwnd);
    bar->SetColors(RGB(0, 0, 160), RGB(200, 0, 0), RGB(128, 128, 128), RGB(255, 255, 240));
    bar->CaptionHeight(kCaption);
    Ref<BarPartner> partner = MakeRef<BarPartner>(hwnd, bar, font);
    partner->engine = MakeRef<cNCCalcSize>();
    partner->engine->Attach(partner.get());
    partner->engine->Display(hwnd);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SendMessageW(hwnd, WM_NCACTIVATE, 1, 0);
    testsupport::PumpFor(200);
    ASSERT_EQ(bar->ItemCount(), 2);

    const auto centre = [&](int k) {
        RECT r{};
        bar->ItemScreenRect(k, r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    std::vector<std::wstring> expected;
    std::vector<std::string> failures;
    const auto opened = [&](const std::string& step, std::vector<std::wstring> add) {
        expected.insert(expected.end(), add.begin(), add.end());
        if (log != expected) failures.push_back(step);
    };
    // Popup items are owner-drawn while their popup is open.
    bool ownerDrawnWhileOpen = false;

    InputScript s;
    s.Add("click File", [&] { Click(centre(1)); });
    s.Add("File opened", [&] {
        opened("click", {L"init:File"});
        ownerDrawnWhileOpen = Snapshot(file)[0].type & MFT_OWNERDRAW;
    });
    s.Shot("engine-file-open");
    s.Add("Right", [] { Tap(VK_RIGHT); });
    s.Add("Edit opened", [&] { opened("Right", {L"init:Edit"}); });
    // A real move: the pointer still rests where File was clicked.
    s.Add("mouse onto File", [&] { MoveMouse(POINT{centre(1).x + 3, centre(1).y}); });
    s.Add("File opened by the mouse", [&] { opened("mouse", {L"init:File"}); });
    s.Add("type o", [] { Tap('O'); });
    s.Add("Open chosen", [&] { opened("mnemonic", {L"cmd:101"}); });
    s.Add("mouse away", [&] { MoveMouse(POINT{centre(1).x, centre(1).y + 150}); });
    s.Add("Alt+E", [] { AltTap('E'); });
    s.Add("Edit opened by Alt+E", [&] { opened("Alt+E", {L"init:Edit"}); });
    s.Add("Escape", [] { Tap(VK_ESCAPE); });
    s.Add("closed", [&] { opened("Escape", {}); });
    s.Add("Alt+Q", [] { AltTap('Q'); });
    s.Add("Q passed on", [&] { opened("Alt+Q", {L"syskey:Q"}); });
    const bool finished = s.Run(30000);

    EXPECT_TRUE(finished) << "stopped after " << (s.done.empty() ? "nothing" : s.done.back());
    for (const auto& f : failures) ADD_FAILURE() << "unexpected events at: " << f;
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(ownerDrawnWhileOpen);
    EXPECT_EQ(Snapshot(file), fileBefore);
    EXPECT_EQ(Snapshot(edit), editBefore);

    partner->engine->Detach();
    bar->Detach();
    DestroyWindow(hwnd);
    DestroyMenu(menu);
    DeleteObject(font);
    g_log = nullptr;
    g_names = nullptr;
    testsupport::PumpMessages();
}

#include <gtest/gtest.h>

#include <windowsx.h>

#include <functional>
#include <vector>

#include "controls/XLinkLabel.h"
#include "resources/resource.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kGrey = RGB(207, 203, 207);
constexpr int kLabelX = 20, kLabelY = 20, kLabelW = 120, kLabelH = 20;

// A plain top-level window to hold the labels, at a known place on screen.
class HostWindow {
public:
    HostWindow() {
        static const ATOM cls = [] {
            WNDCLASSEXW wc{sizeof(wc)};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            wc.lpszClassName = L"TarvoloLinkTestHost";
            return RegisterClassExW(&wc);
        }();
        (void)cls;
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST, L"TarvoloLinkTestHost", L"host", WS_POPUP | WS_VISIBLE, 100, 100, 400,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(hwnd_);
        testsupport::PumpMessages();
    }
    ~HostWindow() { DestroyWindow(hwnd_); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

class XLinkLabelTest : public testing::Test {
protected:
    Ref<XLinkLabel> MakeLabel(const std::wstring& name = L"XLinkLabel1", int w = kLabelW, int h = kLabelH) {
        ControlAmbient ambient;
        ambient.Font = ambientFont_;
        ambient.BackColor = kGrey;
        ambient.ForeColor = kRed;
        ambient.Name = name;
        auto label = XLinkLabel::Create(host_.get(), kLabelX, kLabelY, w, h, ambient);
        label->ShellOpen = [this](const std::wstring& address) { opened_.push_back(address); };
        return label;
    }

    static void MoveTo(const Ref<XLinkLabel>& label, int x, int y) {
        SendMessageW(label->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }

    static bool NeedsRepaint(HWND hwnd) { return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE; }

    HostWindow host_;
    Ref<StdFont> ambientFont_ = MakeRef<StdFont>(L"宋体", 12);
    std::vector<std::wstring> opened_;
};

// The label's drawing, as WM_PRINTCLIENT renders it into a bitmap of w x h
// pixels first filled with `fill`.
std::vector<COLORREF> Render(HWND label, int w, int h, COLORREF fill = RGB(1, 2, 3)) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<size_t>(w) * h);
    const auto* p = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const DWORD v = p[i];
        pixels[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return pixels;
}

int CountColumnsWith(const std::vector<COLORREF>& px, int w, int h, int x0, int x1, COLORREF color) {
    int columns = 0;
    for (int x = x0; x < x1; ++x) {
        for (int y = 0; y < h; ++y) {
            if (px[static_cast<size_t>(y) * w + x] == color) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

// Longest horizontal run of `color` in any row: an underline spans the text.
int LongestRun(const std::vector<COLORREF>& px, int w, int h, COLORREF color) {
    int best = 0;
    for (int y = 0; y < h; ++y) {
        int run = 0;
        for (int x = 0; x < w; ++x) {
            run = px[static_cast<size_t>(y) * w + x] == color ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

TEST_F(XLinkLabelTest, HoverCountsBothEdgesAsInsideAndHoldsTheCaptureOnlyInside) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    ASSERT_EQ(label->ScaleWidth(), kLabelW);
    ASSERT_EQ(label->ScaleHeight(), kLabelH);
    struct Case { int x, y; bool inside; } const cases[] = {
        {0, 0, true},           {kLabelW, kLabelH, true}, {kLabelW, 0, true},    {0, kLabelH, true},
        {kLabelW / 2, 5, true}, {kLabelW + 1, 5, false},  {5, kLabelH + 1, false}, {-1, 5, false},
        {5, -1, false},         {-300, -300, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
        MoveTo(label, -10, -10);  // start from the normal state
        MoveTo(label, c.x, c.y);
        EXPECT_EQ(label->Hovering(), c.inside);
        EXPECT_EQ(GetCapture() == label->hWnd(), c.inside);
    }
    MoveTo(label, -10, -10);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(XLinkLabelTest, MovesChangeTheCaptureOnlyWhenCrossingTheEdge) {
    // Each change of capture makes the system send a mouse move of its own;
    // a label that changed it on every move would answer each with another.
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    static HWND watched;
    static int changes;
    watched = label->hWnd();
    changes = 0;
    const HHOOK hook = SetWindowsHookExW(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code == HC_ACTION && m->hwnd == watched && m->message == WM_CAPTURECHANGED) ++changes;
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const struct {
        int x, y, changes;  // changes so far
    } steps[] = {{5, 5, 0}, {6, 5, 0}, {kLabelW, kLabelH, 0}, {kLabelW + 1, 5, 1}, {kLabelW + 9, 5, 1},
                 {7, 7, 1}, {8, 8, 1},  {-1, 5, 2}};
    for (const auto& s : steps) {
        MoveTo(label, s.x, s.y);
        EXPECT_EQ(changes, s.changes) << "after the move to (" << s.x << ", " << s.y << ")";
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(XLinkLabelTest, OnlyAStateChangeRedraws) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    const HWND hwnd = label->hWnd();
    struct Step { int x, y; bool redraws; } const steps[] = {
        {5, 5, true}, {6, 6, false}, {kLabelW, kLabelH, false}, {kLabelW + 1, 0, true}, {200, 0, false}, {0, 0, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "(" << s.x << ", " << s.y << ")");
        ValidateRect(hwnd, nullptr);
        MoveTo(label, s.x, s.y);
        EXPECT_EQ(NeedsRepaint(hwnd), s.redraws);
    }
}

TEST_F(XLinkLabelTest, ColoursAndUnderlineFollowTheHoverState) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    label->Caption(L"Doravel");
    label->NormTextColor(kRed);
    label->HoverTextColor(kBlue);
    label->NormUnderline(false);
    label->HoverUnderline(true);
    const Ref<StdFont> hostFont = label->Font();

    EXPECT_EQ(label->CurrentTextColor(), kRed);
    EXPECT_FALSE(label->CurrentUnderline());
    auto normal = Render(label->hWnd(), kLabelW, kLabelH);
    MoveTo(label, 3, 3);
    EXPECT_EQ(label->CurrentTextColor(), kBlue);
    EXPECT_TRUE(label->CurrentUnderline());
    auto hover = Render(label->hWnd(), kLabelW, kLabelH);
    MoveTo(label, kLabelW + 5, 3);
    EXPECT_EQ(label->CurrentTextColor(), kRed);
    EXPECT_FALSE(label->CurrentUnderline());

    // What is drawn: the background everywhere but the text, the text in the
    // state's colour, and an underline as long as most of the text.
    EXPECT_EQ(normal[0], kGrey);
    EXPECT_GT(CountColumnsWith(normal, kLabelW, kLabelH, 0, kLabelW, kRed), 20);
    EXPECT_EQ(CountColumnsWith(normal, kLabelW, kLabelH, 0, kLabelW, kBlue), 0);
    EXPECT_GT(CountColumnsWith(hover, kLabelW, kLabelH, 0, kLabelW, kBlue), 20);
    EXPECT_EQ(CountColumnsWith(hover, kLabelW, kLabelH, 0, kLabelW, kRed), 0);
    EXPECT_GT(LongestRun(hover, kLabelW, kLabelH, kBlue), 30);
    EXPECT_LT(LongestRun(normal, kLabelW, kLabelH, kRed), 15);
    // The underline is the control's own: the host's font is untouched.
    EXPECT_FALSE(hostFont->Underline());
}

// Rows of the bitmap holding at least one pixel of `color`.
int CountRowsWith(const std::vector<COLORREF>& px, int w, int h, COLORREF color) {
    int rows = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (px[static_cast<size_t>(y) * w + x] == color) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST_F(XLinkLabelTest, ColoursAreTranslatedWhenDrawnAndSystemColoursFollowTheSystem) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    struct Case { OLE_COLOR color; COLORREF drawn; } const cases[] = {
        {RGB(12, 34, 56), RGB(12, 34, 56)},
        {kSysColorBtnFace, GetSysColor(COLOR_BTNFACE)},
        {0x80000000u | COLOR_WINDOW, GetSysColor(COLOR_WINDOW)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.color);
        label->BackColor(c.color);
        EXPECT_EQ(label->BackColor(), c.color);  // kept as given, translated only to draw
        EXPECT_EQ(Render(label->hWnd(), kLabelW, kLabelH)[static_cast<size_t>(kLabelH - 1) * kLabelW + kLabelW - 1], c.drawn);
    }
}

TEST_F(XLinkLabelTest, ChangingTheSharedFontReachesTheLabelButItsUnderlineStaysTheLabels) {
    auto label = MakeLabel(L"XLinkLabel1", 300, 60);
    label->UserControl_InitProperties();
    label->Caption(L"Doravel");
    label->NormTextColor(kBlue);
    const Ref<StdFont> shared = label->Font();
    const int before = CountRowsWith(Render(label->hWnd(), 300, 60), 300, 60, kBlue);
    shared->Size(28);
    const int after = CountRowsWith(Render(label->hWnd(), 300, 60), 300, 60, kBlue);
    EXPECT_GT(after, before + 8);
    shared->Underline(true);  // the host's underline does not decide the label's
    EXPECT_FALSE(label->CurrentUnderline());
}

TEST_F(XLinkLabelTest, ChangesWhileHoveringShowTheWayTheyAreWritten) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    label->NormTextColor(kRed);
    label->HoverTextColor(kBlue);
    MoveTo(label, 3, 3);
    ASSERT_EQ(label->CurrentTextColor(), kBlue);

    // The new normal colour shows at once, and stays while the pointer is
    // still inside; the hover colour comes back only with a new entry.
    label->NormTextColor(kGreen);
    EXPECT_EQ(label->CurrentTextColor(), kGreen);
    MoveTo(label, 4, 4);
    EXPECT_EQ(label->CurrentTextColor(), kGreen);
    MoveTo(label, -4, 4);
    EXPECT_EQ(label->CurrentTextColor(), kGreen);
    MoveTo(label, 4, 4);
    EXPECT_EQ(label->CurrentTextColor(), kBlue);

    // Hover colour and underline take effect at the next entry.
    label->HoverTextColor(kRed);
    label->HoverUnderline(false);
    EXPECT_EQ(label->CurrentTextColor(), kBlue);
    EXPECT_TRUE(label->CurrentUnderline());
    MoveTo(label, -4, 4);
    MoveTo(label, 4, 4);
    EXPECT_EQ(label->CurrentTextColor(), kRed);
    EXPECT_FALSE(label->CurrentUnderline());
}

TEST_F(XLinkLabelTest, EveryWriteReportsItsPersistedNameAndRepaintsAllButURLAndEnabled) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    std::vector<std::wstring> reported;
    label->PropertyChanged = [&](const std::wstring& name) { reported.push_back(name); };
    const auto font = MakeRef<StdFont>(L"Arial", 9);
    struct Case { const wchar_t* name; std::function<void()> write; bool repaints; } const cases[] = {
        {L"BackColor", [&] { label->BackColor(kBlue); }, true},
        {L"NormTextColor", [&] { label->NormTextColor(kBlue); }, true},
        {L"HoverTextColor", [&] { label->HoverTextColor(kBlue); }, true},
        {L"NormUnderline", [&] { label->NormUnderline(true); }, true},
        {L"HoverUnderline", [&] { label->HoverUnderline(false); }, true},
        {L"Font", [&] { label->Font(font); }, true},
        {L"Caption", [&] { label->Caption(L"x"); }, true},
        {L"URL", [&] { label->url(L"http://a.example/"); }, false},
        {L"Enabled", [&] { label->Enabled(false); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        reported.clear();
        ValidateRect(label->hWnd(), nullptr);
        c.write();
        EXPECT_EQ(reported, std::vector<std::wstring>{c.name});
        EXPECT_EQ(NeedsRepaint(label->hWnd()), c.repaints);
    }
    EXPECT_EQ(label->Font().get(), font.get());
    EXPECT_FALSE(IsWindowEnabled(label->hWnd()));
}

TEST_F(XLinkLabelTest, ANewInstanceShowsItsNameWhileAnUnsavedCaptionReadsAsURLLabel) {
    std::vector<std::wstring> reported;
    auto placed = MakeLabel(L"XLinkLabel7");
    placed->PropertyChanged = [&](const std::wstring& name) { reported.push_back(name); };
    placed->UserControl_InitProperties();
    EXPECT_EQ(reported, (std::vector<std::wstring>{L"Font", L"BackColor", L"NormTextColor", L"HoverTextColor", L"URL",
                                                   L"Enabled", L"Caption", L"NormUnderline", L"HoverUnderline"}));
    auto loaded = MakeLabel(L"XLinkLabel8");
    loaded->UserControl_ReadProperties(PropertyBag{});

    EXPECT_EQ(placed->Caption(), L"XLinkLabel7");
    EXPECT_EQ(loaded->Caption(), L"URL Label");
    for (const auto* label : {placed.get(), loaded.get()}) {
        EXPECT_EQ(label->BackColor(), kGrey);
        EXPECT_EQ(label->NormTextColor(), kRed);
        EXPECT_EQ(label->HoverTextColor(), kRed);
        EXPECT_EQ(label->url(), XLinkLabel::kDefaultURL);
        EXPECT_TRUE(label->Enabled());
        EXPECT_FALSE(label->NormUnderline());
        EXPECT_TRUE(label->HoverUnderline());
        ASSERT_TRUE(label->Font());
        EXPECT_EQ(label->Font()->Name(), L"宋体");
        EXPECT_NE(label->Font().get(), ambientFont_.get());  // a copy: the host's font stays the host's
    }
}

TEST_F(XLinkLabelTest, SavedPropertiesOmitDefaultsAndLoadBackIntoAnotherInstance) {
    auto saved = MakeLabel();
    saved->UserControl_InitProperties();
    PropertyBag untouched;
    saved->UserControl_WriteProperties(untouched);
    // Only the font (always) and the caption (the instance name) differ.
    EXPECT_EQ(untouched.Keys(), (std::vector<std::wstring>{L"Font", L"Caption"}));

    saved->Caption(L"Doravel");
    saved->url(L"https://shop.example.com/doravel");
    saved->NormTextColor(kBlue);
    saved->HoverTextColor(kGreen);
    saved->NormUnderline(true);
    saved->HoverUnderline(false);
    saved->Enabled(false);
    saved->Font(MakeRef<StdFont>(L"宋体", 10.5));
    PropertyBag bag;
    saved->UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.Keys(), (std::vector<std::wstring>{L"Font", L"NormTextColor", L"HoverTextColor", L"URL", L"Enabled",
                                                     L"Caption", L"NormUnderline", L"HoverUnderline"}));

    auto loaded = MakeLabel(L"Other");
    loaded->UserControl_ReadProperties(bag);
    EXPECT_EQ(loaded->Caption(), L"Doravel");
    EXPECT_EQ(loaded->url(), L"https://shop.example.com/doravel");
    EXPECT_EQ(loaded->BackColor(), kGrey);
    EXPECT_EQ(loaded->NormTextColor(), kBlue);
    EXPECT_EQ(loaded->HoverTextColor(), kGreen);
    EXPECT_TRUE(loaded->NormUnderline());
    EXPECT_FALSE(loaded->HoverUnderline());
    EXPECT_FALSE(loaded->Enabled());
    EXPECT_FALSE(IsWindowEnabled(loaded->hWnd()));
    EXPECT_DOUBLE_EQ(loaded->Font()->Size(), 10.5);
    EXPECT_TRUE(loaded->CurrentUnderline());
}

TEST_F(XLinkLabelTest, AnUnreadablePropertyIsSkippedAndTheRestStillLoad) {
    PropertyBag bag;
    bag.Set(L"Font", std::wstring(L"not a font"));
    bag.Set(L"BackColor", true);
    bag.Set(L"Caption", std::wstring(L"Doravel"));
    bag.Set(L"HoverUnderline", false);
    auto label = MakeLabel();
    std::vector<std::wstring> reported;
    label->PropertyChanged = [&](const std::wstring& name) { reported.push_back(name); };
    label->UserControl_ReadProperties(bag);
    EXPECT_EQ(reported, (std::vector<std::wstring>{L"NormTextColor", L"HoverTextColor", L"URL", L"Enabled", L"Caption",
                                                   L"NormUnderline", L"HoverUnderline"}));
    EXPECT_EQ(label->Caption(), L"Doravel");
    EXPECT_FALSE(label->HoverUnderline());
    // Without a font the label still paints, in the default font.
    EXPECT_FALSE(label->Font());
    UpdateWindow(label->hWnd());
}

TEST_F(XLinkLabelTest, AClickHandsTheAddressToTheShellEvenWhenEmpty) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    for (const std::wstring address : {L"https://doravel.example.com/", L""}) {
        opened_.clear();
        label->url(address);
        SendMessageW(label->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(label->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(opened_, std::vector<std::wstring>{address});
    }
    // Pressed inside, released after leaving: no click.
    opened_.clear();
    SendMessageW(label->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(label->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(kLabelW + 30, 5));
    EXPECT_TRUE(opened_.empty());
}

// Real input through the system: the capture brings the move that leaves, and
// a disabled label neither reacts nor looks different.
TEST_F(XLinkLabelTest, RealMouseInputHoversClicksAndIsIgnoredWhenDisabled) {
    auto label = MakeLabel();
    label->UserControl_InitProperties();
    label->Caption(L"Doravel");
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto at = [](POINT p) {
        POINT c;
        GetCursorPos(&c);
        return c.x == p.x && c.y == p.y;
    };
    // Under Wine a late X motion event can put the pointer back where it was:
    // the move is repeated until the pointer stays at the target.
    auto moveTo = [&](POINT p) {
        for (int i = 0; i < 20; ++i) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dx = (p.x * 65535 + width / 2) / (width - 1);
            in.mi.dy = (p.y * 65535 + height / 2) / (height - 1);
            in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &in, sizeof(in));
            testsupport::PumpFor(60);
            if (at(p)) {
                testsupport::PumpFor(60);
                if (at(p)) return true;
            }
        }
        return false;
    };
    auto click = [&] {
        for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dwFlags = flag;
            SendInput(1, &in, sizeof(in));
            testsupport::PumpFor(100);
        }
    };
    auto eventually = [](const std::function<bool()>& done) {
        for (int i = 0; i < 100 && !done(); ++i) testsupport::PumpFor(20);
        return done();
    };
    testsupport::PumpFor(300);  // let the windows be mapped first
    POINT inside{kLabelX + 10, kLabelY + 8};
    ClientToScreen(GetParent(label->hWnd()), &inside);
    const POINT away{inside.x + 200, inside.y + 150};  // outside, not over the host either
    ASSERT_TRUE(moveTo(away));
    ASSERT_TRUE(moveTo(inside));
    EXPECT_TRUE(eventually([&] { return label->Hovering(); }));
    EXPECT_EQ(GetCapture(), label->hWnd());
    EXPECT_EQ(GetCursor(), LinkCursor());
    ASSERT_TRUE(moveTo(away));
    EXPECT_TRUE(eventually([&] { return !label->Hovering(); }));
    ASSERT_TRUE(moveTo(inside));
    click();
    EXPECT_TRUE(eventually([&] { return !opened_.empty(); }));
    EXPECT_EQ(opened_, std::vector<std::wstring>{XLinkLabel::kDefaultURL});

    ASSERT_TRUE(moveTo(away));
    EXPECT_TRUE(eventually([&] { return !label->Hovering(); }));
    const auto before = Render(label->hWnd(), kLabelW, kLabelH);
    label->Enabled(false);
    EXPECT_EQ(Render(label->hWnd(), kLabelW, kLabelH), before);
    opened_.clear();
    ASSERT_TRUE(moveTo(inside));
    click();
    testsupport::PumpFor(300);
    EXPECT_FALSE(label->Hovering());
    EXPECT_TRUE(opened_.empty());
    moveTo(away);
}

TEST_F(XLinkLabelTest, AChineseCaptionIsDrawnInFullAndALongOneIsCutAtTheEdge) {
    const std::wstring caption = L"多拉维尔的主页";
    auto label = MakeLabel(L"XLinkLabel1", 300, 30);
    label->UserControl_InitProperties();
    label->NormTextColor(kBlue);
    label->Caption(caption);
    UpdateWindow(label->hWnd());

    // Where each character should end, in the label's font.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, label->Font()->hFont());
    std::vector<int> ends(caption.size());
    SIZE total{};
    GetTextExtentExPointW(dc, caption.c_str(), static_cast<int>(caption.size()), 0, nullptr, ends.data(), &total);
    SelectObject(dc, old);
    DeleteDC(dc);
    ASSERT_LT(total.cx, 300);
    ASSERT_GT(total.cx, 7 * 8);

    const auto px = Render(label->hWnd(), 300, 30);
    int start = 0;
    for (size_t i = 0; i < caption.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "character " << i);
        EXPECT_GT(CountColumnsWith(px, 300, 30, start, ends[i], kBlue), (ends[i] - start) / 3);
        start = ends[i];
    }
    EXPECT_EQ(CountColumnsWith(px, 300, 30, total.cx + 1, 300, kBlue), 0);

    // Too long for 40 pixels: drawn up to the edge, not beyond, no growth.
    auto narrow = MakeLabel(L"XLinkLabel2", 40, 30);
    narrow->UserControl_InitProperties();
    narrow->NormTextColor(kBlue);
    narrow->Caption(caption);
    const auto cut = Render(narrow->hWnd(), 300, 30);
    EXPECT_GT(CountColumnsWith(cut, 300, 30, 0, 40, kBlue), 20);
    EXPECT_EQ(CountColumnsWith(cut, 300, 30, 40, 300, kBlue), 0);
    RECT rc;
    GetClientRect(narrow->hWnd(), &rc);
    EXPECT_EQ(rc.right, 40);
    EXPECT_EQ(narrow->ScaleWidth(), 40);
}

TEST(LinkCursor, IsTheProgramsMonochromeHandWithItsHotSpotOnTheFingertip) {
    HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDPOINT));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(LinkCursor(), own);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(own, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 12u);
    EXPECT_EQ(info.yHotspot, 9u);
    EXPECT_EQ(info.hbmColor, nullptr);  // monochrome: one mask of AND over XOR
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

}  // namespace

#include "tests/frame/MenuBarTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include "plumbing/mDeclares.h"
#include "tests/support/TestSupport.h"

namespace menubartest {
namespace {

constexpr wchar_t kClass[] = L"TarvoloMenuBarTestWindow";

void RegisterClassOnce() {
    static bool done = false;
    if (done) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;  // replaced per window after creation
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    done = true;
}

std::wstring Hex(ULONG_PTR v) {
    wchar_t buffer[32];
    swprintf(buffer, 32, L"%llx", static_cast<unsigned long long>(v));
    return buffer;
}

}  // namespace

bool AltKeyEngine::WindowActive() const {
    return GetActiveWindow() == window_.hwnd();
}

int AltKeyEngine::HandleAltKey(int vKey) {
    return window_.bar().AltKeyAccelerator(vKey) ? 1 : 0;
}

FramedWindow::FramedWindow(HMENU menu, int x, int y, int width, int height) : menu_(menu) {
    RegisterClassOnce();
    hwnd_ = CreateWindowExW(0, kClass, L"Menu bar test", WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
    barFont_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    bar_ = MakeRef<cMenuBar>();
    bar_->Attach(hwnd_);
    bar_->SetColors(RGB(0, 0, 160), RGB(200, 0, 0), RGB(128, 128, 128), RGB(255, 255, 240));
    bar_->CaptionHeight(kCaption);
    engine_ = MakeRef<AltKeyEngine>(*this);
    mDeclares::RegisterEngine(engine_.get());
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    UpdateWindow(hwnd_);
    Paint();
    testsupport::PumpMessages();
}

FramedWindow::~FramedWindow() {
    mDeclares::UnregisterEngine(engine_.get());
    bar_->Detach();
    DestroyWindow(hwnd_);
    bar_.reset();
    DeleteObject(barFont_);
    testsupport::PumpMessages();
}

void FramedWindow::Paint() {
    HDC dc = GetWindowDC(hwnd_);
    PaintFrame(dc);
    ReleaseDC(hwnd_, dc);
}

void FramedWindow::PaintFrame(HDC dc) {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    caption_.Width(w);
    caption_.Height(kCaption);
    const HDC band = caption_.hDC();
    HBRUSH fill = CreateSolidBrush(kBandColor);
    const RECT all{0, 0, w, kCaption};
    FillRect(band, &all, fill);
    // The bar's band gets its own slightly different fill, so a test sees
    // that the bar draws over a copy of what was there.
    HGDIOBJ oldFont = SelectObject(band, barFont_);
    SetBkMode(band, TRANSPARENT);
    SetTextColor(band, RGB(40, 40, 40));
    RECT title{12, 4, w - 12, kCaption / 2};
    DrawTextW(band, L"Menu bar test", -1, &title, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(band, oldFont);
    bar_->hMenu(menu_);
    bar_->Render(barFont_, band, kBandLeft, kCaption / 2, w - kBandLeft - kBandRight, kCaption / 2, 2 - kCaption / 2);
    BitBlt(dc, 0, 0, w, kCaption, band, 0, 0, SRCCOPY);
    const RECT left{0, kCaption, kBorder, h}, right{w - kBorder, kCaption, w, h}, bottom{0, h - kBorder, w, h};
    FillRect(dc, &left, fill);
    FillRect(dc, &right, fill);
    FillRect(dc, &bottom, fill);
    DeleteObject(fill);
}

RECT FramedWindow::ItemWindowRect(int k) {
    RECT r{}, window{};
    bar_->ItemScreenRect(k, r);
    GetWindowRect(hwnd_, &window);
    OffsetRect(&r, -window.left, -window.top);
    return r;
}

POINT FramedWindow::ItemCentre(int k) {
    RECT r{};
    bar_->ItemScreenRect(k, r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LRESULT CALLBACK FramedWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FramedWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->hwnd_ == hwnd) return self->Handle(msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT FramedWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCALCSIZE:
        if (wParam) {
            auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
            RECT& r = params->rgrc[0];
            r.left += kBorder;
            r.top += kCaption;
            r.right -= kBorder;
            r.bottom -= kBorder;
            return 0;
        }
        break;
    case WM_NCHITTEST: {
        RECT window{};
        GetWindowRect(hwnd_, &window);
        const int y = static_cast<short>(HIWORD(lParam)) - window.top;
        // The upper half of the band drags the window; the bar's half is client.
        return y >= 0 && y < kCaption / 2 ? HTCAPTION : HTCLIENT;
    }
    case WM_NCPAINT: {
        HDC dc = GetWindowDC(hwnd_);
        PaintFrame(dc);
        ReleaseDC(hwnd_, dc);
        return 0;
    }
    case WM_NCACTIVATE:
        Paint();
        return TRUE;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) {
            const HMENU popup = reinterpret_cast<HMENU>(wParam);
            const auto name = names_.find(popup);
            events.push_back(L"init:" + (name == names_.end() ? Hex(wParam) : name->second));
            if (bar_) bar_->InitMenuPopup(popup);
        }
        Paint();
        return 0;
    case WM_EXITMENULOOP:
        events.push_back(L"exit");
        if (bar_) bar_->ExitMenuLoop();
        Paint();
        return 0;
    case WM_COMMAND:
        events.push_back(L"cmd:" + std::to_wstring(LOWORD(wParam)));
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam != VK_MENU) events.push_back(L"syskey:" + std::wstring(1, static_cast<wchar_t>(wParam)));
        return 0;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        // Kept from the default handling, which would start the system menu.
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void AddCommand(HMENU menu, UINT id, const std::wstring& text, UINT state, UINT type, ULONG_PTR data) {
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
    info.fType = type;
    info.fState = state;
    info.wID = id;
    info.dwItemData = data;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

void AddSeparator(HMENU menu) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

void AddPopup(HMENU menu, HMENU popup, const std::wstring& text) {
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), text.c_str());
}

std::vector<ItemSnapshot> Snapshot(HMENU popup) {
    std::vector<ItemSnapshot> items;
    for (int p = 0, n = GetMenuItemCount(popup); p < n; ++p) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        GetMenuItemInfoW(popup, static_cast<UINT>(p), TRUE, &info);
        // The menu loop leaves its last selection highlighted; that is the
        // system's state, not the item's.
        items.push_back({info.fType, info.fState & ~MFS_HILITE, info.wID, info.hSubMenu, info.dwItemData, text});
    }
    return items;
}

namespace {
InputScript* g_running = nullptr;
}

void InputScript::Add(std::string name, std::function<void()> action, DWORD delay) {
    steps_.push_back({std::move(name), std::move(action), delay});
}

void InputScript::Shot(const std::string& name) {
    const char* hold = std::getenv("TARVOLO_SHOT_HOLD_MS");
    const DWORD ms = hold ? static_cast<DWORD>(std::atoi(hold)) : 300;
    Add(
        "shot " + name,
        [name] {
            std::printf("SHOT %s\n", name.c_str());
            std::fflush(stdout);
        },
        ms);
}

void CALLBACK InputScript::Tick(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_running) g_running->Next();
}

void InputScript::Next() {
    timer_ = 0;
    if (next_ >= steps_.size()) return;
    Step& step = steps_[next_++];
    step.action();
    done.push_back(step.name);
    timer_ = SetTimer(nullptr, 0, step.delay, &Tick);
}

bool InputScript::Run(DWORD timeoutMs) {
    // Start from a known input state: earlier test programs on the same
    // display may leave a button down or the pointer anywhere.
    INPUT release[2]{};
    release[0].type = release[1].type = INPUT_MOUSE;
    release[0].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    release[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, release, sizeof(INPUT));
    MoveMouse(POINT{5, GetSystemMetrics(SM_CYSCREEN) - 5});
    testsupport::PumpFor(150);
    g_running = this;
    next_ = 0;
    timer_ = SetTimer(nullptr, 0, 100, &Tick);
    const DWORD start = GetTickCount();
    while ((next_ < steps_.size() || timer_) && GetTickCount() - start < timeoutMs) {
        testsupport::PumpFor(20);
    }
    if (timer_) KillTimer(nullptr, timer_);
    g_running = nullptr;
    return next_ >= steps_.size();
}

SIZE TextSize(HFONT font, const std::wstring& text, UINT format) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

POINT FirstPixel(HDC dc, const RECT& r, COLORREF color) {
    POINT found{-1, -1};
    for (int x = r.left; x < r.right && found.x < 0; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (GetPixel(dc, x, y) == color) {
                found.x = x;
                break;
            }
    for (int y = r.top; y < r.bottom && found.y < 0; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetPixel(dc, x, y) == color) {
                found.y = y;
                break;
            }
    return found;
}

int CountPixels(HDC dc, const RECT& r, COLORREF color) {
    int n = 0;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y) n += GetPixel(dc, x, y) == color;
    return n;
}

}  // namespace menubartest

#include "controls/XLinkLabel.h"

#include "plumbing/CallbackGuard.h"
#include "plumbing/DpiAware.h"
#include "plumbing/GdiGuards.h"
#include "plumbing/OleColor.h"

#include <windowsx.h>
#include <ole2.h>
#include <shellapi.h>

#include "resources/resource.h"

namespace {

// Persisted names, also what PropertyChanged reports.
constexpr const wchar_t* kFont = L"Font";
constexpr const wchar_t* kBackColor = L"BackColor";
constexpr const wchar_t* kNormTextColor = L"NormTextColor";
constexpr const wchar_t* kHoverTextColor = L"HoverTextColor";
constexpr const wchar_t* kURL = L"URL";
constexpr const wchar_t* kEnabled = L"Enabled";
constexpr const wchar_t* kCaption = L"Caption";
constexpr const wchar_t* kNormUnderline = L"NormUnderline";
constexpr const wchar_t* kHoverUnderline = L"HoverUnderline";

void OpenWithShell(const std::wstring& address) {
    // The default action, no owner; like a typed address, a failure is the
    // shell's to report, so the result is not examined.
    ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The drawing font follows the face, size and style of the shared font, which
// its holders may change at any time; only the underline is the control's.
void FollowFace(const StdFont& from, StdFont& to) {
    if (to.Name() != from.Name()) to.Name(from.Name());
    if (to.Size() != from.Size()) to.Size(from.Size());
    if (to.Bold() != from.Bold()) to.Bold(from.Bold());
    if (to.Italic() != from.Italic()) to.Italic(from.Italic());
    if (to.Strikethrough() != from.Strikethrough()) to.Strikethrough(from.Strikethrough());
    if (to.Charset() != from.Charset()) to.Charset(from.Charset());
}

}  // namespace

HCURSOR LinkCursor() {
    static const HCURSOR cursor = [] {
        // Resource cursors are shared and must not be destroyed.
        HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_HANDPOINT));
        return own ? own : LoadCursorW(nullptr, IDC_HAND);
    }();
    return cursor;
}

XLinkLabel::XLinkLabel(Token, ControlAmbient ambient)
    : ShellOpen(OpenWithShell), m_Ambient(std::move(ambient)) {
    if (!m_Ambient.Font) m_Ambient.Font = MakeRef<StdFont>();
}

XLinkLabel::~XLinkLabel() = default;

Ref<XLinkLabel> XLinkLabel::Create(HWND parent, int x, int y, int cx, int cy, ControlAmbient ambient, int id) {
    static const ATOM registered = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LinkCursor();  // the hand over the whole control
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    (void)registered;
    auto label = MakeRef<XLinkLabel>(Token{}, std::move(ambient));
    CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, cx, cy, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), label.get());
    return label;
}

LRESULT CALLBACK XLinkLabel::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<XLinkLabel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->AddRef();  // the window's reference, dropped at WM_NCDESTROY
        self->m_hWnd = hWnd;
        self->m_Dpi = WindowDpi(hWnd);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    // Held for the call, so a handler that destroys the window is safe.
    const Ref<XLinkLabel> self = ObjectFromPointer(reinterpret_cast<XLinkLabel*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA)));
    if (!self) return DefWindowProcW(hWnd, msg, wParam, lParam);
    // A handler that fails leaves the message as if it had done nothing.
    const LRESULT result = RunGuarded(LRESULT{0}, [&] { return self->HandleMessage(msg, wParam, lParam); });
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->Release();
    }
    return result;
}

LRESULT XLinkLabel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        UserControl_Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_MOUSEMOVE:
        UserControl_MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        m_Pressed = true;
        return 0;
    case WM_LBUTTONUP: {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        const bool wasPressed = m_Pressed;
        m_Pressed = false;
        if (wasPressed && x >= 0 && y >= 0 && x <= m_Width && y <= m_Height) UserControl_Click();
        return 0;
    }
    case WM_SETCURSOR:
        SetCursor(LinkCursor());
        return TRUE;
    case kWmDpiChangedAfterParent:
        Dpi(WindowDpi(m_hWnd));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint clears the whole control itself
    case WM_PAINT: {
        const PaintDC dc(m_hWnd);
        UserControl_Paint(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        UserControl_Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return DefWindowProcW(m_hWnd, msg, wParam, lParam);
    }
}

void XLinkLabel::Dpi(int dpi) {
    if (dpi <= 0 || dpi == m_Dpi) return;
    m_Dpi = dpi;
    Refresh();
}

void XLinkLabel::Refresh() const {
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void XLinkLabel::Report(const wchar_t* name) const {
    if (PropertyChanged) PropertyChanged(name);
}

bool XLinkLabel::CurrentUnderline() const { return m_DrawFont && m_DrawFont->Underline(); }

void XLinkLabel::SetCurrentUnderline(bool underline) {
    if (m_DrawFont) m_DrawFont->Underline(underline);
}

void XLinkLabel::BackColor(OLE_COLOR v) {
    m_BackColor = v;
    Refresh();
    Report(kBackColor);
}

void XLinkLabel::NormTextColor(OLE_COLOR v) {
    m_NormTextColor = v;
    // Shown at once even while hovering; the hover colour returns on the
    // next entry.
    m_ForeColor = v;
    Refresh();
    Report(kNormTextColor);
}

void XLinkLabel::HoverTextColor(OLE_COLOR v) {
    m_HoverTextColor = v;
    Refresh();
    Report(kHoverTextColor);
}

void XLinkLabel::NormUnderline(bool v) {
    m_NormUnderline = v;
    SetCurrentUnderline(v);
    Refresh();
    Report(kNormUnderline);
}

void XLinkLabel::HoverUnderline(bool v) {
    m_HoverUnderline = v;
    Refresh();
    Report(kHoverUnderline);
}

void XLinkLabel::Font(const Ref<StdFont>& v) {
    m_Font = v;
    // The drawing font starts as a copy of the new font, its underline included.
    m_DrawFont = v ? v->Clone() : Ref<StdFont>();
    Refresh();
    Report(kFont);
}

void XLinkLabel::Caption(const std::wstring& v) {
    m_Caption = v;
    Refresh();
    Report(kCaption);
}

void XLinkLabel::url(const std::wstring& v) {
    m_URL = v;
    Report(kURL);
}

void XLinkLabel::Enabled(bool v) {
    m_Enabled = v;
    if (m_hWnd) EnableWindow(m_hWnd, v ? TRUE : FALSE);
    Report(kEnabled);
}

// The ambient font is handed out as a fresh copy, as a container does, so that
// the host changing its own font later does not change the label's.
void XLinkLabel::UserControl_InitProperties() {
    Font(m_Ambient.Font->Clone());
    BackColor(m_Ambient.BackColor);
    NormTextColor(m_Ambient.ForeColor);
    HoverTextColor(m_Ambient.ForeColor);
    url(kDefaultURL);
    Enabled(true);
    Caption(m_Ambient.Name);
    NormUnderline(false);
    HoverUnderline(true);
}

void XLinkLabel::UserControl_ReadProperties(const PropertyBag& bag) {
    // A value that cannot be read is skipped; the others still load.
    auto each = [](auto&& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
    };
    each([&] { Font(bag.ReadFont(kFont, m_Ambient.Font->Clone())); });
    each([&] { BackColor(bag.ReadColor(kBackColor, m_Ambient.BackColor)); });
    each([&] { NormTextColor(bag.ReadColor(kNormTextColor, m_Ambient.ForeColor)); });
    each([&] { HoverTextColor(bag.ReadColor(kHoverTextColor, m_Ambient.ForeColor)); });
    each([&] { url(bag.ReadString(kURL, kDefaultURL)); });
    each([&] { Enabled(bag.ReadBool(kEnabled, true)); });
    each([&] { Caption(bag.ReadString(kCaption, kDefaultCaption)); });
    each([&] { NormUnderline(bag.ReadBool(kNormUnderline, false)); });
    each([&] { HoverUnderline(bag.ReadBool(kHoverUnderline, true)); });
}

void XLinkLabel::UserControl_WriteProperties(PropertyBag& bag) const {
    bag.WriteFont(kFont, m_Font);
    bag.WriteColor(kBackColor, m_BackColor, m_Ambient.BackColor);
    bag.WriteColor(kNormTextColor, m_NormTextColor, m_Ambient.ForeColor);
    bag.WriteColor(kHoverTextColor, m_HoverTextColor, m_Ambient.ForeColor);
    bag.WriteString(kURL, m_URL, kDefaultURL);
    bag.WriteBool(kEnabled, m_Enabled, true);
    bag.WriteString(kCaption, m_Caption, kDefaultCaption);
    bag.WriteBool(kNormUnderline, m_NormUnderline, false);
    bag.WriteBool(kHoverUnderline, m_HoverUnderline, true);
}

void XLinkLabel::UserControl_Resize(int cx, int cy) {
    // Only recorded: the control never sizes itself to its caption.
    m_Height = cy;
    m_Width = cx;
}

void XLinkLabel::UserControl_MouseMove(int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x <= m_Width && y <= m_Height;
    // Holding the capture while inside delivers the move that leaves. It is
    // changed only when it must: every change of capture makes the system
    // send a mouse move of its own, and taking it anew on each move would
    // answer every move with another, for ever.
    const bool held = GetCapture() == m_hWnd;
    if (inside && !held) SetCapture(m_hWnd);
    if (!inside && held) ReleaseCapture();
    if (inside == m_Hover) return;
    m_Hover = inside;
    if (inside) {
        SetCurrentUnderline(m_HoverUnderline);
        m_ForeColor = m_HoverTextColor;
    } else {
        SetCurrentUnderline(m_NormUnderline);
        m_ForeColor = m_NormTextColor;
    }
    Refresh();
}

void XLinkLabel::UserControl_Paint(HDC dc) const {
    RECT bounds{0, 0, m_Width, m_Height};
    const SolidBrush back(TranslateColor(m_BackColor));
    FillRect(dc, &bounds, back.get());
    if (m_Font && m_DrawFont) FollowFace(*m_Font, *m_DrawFont);
    const HFONT font = m_DrawFont ? m_DrawFont->hFont(m_Dpi) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const SelectedObject selected(dc, font);
    const int savedMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF savedColor = SetTextColor(dc, TranslateColor(m_ForeColor));
    // The bounds clip what does not fit, also when printing into a larger DC.
    {
        const SavedDCState clipped(dc);
        IntersectClipRect(dc, 0, 0, m_Width, m_Height);
        TextOutW(dc, 0, 0, m_Caption.c_str(), static_cast<int>(m_Caption.size()));
    }
    SetTextColor(dc, savedColor);
    SetBkMode(dc, savedMode);
}

void XLinkLabel::UserControl_Click() {
    if (ShellOpen) ShellOpen(url());
}

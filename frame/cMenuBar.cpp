#include "frame/cMenuBar.h"

#include <windowsx.h>

#include "plumbing/GdiGuards.h"

#include "frame/DpiScale.h"

#include <algorithm>
#include <new>
#include <optional>

#include "frame/cToolbarMenu.h"
#include "plumbing/GSubclass.h"
#include "plumbing/OleColor.h"
#include "plumbing/PlumbingError.h"

namespace {

constexpr UINT kMessages[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_DRAWITEM, WM_MEASUREITEM, WM_MENUCHAR};

constexpr OLE_COLOR kBtnHighlight = 0x80000014;  // system colour COLOR_BTNHIGHLIGHT
constexpr OLE_COLOR kBtnShadow = 0x80000010;     // system colour COLOR_BTNSHADOW

}  // namespace

cMenuBar::cMenuBar()
    : textFont_(MakeRef<StdFont>(L"MS Sans Serif")), glyphFont_(MakeRef<StdFont>(L"Marlett")) {
    // Marlett maps letters to symbols; without the symbol charset the font
    // mapper may pick a text font for the locale's code page instead.
    glyphFont_->Charset(SYMBOL_CHARSET);
    glyphFont_->Size(textFont_->Size() * 1.2);
}

cMenuBar::~cMenuBar() {
    // A running timer is kept alive by the timer table and calls back into
    // this object; it must be stopped and cut loose before this object goes.
    if (timer_) {
        timer_->ThatTime = nullptr;
        timer_->Interval(0);
    }
    Detach();
}

void cMenuBar::hMenu(HMENU hTheMenu) {
    menu_ = hTheMenu;
}

HMENU cMenuBar::hMenu() const {
    return menu_;
}

void cMenuBar::Attach(HWND lhWnd) {
    const WindowUpdateLock lock(lhWnd);
    Detach();
    window_ = lhWnd;
    tracker_ = MakeRef<cToolbarMenu>();
    tracker_->Attach(window_, this);
    for (const UINT message : kMessages) GSubclass::AttachMessage(this, window_, message);
}

void cMenuBar::Detach() {
    if (window_) {
        for (const UINT message : kMessages) GSubclass::DetachMessage(this, window_, message);
    }
    if (tracker_) {
        // Released through a copy: the tracker's Detach sends a message that
        // may come back here.
        const Ref<cToolbarMenu> tracker = std::move(tracker_);
        tracker->Detach();
    }
}

void cMenuBar::CaptionHeight(int lHeight) {
    captionHeight_ = lHeight;
}

void cMenuBar::Dpi(int dpi) {
    dpi_ = dpi > 0 ? dpi : kBaseDpi;
}

int cMenuBar::Px(int px96) const {
    return ScaleToDpi(px96, dpi_);
}

void cMenuBar::Render(HFONT hFnt, HDC lhDC, int lLeft, int lTop, int lWidth, int lHeight, int lYoffset) {
    drawn_ = RECT{};
    if (!menu_) {
        // Rectangles of a menu no longer drawn must not answer hit tests.
        itemRects_.clear();
        itemPopups_.clear();
        return;
    }
    itemRects_.clear();
    itemPopups_.clear();

    const int n = GetMenuItemCount(menu_);
    if (n <= 0) return;

    // Drawn straight into the band at the bar's place: the same pixels as
    // drawing on a copy of the bar and copying it back, without the two
    // copies. An item reaching past the bar is drawn clipped to it; the DC's
    // state is saved for that only, since saving it costs more than the rest
    // of the bar.
    const HDC dc = lhDC;
    // The bar's rows start two (scaled) rows into the band.
    const int bandTop = lTop + Px(2);
    const int inset = Px(2);
    const RECT bar{0, 0, lWidth, lHeight};
    const SelectedObject fontIn(dc, hFnt);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    COLORREF color = oldColor;
    const auto textColor = [&](COLORREF wanted) {
        if (wanted != color && SetTextColor(dc, wanted) != CLR_INVALID) color = wanted;
    };
    // The bar's font is read once for all its items' measures.
    LOGFONTW barFont{};
    const bool fontKnown = GetObjectW(hFnt, sizeof(barFont), &barFont) == sizeof(barFont);
    int x = Px(8);
    for (int p = 0; p < n; ++p) {
        // One read gives what GetMenuItemID, GetSubMenu and the text would:
        // these run on every frame paint.
        wchar_t buffer[128];
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = buffer;
        info.cch = static_cast<UINT>(std::size(buffer));
        if (!GetMenuItemInfoW(menu_, static_cast<UINT>(p), TRUE, &info)) continue;
        // Command items take no room: only items that open a popup (or carry
        // the id GetMenuItemID could not tell from one) are on the bar.
        if (!info.hSubMenu && info.wID != static_cast<UINT>(-1)) continue;
        const HMENU popup = info.hSubMenu;
        std::wstring text;
        if (!IsTextItem(info.fType)) {
            // No text: measured and drawn as an empty item.
        } else if (info.cch + 1 < std::size(buffer)) {
            text.assign(buffer, info.cch);
        } else {
            ReadMenuItem(menu_, static_cast<UINT>(p), true, MIIM_TYPE, info, text);  // may have been cut
        }

        const SIZE measured = fontKnown ? measured_.Measure(dc, barFont, text) : measured_.Measure(dc, hFnt, text);
        const int tw = measured.cx;
        const int th = measured.cy;
        // In the bar's coordinates, then moved onto the band.
        RECT textRect{x, inset, x + tw, inset + th};
        RECT itemRect = textRect;
        InflateRect(&itemRect, inset, inset);
        const bool inside = itemRect.left >= bar.left && itemRect.top >= bar.top && itemRect.right <= bar.right &&
                            itemRect.bottom <= bar.bottom;
        std::optional<SavedDCState> clipped;
        if (!inside) {
            clipped.emplace(dc);
            IntersectClipRect(dc, lLeft, bandTop, lLeft + lWidth, bandTop + lHeight);
        }
        RECT edge = itemRect;
        OffsetRect(&edge, lLeft, bandTop);
        OffsetRect(&textRect, lLeft, bandTop);
        UnionRect(&drawn_, &drawn_, &edge);

        const int k = static_cast<int>(itemRects_.size()) + 1;
        const bool pressed = k == pressedItem_;
        const bool hover = k == hoverItem_;
        if (pressed && hover) {
            textColor(TranslateColor(activeMenuColorOver_));
            DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(&textRect, Px(1), Px(1));
        } else if (pressed || hover) {
            textColor(TranslateColor(activeMenuColorOver_));
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        } else {
            textColor(TranslateColor(activeMenuColor_));
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE);

        OffsetRect(&itemRect, lLeft, lYoffset);
        itemRects_.push_back(itemRect);
        itemPopups_.push_back(popup);
        x += tw + Px(11);
    }
    if (color != oldColor) SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void cMenuBar::SetFont(const Ref<StdFont>& font) {
    if (font) textFont_ = font;
}

void cMenuBar::SetColors(OLE_COLOR normal, OLE_COLOR over, OLE_COLOR inactive, OLE_COLOR background) {
    activeMenuColor_ = normal;
    activeMenuColorOver_ = over;
    inActiveMenuColor_ = inactive;
    menuBackgroundColor_ = background;
}

int cMenuBar::ItemCount() const {
    return static_cast<int>(itemRects_.size());
}

HMENU cMenuBar::SubMenu(int k) const {
    return k >= 1 && k <= ItemCount() ? itemPopups_[static_cast<size_t>(k - 1)] : nullptr;
}

int cMenuBar::HitTestPoint(POINT screen) const {
    RECT window{};
    GetWindowRect(window_, &window);
    const POINT bar{screen.x - window.left, screen.y - (window.top + captionHeight_)};
    for (int k = 1; k <= ItemCount(); ++k) {
        if (PtInRect(&itemRects_[static_cast<size_t>(k - 1)], bar)) return k;
    }
    return 0;
}

int cMenuBar::HitTestCursor() const {
    if (ItemCount() < 1) return 0;
    POINT cursor{};
    GetCursorPos(&cursor);
    return HitTestPoint(cursor);
}

void cMenuBar::SetPressed(int k, bool flag) {
    if (flag) pressedItem_ = k;
    else if (pressedItem_ == k) pressedItem_ = -1;
    Repaint();
}

void cMenuBar::SetHover(int k) {
    hoverItem_ = k;
    Repaint();
}

void cMenuBar::ItemScreenRect(int k, RECT& rect) const {
    if (k < 1 || k > ItemCount()) return;
    RECT window{};
    GetWindowRect(window_, &window);
    rect = itemRects_[static_cast<size_t>(k - 1)];
    OffsetRect(&rect, window.left, window.top + captionHeight_);
}

void cMenuBar::Repaint() {
    // The engine repaints the whole frame, and the painter renders the bar.
    if (window_) SendMessageW(window_, WM_NCPAINT, 0, 0);
}

void cMenuBar::TrackMouse() {
    if (keyboardItem_ > 0) return;  // the keyboard's selection is the hot item
    const int h = HitTestCursor();
    if (h != hoverItem_) {
        hoverItem_ = h;
        Repaint();
    }
    if (!timer_) {
        timer_ = MakeRef<CTimer>();
        timer_->ThatTime = [this] {
            const Ref<cMenuBar> self(this);
            try {
                TrackMouse();
            } catch (const PlumbingError&) {
                // The system had no timer left: the bar keeps its look until
                // the next mouse move polls again.
            } catch (const std::bad_alloc&) {
                // Nothing was changed yet; the next tick polls again.
            }
        };
    }
    // Only a real item counts: after a popup closes the pressed item is -1,
    // and polling for it would keep the timer running for good.
    if (hoverItem_ >= 1 || pressedItem_ >= 1) {
        if (pressedItem_ > 0 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
            pressedItem_ = 0;
            Repaint();
        }
        timer_->Interval(50);
    } else {
        timer_->Interval(0);
    }
}

LRESULT cMenuBar::OnLButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = GSubclass::CallOldWindowProc(hWnd, WM_LBUTTONDOWN, wParam, lParam);
    // The item under the press, not under the pointer now: on a busy
    // machine the pointer may have moved on (or, under Wine, still read
    // where it was) by the time the press is handled.
    POINT pressed{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hWnd, &pressed);
    const int k = HitTestPoint(pressed);
    const bool changed = k != pressedItem_;
    pressedItem_ = k;
    if (changed) Repaint();
    if (k > 0) OpenItem(k);
    return result;
}

void cMenuBar::OpenItem(int k) {
    if (timer_) timer_->Interval(0);
    // The tracker may be released by a Detach while its menu loop runs.
    if (const Ref<cToolbarMenu> tracker = tracker_) tracker->TrackPopup(k);
    ExitMenuLoop();
}

bool cMenuBar::InMenuLoop() const { return tracker_ && tracker_->InLoop(); }

void cMenuBar::ShowItem(int k) {
    if (!menu_ || InMenuLoop() || k < 1 || k > ItemCount()) return;
    SetPressed(k, true);
    OpenItem(k);
}

void cMenuBar::KeyboardItem(int k) {
    keyboardItem_ = std::max(k, 0);
    hoverItem_ = keyboardItem_;
    if (timer_) timer_->Interval(0);
    Repaint();
}

bool cMenuBar::AltKeyAccelerator(int vKey) {
    try {
        // Inside a running menu loop the key belongs to that loop; opening
        // another would also put its items back under it.
        if (!menu_ || !tracker_ || tracker_->InLoop()) return false;
        const int n = GetMenuItemCount(menu_);
        int k = 0;
        for (int p = 0; p < n; ++p) {
            // Numbered as drawn: command items have no button of their own.
            if (GetMenuItemID(menu_, p) != static_cast<UINT>(-1)) continue;
            ++k;
            MENUITEMINFOW info;
            std::wstring text;
            if (!ReadMenuItem(menu_, static_cast<UINT>(p), true, MIIM_TYPE | MIIM_DATA, info, text) || text.empty()) {
                continue;
            }
            const wchar_t mnemonic = MnemonicOf(text);
            if (mnemonic != 0 && mnemonic == UpperChar(static_cast<wchar_t>(vKey))) {
                // No button drawn for it yet (the bar was not rendered since
                // the menu changed): nothing could be shown, so keep the key.
                if (k > ItemCount()) return false;
                SetPressed(k, true);
                OpenItem(k);
                return true;
            }
        }
    } catch (const std::bad_alloc&) {
        // No memory for an item's text: the key passes on to the window, as
        // if it were no mnemonic.
    }
    return false;
}

void cMenuBar::EnsureWorkDC() {
    // Popups may open before the bar was ever rendered.
    if (!workDC_.hDC()) {
        workDC_.Grow(1, 1);
    }
}

void cMenuBar::MakeOwnerDrawn(HMENU popup, int p, UINT fType, int c) {
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_TYPE | MIIM_DATA;
    info.fType = fType | MFT_OWNERDRAW;
    info.dwItemData = static_cast<ULONG_PTR>(c);
    SetMenuItemInfoW(popup, static_cast<UINT>(p), TRUE, &info);
}

void cMenuBar::InitMenuPopup(HMENU popup) {
    try {
        const bool known = store_.IsPopupKnown(popup);
        EnsureWorkDC();
        const HDC dc = workDC_.hDC();
        const SelectedObject font(dc, FontHandle());
        const int n = GetMenuItemCount(popup);
        MENUITEMINFOW info;
        std::wstring text;
        if (known) {
            // Items may have moved since the popup was prepared (one added or
            // removed above them); each of ours carries its index, so its
            // position is brought up to date before anything is looked up by
            // position.
            for (int p = 0; p < n; ++p) {
                if (!ReadMenuItem(popup, static_cast<UINT>(p), true, MIIM_TYPE | MIIM_DATA, info, text)) continue;
                const int c = static_cast<int>(info.dwItemData);
                if ((info.fType & MFT_OWNERDRAW) && store_.Contains(c) && store_.Item(c).ownerPopup == popup) {
                    store_.Item(c).position = p;
                }
            }
        }
        int maxCaption = 0;
        int maxShortcut = 0;
        for (int p = 0; p < n; ++p) {
            const UINT position = static_cast<UINT>(p);
            int c = 0;
            if (!known) {
                if (!ReadMenuItem(popup, position, true, MIIM_ID | MIIM_TYPE | MIIM_DATA, info, text)) continue;
                c = store_.AddItem(popup, p, info, text);
                if (!(info.fType & MFT_OWNERDRAW)) MakeOwnerDrawn(popup, p, info.fType, c);
            } else {
                if (!ReadMenuItem(popup, position, true, MIIM_TYPE | MIIM_DATA, info, text)) continue;
                if (info.fType & MFT_OWNERDRAW) {
                    c = static_cast<int>(info.dwItemData);
                } else {
                    // Reset by the window, or new since the popup was prepared.
                    c = store_.FindItem(popup, p);
                    if (!ReadMenuItem(popup, position, true, MIIM_ID | MIIM_TYPE | MIIM_DATA, info, text)) continue;
                    if (c) store_.StoreItem(c, popup, p, info, text);
                    else c = store_.AddItem(popup, p, info, text);
                    MakeOwnerDrawn(popup, p, info.fType, c);
                }
            }
            if (!store_.Contains(c)) continue;
            const StoredMenuItem& item = store_.Item(c);
            RECT r{};
            DrawTextW(dc, item.caption.c_str(), static_cast<int>(item.caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
            maxCaption = std::max(maxCaption, static_cast<int>(r.right - r.left + 1));
            if (!item.shortcut.empty()) {
                r = RECT{};
                DrawTextW(dc, item.shortcut.c_str(), static_cast<int>(item.shortcut.size()), &r,
                          DT_CALCRECT | DT_SINGLELINE);
                maxShortcut = std::max(maxShortcut, static_cast<int>(r.right - r.left + 1));
            }
            popupTextHeight_ = r.bottom - r.top + 1;
        }
        store_.SetWidths(popup, maxCaption, maxShortcut);
    } catch (const std::bad_alloc&) {
        // No room in the store: the items not prepared yet stay as the window
        // made them and the system draws them; those prepared are put back
        // at the end of the loop like the rest.
    }
}

void cMenuBar::ExitMenuLoop() {
    try {
        for (int c = 1; c <= store_.Count(); ++c) {
            const StoredMenuItem& item = store_.Item(c);
            // Put the record back on the item that carries this index: at its
            // position when it is still there, else wherever it went. An item
            // that no longer carries it (removed, or reset by the window) is
            // left alone rather than overwritten with another item's record.
            const auto carries = [&](int p) {
                MENUITEMINFOW info;
                std::wstring text;
                return ReadMenuItem(item.ownerPopup, static_cast<UINT>(p), true, MIIM_TYPE | MIIM_DATA, info, text) &&
                       (info.fType & MFT_OWNERDRAW) && info.dwItemData == static_cast<ULONG_PTR>(c);
            };
            int at = carries(item.position) ? item.position : -1;
            for (int p = 0, n = GetMenuItemCount(item.ownerPopup); at < 0 && p < n; ++p) {
                if (carries(p)) at = p;
            }
            if (at < 0) continue;
            const MENUITEMINFOW info = store_.RestoreInfo(c);
            SetMenuItemInfoW(item.ownerPopup, static_cast<UINT>(at), TRUE, &info);
        }
    } catch (const std::bad_alloc&) {
        // No memory to read an item back: what was restored stays so, and the
        // store is emptied in any case so the next loop starts clean.
    }
    store_.Clear();
}

int cMenuBar::ItemForMeasure(const MEASUREITEMSTRUCT& mis) const {
    // The item's own index is exact even where identifiers repeat
    // (separators, equal commands in two popups); the identifier is the
    // fallback for an item whose data is not ours.
    const int c = static_cast<int>(mis.itemData);
    if (store_.Contains(c) && store_.Item(c).savedInfo.wID == mis.itemID) return c;
    return store_.FindItemByID(mis.itemID);
}

int cMenuBar::LineHeight() {
    EnsureWorkDC();
    const HDC dc = workDC_.hDC();
    const SelectedObject font(dc, FontHandle());
    RECT r{};
    DrawTextW(dc, L"Ag", 2, &r, DT_CALCRECT | DT_SINGLELINE);
    return r.bottom - r.top + 1;
}

LRESULT cMenuBar::MeasureItem(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    auto* const mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!mis || mis->CtlType != ODT_MENU) return GSubclass::CallOldWindowProc(hWnd, WM_MEASUREITEM, wParam, lParam);
    const int c = ItemForMeasure(*mis);
    if (store_.Contains(c)) {
        const StoredMenuItem& item = store_.Item(c);
        mis->itemWidth = static_cast<UINT>(item.captionWidth + Px(30));
        if (item.shortcutWidth > 0) {
            mis->itemWidth = static_cast<UINT>(item.captionWidth + item.shortcutWidth + Px(38));
        }
        mis->itemHeight = (item.savedInfo.fType & MFT_SEPARATOR) ? Px(6) : static_cast<UINT>(popupTextHeight_ + Px(8));
    } else {
        // Owner-drawn but never stored: an empty text line's room, so the
        // menu stays usable.
        mis->itemWidth = static_cast<UINT>(Px(30));
        mis->itemHeight = static_cast<UINT>((popupTextHeight_ > 0 ? popupTextHeight_ : LineHeight()) + Px(8));
    }
    return 0;
}

LRESULT cMenuBar::DrawItem(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const auto* const dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!dis || dis->CtlType != ODT_MENU) {
        GSubclass::CallOldWindowProc(hWnd, WM_DRAWITEM, wParam, lParam);
        return 0;
    }
    const int width = dis->rcItem.right - dis->rcItem.left;
    const int height = dis->rcItem.bottom - dis->rcItem.top;
    workDC_.Grow(width + 1, height + 1);
    const HDC dc = workDC_.hDC();
    const SelectedObject font(dc, FontHandle());
    const RECT r{0, 0, width, height};
    {
        const SolidBrush background(TranslateColor(menuBackgroundColor_));
        const RECT all{0, 0, workDC_.Width(), workDC_.Height()};
        FillRect(dc, &all, background.get());
    }
    SetBkMode(dc, TRANSPARENT);

    MENUITEMINFOW info;
    std::wstring unused;
    const HMENU menu = reinterpret_cast<HMENU>(dis->hwndItem);
    ReadMenuItem(menu, dis->itemID, false, MIIM_STATE | MIIM_TYPE | MIIM_DATA, info, unused);
    if (info.fType & MFT_SEPARATOR) {
        const int top = r.top + (r.bottom - r.top - 2) / 2;
        RECT line{r.left + Px(8), top, r.right - Px(8), top + 2};
        DrawEdge(dc, &line, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM);
    } else {
        const bool radio = info.fType & MFT_RADIOCHECK;
        const bool disabled = (info.fState & MFS_DISABLED) == MFS_DISABLED;
        const bool checked = info.fState & MFS_CHECKED;
        const bool highlighted = info.fState & MFS_HILITE;
        SetTextColor(dc, TranslateColor(highlighted ? activeMenuColorOver_ : activeMenuColor_));
        if (checked) {
            RECT box = r;
            InflateRect(&box, -Px(4), -Px(4));
            box.left += Px(2);
            box.right = box.left + box.bottom - box.top + 1;
            DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
            const SelectedObject glyph(dc, GlyphFontHandle());
            DrawItemText(dc, radio ? L"h" : L"b", box, disabled, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        const int c = static_cast<int>(info.dwItemData);
        if (store_.Contains(c)) {
            const StoredMenuItem& item = store_.Item(c);
            RECT text = r;
            text.left = Px(24);
            DrawItemText(dc, item.caption, text, disabled, DT_VCENTER | DT_SINGLELINE);
            if (!item.shortcut.empty()) {
                text.left = Px(24) + item.captionWidth + Px(8);
                DrawItemText(dc, item.shortcut, text, disabled, DT_VCENTER | DT_SINGLELINE);
            }
        }
        if (highlighted && !disabled) {
            RECT edge = r;
            InflateRect(&edge, -Px(2), 0);
            DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
        }
    }
    BitBlt(dis->hDC, dis->rcItem.left, dis->rcItem.top, width, height, dc, 0, 0, SRCCOPY);
    return 0;
}

void cMenuBar::DrawItemText(HDC dc, const std::wstring& text, const RECT& rect, bool disabled, UINT format) const {
    RECT r = rect;
    if (disabled) {
        // Embossed: a highlight one pixel right and down, the shadow on top.
        OffsetRect(&r, 1, 1);
        SetTextColor(dc, TranslateColor(kBtnHighlight));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        r = rect;
        SetTextColor(dc, TranslateColor(kBtnShadow));
    }
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

LRESULT cMenuBar::MenuChar(HWND hWnd, WPARAM wParam, LPARAM lParam) {
    const HMENU popup = reinterpret_cast<HMENU>(lParam);
    if (!(HIWORD(wParam) & MF_SYSMENU)) {
        if (const int c = store_.FindMnemonic(popup, static_cast<wchar_t>(LOWORD(wParam)))) {
            return MAKELRESULT(store_.Item(c).position, MNC_EXECUTE);
        }
    }
    return GSubclass::CallOldWindowProc(hWnd, WM_MENUCHAR, wParam, lParam);
}

HFONT cMenuBar::FontHandle() const {
    return textFont_->hFont(dpi_);
}

HFONT cMenuBar::GlyphFontHandle() const {
    // The marks follow the text font, also when the shared font object is
    // changed after it was handed over.
    const double size = textFont_->Size() * 1.2;
    if (glyphFont_->Size() != size) glyphFont_->Size(size);
    return glyphFont_->hFont(dpi_);
}

MsgResponseMode cMenuBar::MsgResponse() const {
    return mrConsume;
}

LRESULT cMenuBar::WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (iMsg) {
        case WM_MOUSEMOVE: {
            const LRESULT result = GSubclass::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
            TrackMouse();
            return result;
        }
        case WM_LBUTTONDOWN: return OnLButtonDown(hWnd, wParam, lParam);
        case WM_DRAWITEM: return DrawItem(hWnd, wParam, lParam);
        case WM_MEASUREITEM: return MeasureItem(hWnd, wParam, lParam);
        case WM_MENUCHAR: return MenuChar(hWnd, wParam, lParam);
        default: return GSubclass::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
        }
    } catch (const PlumbingError&) {
        // The mouse poll's timer could not be started: the item stays hot
        // until the next mouse move over the bar looks again.
        return 0;
    } catch (const std::bad_alloc&) {
        // Out of memory while drawing or measuring an item: it shows as the
        // system leaves it, and the next paint of the bar tries again.
        return 0;
    }
}

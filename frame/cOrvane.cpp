#include "frame/cOrvane.h"

#include "plumbing/GdiGuards.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include "frame/DpiScale.h"
#include "frame/PlainFrame.h"
#include "frame/SkinScaler.h"
#include "frame/cCaptionAccess.h"
#include "frame/cMenuBar.h"
#include "frame/cNCCalcSize.h"
#include "plumbing/DpiAware.h"
#include "plumbing/OleColor.h"

namespace {

using namespace CaptionLayout;

void Blit(HDC to, int x, int y, int cx, int cy, HDC from, int fromX, int fromY) {
    if (cx > 0 && cy > 0) BitBlt(to, x, y, cx, cy, from, fromX, fromY, SRCCOPY);
}

// One tile from the skin, then the filled part copied beside itself.
void FillRun(HDC to, const TileRun& run, int y, int height, HDC from, int fromX, int fromY) {
    Blit(to, run.x, y, std::min(run.tileWidth, run.width), height, from, fromX, fromY);
    for (const RowCopy& step : DoublingSteps(run.x, run.x + run.width, run.tileWidth)) {
        Blit(to, step.to, y, step.height, height, to, step.from, y);
    }
}

// The text the window keeps for itself, which is what a system caption
// shows too. WM_GETTEXTLENGTH and WM_GETTEXT would each go through the
// window's procedure and its subclass registry, several property look-ups
// per paint.
std::wstring WindowText(HWND hWnd) {
    std::wstring text(256, L'\0');
    for (;;) {
        const int room = static_cast<int>(text.size());
        const int n = InternalGetWindowText(hWnd, text.data(), room);
        if (n < room - 1) {
            text.resize(static_cast<size_t>(std::max(n, 0)));
            return text;
        }
        text.resize(text.size() * 2);  // filled up: there may be more
    }
}

// The engine calls the partner from inside the window procedure, where an
// exception must not pass. Memory running out (the layout's tile lists, the
// title, the bar's item lists) is the one failure these operations meet: the
// window keeps the frame it showed before and the next paint tries again.
// Anything else is a fault, and noexcept stops it here.
template <class F>
void Guarded(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

cOrvane::cOrvane()
    : captionFont_(MakeRef<StdFont>(L"MS Sans Serif")), menuFont_(MakeRef<StdFont>(L"MS Sans Serif")) {}

cOrvane::~cOrvane() {
    // The engine must stop calling back before the members go: the menu bar's
    // clean-up sends the window messages the engine would answer with a paint.
    // The window's menu is not put back here, only by Detach.
    if (engine_) engine_->Detach();
    if (access_) access_->Detach();
}

void cOrvane::Detach() {
    // The engine took the menu off the window; the bar has drawn it since.
    // Read it before detaching, so a window never painted gets it back too.
    HMENU menu = engine_ ? engine_->hMenu() : nullptr;
    if (engine_) engine_->Detach();
    if (access_) access_->Detach();
    if (menuBar_) {
        if (HMENU drawn = menuBar_->hMenu()) menu = drawn;
        menuBar_->Detach();
    }
    if (menu && hWnd_) SetMenu(hWnd_, menu);
}

void cOrvane::Attach(HWND f, HBITMAP PicCaption, HBITMAP PicBorder, int lButtonWidth,
                     int lButtonHeight, int lActiveLeftEnd, int lActiveRightStart,
                     int lActiveRightEnd, int lInactiveOffset) {
    const WindowUpdateLock lock(f);
    Detach();

    // The pictures are copied: every DPI's skin is drawn from the copies.
    SkinImages original{kBaseDpi, std::make_unique<cMemDC>(), std::make_unique<cMemDC>()};
    original.caption->CreateFromPicture(PicCaption);
    original.border->CreateFromPicture(PicBorder);
    skins_.clear();
    skins_.push_back(std::move(original));
    skin96_ = CaptionSkin{lButtonWidth,    lButtonHeight,
                          lActiveLeftEnd,  lActiveRightStart,
                          lActiveRightEnd, lInactiveOffset,
                          skins_[0].caption->Height(), skins_[0].border->Height()};
    hWnd_ = f;
    dpi_ = 0;
    UseDpi(requestedDpi_ > 0 ? requestedDpi_ : WindowDpi(f));

    menuBar_ = MakeRef<cMenuBar>();
    menuBar_->Attach(hWnd_);
    menuBar_->SetFont(menuFont_);
    plain_ = false;
    FollowLook(false);
    menuBar_->CaptionHeight(captionImage_->Height());
    menuBar_->Dpi(dpi_);
    access_ = MakeRef<cCaptionAccess>();
    access_->Attach(hWnd_, this, menuBar_.get());

    engine_ = MakeRef<cNCCalcSize>();
    engine_->Dpi(dpi_);
    engine_->Attach(this);
    engine_->Display(f);

    if (IsWindowVisible(hWnd_)) {
        SetForegroundWindow(hWnd_);
        SetFocus(hWnd_);
        SendMessageW(hWnd_, WM_NCACTIVATE, TRUE, 0);  // paint the frame active
    }
}

void cOrvane::Dpi(int dpi) {
    requestedDpi_ = dpi;
    if (!hWnd_ || skins_.empty()) return;
    UseDpi(dpi > 0 ? dpi : WindowDpi(hWnd_));
    if (menuBar_) menuBar_->Dpi(dpi_);
    if (engine_) engine_->Dpi(dpi_);
}

bool cOrvane::MarginsAt(int dpi, RECT& margins) const {
    if (!hWnd_ || skins_.empty() || Plain()) return false;
    const CaptionSkin at = ScaleSkin(skin96_, dpi);
    margins = RECT{at.borderSize, at.captionHeight, at.borderSize, at.borderSize};
    return true;
}

void cOrvane::UseDpi(int dpi) {
    if (dpi <= 0) dpi = kBaseDpi;
    if (dpi == dpi_) return;
    auto kept = std::find_if(skins_.begin(), skins_.end(), [dpi](const SkinImages& s) { return s.dpi == dpi; });
    if (kept == skins_.end()) {
        // Redrawn once here, never stretched per paint.
        const SkinImages& from = skins_[0];
        SkinImages scaled{dpi, std::make_unique<cMemDC>(), std::make_unique<cMemDC>()};
        const bool smooth = !IsWholeScale(dpi);
        const int B = skin96_.borderSize;
        const int cells = B > 0 ? from.border->Width() / B : 0;
        const bool redrawn =
            StretchSkin(from.caption->hDC(), CaptionStretches(skin96_, from.caption->Width(), dpi), smooth,
                        *scaled.caption) &&
            StretchSkin(from.border->hDC(), BorderStretches(B, cells, dpi), smooth, *scaled.border);
        // A skin that could not be redrawn is worn at its own size: a small
        // frame, rather than none at all.
        if (redrawn) {
            skins_.push_back(std::move(scaled));
            kept = skins_.end() - 1;
        } else {
            kept = skins_.begin();
        }
    }
    dpi_ = kept->dpi;
    captionImage_ = kept->caption.get();
    borderImage_ = kept->border.get();

    const CaptionSkin scaled = ScaleSkin(skin96_, dpi_);
    lButtonWidth_ = scaled.buttonWidth;
    lButtonHeight_ = scaled.buttonHeight;
    lActiveLeftEnd_ = scaled.leftEnd;
    lActiveRightStart_ = scaled.rightStart;
    lActiveRightEnd_ = scaled.rightEnd;
    lInactiveOffset_ = scaled.inactiveOffset;
    // Sized and laid out for the new measures from the next paint on, as
    // after Attach: a buffer made for another DPI would copy its extra rows
    // and columns onto the window.
    NewBuffers();
    if (menuBar_ && !plain_) menuBar_->CaptionHeight(captionImage_->Height());
}

void cOrvane::NewBuffers() {
    captionBuffer_ = std::make_unique<cMemDC>();
    sideBuffer_ = std::make_unique<cMemDC>();
    stripBuffer_ = std::make_unique<cMemDC>();
    bandBack_ = std::make_unique<cMemDC>();
    plainRow_ = std::make_unique<cMemDC>();
    bordersLaidOut_ = RECT{};
    bandLaidOut_ = BandLayout{};
    bandComposed_ = false;
    titleDrawn_ = RECT{};
    barDrawn_ = RECT{};
}

bool cOrvane::Plain() const {
    return engine_ && engine_->HighContrast();
}

// In the system's look the engine's own margins stand, the top one grown by
// the menu bar's row.
void cOrvane::GetTopMarginHeight(int& cy) {
    Guarded([&] {
        if (Plain()) {
            cy += PlainRowHeight();
        } else if (captionImage_) {
            cy = captionImage_->Height();
        }
    });
}

void cOrvane::GetLeftMarginWidth(int& cx) {
    if (borderImage_ && !Plain()) cx = borderImage_->Height();
}

void cOrvane::GetRightMarginWidth(int& cx) {
    if (borderImage_ && !Plain()) cx = borderImage_->Height();
}

void cOrvane::GetBottomMarginHeight(int& cy) {
    if (borderImage_ && !Plain()) cy = borderImage_->Height();
}

CaptionSkin cOrvane::Skin() const {
    return CaptionSkin{lButtonWidth_,      lButtonHeight_,   lActiveLeftEnd_,
                       lActiveRightStart_, lActiveRightEnd_, lInactiveOffset_,
                       captionImage_ ? captionImage_->Height() : 0,
                       borderImage_ ? borderImage_->Height() : 0,
                       dpi_ > 0 ? dpi_ : kBaseDpi};
}

bool cOrvane::Shown(int index) const {
    switch (index) {
    case kClose:
        return hasClose_;
    case kMaximize:
        return hasMaximize_;
    default:
        return hasMinimize_;
    }
}

bool& cOrvane::Pressed(int index) {
    switch (index) {
    case kClose:
        return closePressed_;
    case kMaximize:
        return maximizePressed_;
    default:
        return minimizePressed_;
    }
}

void cOrvane::NCPaint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) {
    // No update lock is taken here: the band reaches the window in one copy
    // anyway, and a locked window's DC would swallow the paint.
    Guarded([&] {
        const bool plain = Plain();
        if (plain != plain_) FollowLook(plain);
        if (plain) {
            PaintPlain(hDC, lLeft, lTop, lRight, lBottom);
        } else {
            Paint(hDC, lLeft, lTop, lRight, lBottom);
        }
    });
    LockWindowUpdate(nullptr);
}

void cOrvane::FollowLook(bool plain) {
    plain_ = plain;
    // The skin's buffers are laid out anew when it comes back.
    NewBuffers();
    if (!menuBar_) return;
    if (plain) {
        // The bar and the popups in the system's menu colours.
        const OLE_COLOR text = SystemColor(COLOR_MENUTEXT);
        menuBar_->SetColors(text, text, SystemColor(COLOR_GRAYTEXT), SystemColor(COLOR_MENU));
    } else {
        menuBar_->SetColors(activeMenuColor_, activeMenuColorOver_, inActiveMenuColor_, menuBackgroundColor_);
        if (captionImage_) menuBar_->CaptionHeight(captionImage_->Height());
    }
}

namespace {

// Grows `buffer` to at least cx × cy; false when that made it anew, which
// loses what it held.
bool KeepsPixels(cMemDC& buffer, int cx, int cy) {
    const int width = buffer.Width(), height = buffer.Height();
    buffer.Grow(cx, cy);
    return buffer.Width() == width && buffer.Height() == height;
}

}  // namespace

void cOrvane::Paint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) {
    if (!engine_ || !captionImage_ || !captionImage_->hDC() || !borderImage_ ||
        !borderImage_->hDC()) {
        return;
    }
    const CaptionSkin skin = Skin();
    const int H = skin.captionHeight;

    const bool bandKept = KeepsPixels(*captionBuffer_, lRight - lLeft + 1, H);
    const HDC band = captionBuffer_->hDC();
    const HDC image = captionImage_->hDC();
    if (!band) return;

    const bool active = engine_->WindowActive();
    LOGFONTW lf{};
    FontToLogFont(captionFont_.get(), dpi_, lf);
    if (active) lf.lfWeight = FW_BOLD;
    const CreatedFont captionFont(lf);
    const SelectedObject captionFontSelected(band, captionFont.get());

    // The band's background (the skin's two ends, the buttons, and the tiles
    // between them) is the same for every paint at one width, state and
    // window style: laid out again only when one of them has changed,
    // otherwise copied.
    const int offset = active ? 0 : lInactiveOffset_;
    const RightPiece piece = PlaceRightPiece(skin, lLeft, lRight);
    const LONG_PTR style = GetWindowLongPtrW(hWnd_, GWL_STYLE);
    const ButtonSet shown = ButtonsForStyle(style);
    hasMaximize_ = shown.maximize;
    hasMinimize_ = shown.minimize;
    hasClose_ = shown.close;
    buttons_ = ButtonRects(skin, piece, lTop, shown);
    const BandLayout layout{lLeft, lTop, lRight, offset, shown.close, shown.maximize, shown.minimize,
                            (style & WS_MAXIMIZE) != 0};
    bool backKept = bandKept && bandComposed_;
    if (!KeepsPixels(*bandBack_, lRight - lLeft + 1, H) || !(layout == bandLaidOut_)) {
        backKept = false;
        const HDC to = bandBack_->hDC();
        if (!to) return;
        Blit(to, lLeft, lTop, lLeft + lActiveLeftEnd_, H, image, offset, 0);
        Blit(to, piece.x, lTop, piece.width, H, image, offset + lActiveRightStart_, 0);
        for (int i = kClose; i <= kMinimize; ++i) DrawButton(to, i, false);
        // After the buttons, as the skin expects: its buttons lie right of the tiles.
        FillRun(to, MiddleRun(lLeft, piece.x, skin.dpi), 0, H, image, lActiveLeftEnd_ + offset + 1, 0);
        bandLaidOut_ = layout;
    }
    // The whole background is copied only when it or the band is new;
    // otherwise just where the last title and menu bar items were.
    const HDC back = bandBack_->hDC();
    if (backKept) {
        for (const RECT& r : {titleDrawn_, barDrawn_}) {
            if (!IsRectEmpty(&r)) Blit(band, r.left, r.top, r.right - r.left, r.bottom - r.top, back, r.left, r.top);
        }
    } else {
        Blit(band, 0, 0, lRight + 1, H, back, 0, 0);
    }
    // Until both rectangles below are known, the next paint copies it all:
    // a failure half-way must not leave ink it cannot find.
    bandComposed_ = false;
    titleDrawn_ = RECT{};
    barDrawn_ = RECT{};

    if (!piece.narrow) {
        SetBkMode(band, TRANSPARENT);
        SetTextColor(band, TranslateColor(active ? activeCaptionColor_ : inActiveCaptionColor_));
        std::wstring text = WindowText(hWnd_);
        if (!text.empty()) {
            RECT r = CaptionTextRect(skin, lLeft, lRight);
            DrawTextW(band, text.data(), static_cast<int>(text.size()), &r,
                      DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            // DrawText clips to r; within it the ink ends near the text's
            // measured width, and a glyph reaches past its advance by far
            // less than a line's height.
            const SIZE measured = titleTexts_.Measure(band, lf, text);
            titleDrawn_ = r;
            titleDrawn_.right = std::min<LONG>(r.right, r.left + measured.cx + measured.cy);
        }
    }

    if (menuBar_) {
        menuBar_->hMenu(engine_->hMenu());
        // Top-level items use the caption font at normal weight; MenuFont is
        // for the popups.
        lf.lfWeight = FW_NORMAL;
        const CreatedFont barFont(lf);
        const MenuBarPlacement bar = PlaceMenuBar(skin, piece);
        menuBar_->Render(barFont.get(), band, bar.left, bar.top, bar.width, bar.height, bar.yOffset);
        barDrawn_ = menuBar_->DrawnArea();
    }
    bandComposed_ = true;

    Blit(hDC, 0, 0, captionBuffer_->Width(), captionBuffer_->Height(), band, 0, 0);
    PaintBorders(hDC, lLeft, lTop, lRight, lBottom);
}

void cOrvane::PaintBorders(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) {
    const CaptionSkin skin = Skin();
    const int B = skin.borderSize;
    const HDC border = borderImage_->hDC();
    const int top = lTop + skin.captionHeight;
    const RECT edges{lLeft, top, lRight, lBottom};
    // Both buffers are grown, whichever of them had to be made anew.
    const bool sideKept = KeepsPixels(*sideBuffer_, 2 * borderImage_->Width(), lBottom - lTop + 1);
    const bool stripKept = KeepsPixels(*stripBuffer_, lRight - lLeft + 1, B);
    const HDC side = sideBuffer_->hDC();
    const HDC strip = stripBuffer_->hDC();
    if (!side || !strip) return;

    // The borders are the skin's tiles repeated, the same for every paint
    // at one size: laid out again only when the frame's edges have moved.
    if (!sideKept || !stripKept || !EqualRect(&edges, &bordersLaidOut_)) {
        // Left tile in columns 0..B-1, right tile in B..2B-1, each column
        // then grown downwards by copying the filled part below itself.
        Blit(side, 0, top, B, B, border, 0, 0);
        Blit(side, B, top, B, B, border, 4 * B, 0);
        for (const RowCopy& step : DoublingSteps(top, lBottom, B)) {
            Blit(side, 0, step.to, 2 * B, step.height, side, 0, step.from);
        }
        FillRun(strip, BottomRun(lLeft, lRight, B), 0, B, border, 3 * B, 0);
        Blit(strip, lLeft, 0, B, B, border, 2 * B, 0);
        Blit(strip, lRight - B, 0, B, B, border, 6 * B, 0);
        bordersLaidOut_ = edges;
    }
    const int h = lBottom - top;
    Blit(hDC, lLeft, top, B, h, side, 0, top);
    Blit(hDC, lRight - B, top, B, h, side, B, top);
    Blit(hDC, lLeft, BottomBorderTop(skin, lBottom), stripBuffer_->Width(), B, strip, 0, 0);
}

LOGFONTW cOrvane::PlainBarFont() const {
    // The system's menu font, which a high-contrast user may well have
    // enlarged; the caption font when the system names none.
    NONCLIENTMETRICSW metrics{};
    if (NonClientMetricsForDpi(metrics, dpi_) && metrics.lfMenuFont.lfFaceName[0]) return metrics.lfMenuFont;
    LOGFONTW lf{};
    FontToLogFont(captionFont_.get(), dpi_, lf);
    return lf;
}

int cOrvane::PlainLineHeight() {
    if (plainLineDpi_ != dpi_) {
        plainRow_->Grow(1, 1);
        const CreatedFont font(PlainBarFont());
        const SelectedObject selected(plainRow_->hDC(), font.get());
        RECT r{};
        DrawTextW(plainRow_->hDC(), L"Ag", 2, &r, DT_CALCRECT | DT_SINGLELINE);
        plainLineHeight_ = r.bottom - r.top;
        plainLineDpi_ = dpi_;
    }
    return plainLineHeight_;
}

int cOrvane::PlainRowHeight() {
    // A bar item is its text with two (scaled) pixels round it, and one more
    // above and below it in the row.
    const int item = PlainLineHeight() + 2 * ScaleToDpi(2, dpi_);
    return std::max(MetricForDpi(SM_CYMENU, dpi_), item + 2 * ScaleToDpi(1, dpi_));
}

void cOrvane::PaintPlain(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) {
    if (!engine_) return;
    engine_->DefaultNCPaint(hDC, lLeft, lTop, lRight, lBottom);
    const PlainMetrics m = PlainMetricsForDpi(dpi_);
    const int width = lRight - lLeft;
    buttons_ = PlainButtonRects(m, width);
    for (RECT& r : buttons_) OffsetRect(&r, lLeft, lTop);
    const ButtonSet shown = ButtonsForStyle(GetWindowLongPtrW(hWnd_, GWL_STYLE));
    hasMaximize_ = shown.maximize;
    hasMinimize_ = shown.minimize;
    hasClose_ = shown.close;
    if (!menuBar_) return;

    // The menu bar's row under the caption, between the borders, composed
    // off-screen and copied in one blit like the skin's band.
    const int rowTop = lTop + m.frameY + m.caption;
    const int rowHeight = PlainRowHeight();
    const int barWidth = width - 2 * m.frameX;
    if (barWidth <= 0) return;
    plainRow_->Grow(width, rowHeight);
    const HDC row = plainRow_->hDC();
    if (!row) return;
    const RECT all{0, 0, width, rowHeight};
    FillRect(row, &all, GetSysColorBrush(COLOR_MENU));
    menuBar_->hMenu(engine_->hMenu());
    menuBar_->CaptionHeight(rowTop - lTop + rowHeight);
    const CreatedFont barFont(PlainBarFont());
    const int itemTop = (rowHeight - (PlainLineHeight() + 2 * ScaleToDpi(2, dpi_))) / 2;
    // Render draws its items two (scaled) rows below the top it is given.
    const int top = itemTop - ScaleToDpi(2, dpi_);
    menuBar_->Render(barFont.get(), row, lLeft + m.frameX, top, barWidth, rowHeight, -rowHeight + itemTop);
    Blit(hDC, lLeft + m.frameX, rowTop, barWidth, rowHeight, row, lLeft + m.frameX, 0);
}

void cOrvane::DrawButton(HDC hDC, int index, bool pressed) {
    if (!Shown(index) || !captionImage_) return;
    const bool maximized = (GetWindowLongPtrW(hWnd_, GWL_STYLE) & WS_MAXIMIZE) != 0;
    const RECT& r = buttons_[index];
    if (plain_) {
        RECT button = r;
        const UINT kind = index == kClose      ? DFCS_CAPTIONCLOSE
                          : index == kMaximize ? (maximized ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX)
                                               : DFCS_CAPTIONMIN;
        DrawFrameControl(hDC, &button, DFC_CAPTION, kind | (pressed ? DFCS_PUSHED : 0));
        return;
    }
    Blit(hDC, r.left, r.top, lButtonWidth_, lButtonHeight_, captionImage_->hDC(),
         ButtonSourceX(Skin(), index, maximized), pressed ? lButtonHeight_ : 0);
}

void cOrvane::HitTest(int x, int y, int& eHitTest) {
    Guarded([&] {
        const POINT pt{x, y};
        // The plain caption's icon is the engine's own system-menu spot.
        const RECT hotSpot = plain_ ? RECT{} : SysMenuHotSpot(Skin().dpi);
        if (PtInRect(&hotSpot, pt)) {
            eHitTest = HTSYSMENU;
            return;
        }
        // A menu bar item is the bar's, wherever the system's caption height
        // puts the engine's caption line: 19 pixels under Wine 8, 23 on
        // Windows 10 and 26 under Wine 10 reach into the items' upper part,
        // where a press would start a drag instead of opening the menu.
        if (menuBar_ && (eHitTest == HTCAPTION || eHitTest == HTCLIENT)) {
            RECT window{};
            GetWindowRect(hWnd_, &window);
            if (menuBar_->HitTestPoint(POINT{window.left + x, window.top + y}) > 0) eHitTest = HTMENU;
        }
        bool inside[3] = {};
        bool redraw = false;
        for (int i = kClose; i <= kMinimize; ++i) {
            inside[i] = Shown(i) && PtInRect(&buttons_[i], pt);
            if (inside[i]) eHitTest = HTSYSMENU;
            redraw = redraw || (Shown(i) && inside[i] != Pressed(i));
        }
        if (!redraw) return;
        // Off a pressed button it shows unpressed; back on it, it stays so.
        const WindowDC dc(hWnd_);
        for (int i = kClose; i <= kMinimize; ++i) {
            if (Shown(i) && inside[i] != Pressed(i)) DrawButton(dc.get(), i, false);
        }
    });
}

void cOrvane::NCMouseDown(int x, int y, bool& bHandled, HDC hDC, int, int, int, int) {
    Guarded([&] {
        const POINT pt{x, y};
        for (int i = kClose; i <= kMinimize; ++i) {
            if (Shown(i) && PtInRect(&buttons_[i], pt)) {
                DrawButton(hDC, i, true);
                Pressed(i) = true;
                bHandled = true;
            }
        }
    });
}

void cOrvane::NCMouseUp(int x, int y, HDC hDC, int, int, int, int) {
    Guarded([&] {
        const POINT pt{x, y};
        const auto released = [&](int i) { return Shown(i) && PtInRect(&buttons_[i], pt) && Pressed(i); };
        if (engine_) {
            if (released(kClose)) engine_->SysCommand(SC_CLOSE);
            if (released(kMaximize)) {
                const bool maximized = (GetWindowLongPtrW(hWnd_, GWL_STYLE) & WS_MAXIMIZE) != 0;
                engine_->SysCommand(maximized ? SC_RESTORE : SC_MAXIMIZE);
            }
            if (released(kMinimize)) engine_->SysCommand(SC_MINIMIZE);
        }
        for (int i = kClose; i <= kMinimize; ++i) DrawButton(hDC, i, false);
    });
    closePressed_ = maximizePressed_ = minimizePressed_ = false;
}

void cOrvane::InitMenuPopup(WPARAM wParam, LPARAM) {
    Guarded([&] {
        if (menuBar_) menuBar_->InitMenuPopup(reinterpret_cast<HMENU>(wParam));
    });
}

void cOrvane::ExitMenuLoop() {
    Guarded([&] {
        if (menuBar_) menuBar_->ExitMenuLoop();
    });
}

bool cOrvane::CaptionButton(int index, RECT& windowRect, bool& pressed) const {
    if (index < kClose || index > kMinimize || !Shown(index)) return false;
    windowRect = buttons_[static_cast<size_t>(index)];
    pressed = index == kClose ? closePressed_ : index == kMaximize ? maximizePressed_ : minimizePressed_;
    return true;
}

int cOrvane::CaptionBandHeight() const { return captionImage_ ? captionImage_->Height() : 0; }

int cOrvane::AltKeyAccelerator(int vKey) {
    bool used = false;
    Guarded([&] { used = menuBar_ && menuBar_->AltKeyAccelerator(vKey); });
    return used ? -1 : 0;
}

void cOrvane::FontToLogFont(const StdFont* font, int dpi, LOGFONTW& lf) {
    if (!font) return;  // no font object: GDI's default face
    // Face names hold at most LF_FACESIZE - 1 characters; a longer name is
    // cut there, never inside a surrogate pair.
    const std::wstring& name = font->Name();
    size_t n = std::min<size_t>(name.size(), LF_FACESIZE - 1);
    if (n < name.size() && n > 0 && IS_HIGH_SURROGATE(name[n - 1])) --n;
    name.copy(lf.lfFaceName, n);
    lf.lfFaceName[n] = L'\0';
    lf.lfHeight = PointSizeToHeight(font->Size(), dpi > 0 ? dpi : kBaseDpi);
    lf.lfItalic = font->Italic() ? TRUE : FALSE;
    lf.lfUnderline = font->Underline() ? TRUE : FALSE;
    lf.lfStrikeOut = font->Strikethrough() ? TRUE : FALSE;
    lf.lfWeight = font->Bold() ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = font->Charset();
}

#pragma once
// The caption painter: gives a top-level window a skinned frame. The caption
// band (left end, tiled middle, right end, title, three caption buttons and
// the menu bar in its lower half) and the left, right and bottom borders are
// drawn from two skin bitmaps. The non-client engine it creates owns the
// window's non-client messages and calls back here through INCAreaModifier.
// While high contrast is on, the frame is the engine's plain one in the
// system's colours, with the menu bar in a row of its own under the caption.
//
// Create it with MakeRef: the engine keeps a raw pointer to it and turns it
// into a counted reference for each call.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <array>
#include <memory>
#include <vector>

#include "frame/CaptionLayout.h"
#include "frame/INCAreaModifier.h"
#include "frame/MeasuredTexts.h"
#include "frame/cMemDC.h"
#include "plumbing/RefCounted.h"
#include "plumbing/StdFont.h"

class cCaptionAccess;
class cMenuBar;
class cNCCalcSize;

class cOrvane : public INCAreaModifier {
public:
    cOrvane();

    // Gives the window its menu back and stops the engine and the menu bar;
    // may be called again, and Attach may follow.
    void Detach();
    // Skins window f: PicCaption holds the active and inactive caption images
    // and the button cells, PicBorder the seven border cells. Both bitmaps
    // stay the caller's: they are copied here, and may go once this returns.
    // The menu colours and MenuFont must be set before this; the caption
    // colours and CaptionFont are read at every paint. Raises the
    // subclassing service's errors.
    // The skin and the six numbers are for 96 DPI; at another DPI (Dpi) the
    // copies are redrawn to scale, once per DPI, and the numbers scaled.
    void Attach(HWND f, HBITMAP PicCaption, HBITMAP PicBorder, int lButtonWidth, int lButtonHeight,
                int lActiveLeftEnd, int lActiveRightStart, int lActiveRightEnd, int lInactiveOffset);

    // The DPI the frame is drawn for. Set before Attach: the DPI to attach
    // at (0, the default, means the window's own). Set after Attach (the
    // window's WM_DPICHANGED): the skin, fonts, buttons, menu bar and popups
    // follow from the next paint on, the skin redrawn the first time a DPI is
    // used and kept for the next (at 96 it is the pictures as given). The
    // new margins take effect at the window's next frame recalculation,
    // which its move to the rectangle WM_DPICHANGED suggests brings.
    int Dpi() const { return dpi_ > 0 ? dpi_ : requestedDpi_; }
    void Dpi(int dpi);
    // The margins (left, top, right, bottom) the skinned frame has at dpi,
    // for a window that works out its size before its DPI changes. False
    // when it cannot tell: not attached, or in the system's look, whose
    // measures only the system knows.
    bool MarginsAt(int dpi, RECT& margins) const;

    // Colours are OLE colours (RGB, or a system colour with the high bit set).
    OLE_COLOR MenuBackgroundColor() const { return menuBackgroundColor_; }
    void MenuBackgroundColor(OLE_COLOR oColor) { menuBackgroundColor_ = oColor; }
    OLE_COLOR ActiveCaptionColor() const { return activeCaptionColor_; }
    void ActiveCaptionColor(OLE_COLOR oColor) { activeCaptionColor_ = oColor; }
    OLE_COLOR InActiveCaptionColor() const { return inActiveCaptionColor_; }
    void InActiveCaptionColor(OLE_COLOR oColor) { inActiveCaptionColor_ = oColor; }
    // Shared: changing the returned font's name or size changes the caption.
    Ref<StdFont> CaptionFont() const { return captionFont_; }
    void CaptionFont(const Ref<StdFont>& iFnt) { captionFont_ = iFnt; }
    // The popup menus' font, handed to the menu bar by Attach.
    Ref<StdFont> MenuFont() const { return menuFont_; }
    void MenuFont(const Ref<StdFont>& iFnt) { menuFont_ = iFnt; }
    OLE_COLOR ActiveMenuColor() const { return activeMenuColor_; }
    OLE_COLOR ActiveMenuColorOver() const { return activeMenuColorOver_; }
    OLE_COLOR InActiveMenuColor() const { return inActiveMenuColor_; }
    void ActiveMenuColor(OLE_COLOR oColor) { activeMenuColor_ = oColor; }
    void ActiveMenuColorOver(OLE_COLOR oColor) { activeMenuColorOver_ = oColor; }
    void InActiveMenuColor(OLE_COLOR oColor) { inActiveMenuColor_ = oColor; }

    // For screen readers: caption button `index` (CaptionLayout's kClose,
    // kMaximize, kMinimize) as last painted, in window coordinates; false
    // when the window has no such button.
    bool CaptionButton(int index, RECT& windowRect, bool& pressed) const;
    // Height of the caption band (title and menu bar); 0 before Attach.
    int CaptionBandHeight() const;

    // INCAreaModifier. Window-relative coordinates; the rectangle is the
    // whole window as 0, 0, width, height. None of these lets an exception
    // out: they run inside the window procedure.
    HWND hWnd() const override { return hWnd_; }
    void GetTopMarginHeight(int& cy) override;
    void GetLeftMarginWidth(int& cx) override;
    void GetRightMarginWidth(int& cx) override;
    void GetBottomMarginHeight(int& cy) override;
    void NCPaint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) override;
    void HitTest(int x, int y, int& eHitTest) override;
    void NCMouseDown(int x, int y, bool& bHandled, HDC hDC, int lLeft, int lTop, int lRight,
                     int lBottom) override;
    void NCMouseUp(int x, int y, HDC hDC, int lLeft, int lTop, int lRight, int lBottom) override;
    void InitMenuPopup(WPARAM wParam, LPARAM lParam) override;
    void ExitMenuLoop() override;
    int AltKeyAccelerator(int vKey) override;

protected:
    // Only Release destroys a painter (the engine holds a raw pointer to it).
    ~cOrvane() override;

private:
    friend struct cOrvaneTestPeer;

    void UseDpi(int dpi);
    void NewBuffers();
    bool Plain() const;
    void Paint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom);
    void PaintBorders(HDC hDC, int lLeft, int lTop, int lRight, int lBottom);
    void PaintPlain(HDC hDC, int lLeft, int lTop, int lRight, int lBottom);
    LOGFONTW PlainBarFont() const;
    int PlainLineHeight();
    int PlainRowHeight();
    void FollowLook(bool plain);
    CaptionSkin Skin() const;
    bool Shown(int index) const;
    bool& Pressed(int index);

    void DrawButton(HDC hDC, int index, bool pressed);
    static void FontToLogFont(const StdFont* font, int dpi, LOGFONTW& lf);

    Ref<cNCCalcSize> engine_;
    HWND hWnd_ = nullptr;
    // The skin at each DPI it was drawn for: [0] is the pictures as given
    // (96 DPI), the source of every other. The images in use point into it.
    struct SkinImages {
        int dpi = 0;
        std::unique_ptr<cMemDC> caption;
        std::unique_ptr<cMemDC> border;
    };
    std::vector<SkinImages> skins_;
    CaptionSkin skin96_;
    cMemDC* borderImage_ = nullptr;
    cMemDC* captionImage_ = nullptr;
    std::unique_ptr<cMemDC> captionBuffer_;  // the caption band
    std::unique_ptr<cMemDC> sideBuffer_;     // the left and right border columns
    std::unique_ptr<cMemDC> stripBuffer_;    // the bottom border strip
    std::unique_ptr<cMemDC> bandBack_;       // the band's background
    // The border buffers hold the skin's tiles laid out for these edges of
    // the frame, and the band's background is laid out for this width,
    // state and style; a paint at the same size only copies them.
    RECT bordersLaidOut_{};
    struct BandLayout {
        int left = 0, top = 0, right = -1, offset = -1;
        bool close = false, maximize = false, minimize = false, maximized = false;
        bool operator==(const BandLayout&) const = default;
    };
    BandLayout bandLaidOut_;
    // The band keeps the last paint's frame: only what was drawn over its
    // background then (the title and the menu bar's items) is put back
    // before the next one, unless the background itself was laid out anew.
    bool bandComposed_ = false;
    RECT titleDrawn_{};
    RECT barDrawn_{};
    MeasuredTexts titleTexts_{DT_SINGLELINE | DT_NOPREFIX};
    Ref<cMenuBar> menuBar_;
    Ref<cCaptionAccess> access_;  // keyboard and screen-reader access to the caption
    // High contrast: the look of the last paint, the menu bar's row, and its
    // line height (measured once per DPI).
    bool plain_ = false;
    std::unique_ptr<cMemDC> plainRow_;
    int plainLineDpi_ = 0;
    int plainLineHeight_ = 0;

    OLE_COLOR activeCaptionColor_ = 0xCCCCCC;
    OLE_COLOR inActiveCaptionColor_ = 0x999999;
    Ref<StdFont> captionFont_;
    OLE_COLOR activeMenuColor_ = 0;
    OLE_COLOR activeMenuColorOver_ = 0;
    OLE_COLOR inActiveMenuColor_ = 0x808080;
    OLE_COLOR menuBackgroundColor_ = 0xFFFFFF;
    Ref<StdFont> menuFont_;

    int lButtonWidth_ = 0;
    int lButtonHeight_ = 0;
    int lActiveLeftEnd_ = 0;
    int lActiveRightStart_ = 0;
    int lActiveRightEnd_ = 0;
    int lInactiveOffset_ = 0;
    int requestedDpi_ = 0;  // 0 = the window's
    int dpi_ = 0;           // in use since Attach

    std::array<RECT, 3> buttons_{};  // [close, maximize/restore, minimize] of the last paint
    bool hasMaximize_ = false;
    bool hasMinimize_ = false;
    bool hasClose_ = false;
    bool minimizePressed_ = false;
    bool maximizePressed_ = false;
    bool closePressed_ = false;
};

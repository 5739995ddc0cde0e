#pragma once
// The caption painter: gives a top-level window a skinned frame. The caption
// band (left end, tiled middle, right end, title, three caption buttons and
// the menu bar in its lower half) and the left, right and bottom borders are
// drawn from two skin bitmaps. The non-client engine it creates owns the
// window's non-client messages and calls back here through INCAreaModifier.
//
// Create it with MakeRef: the engine keeps a raw pointer to it and turns it
// into a counted reference for each call.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <array>
#include <memory>

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
    // stay the caller's (they are copied). The menu colours and MenuFont must
    // be set before this; the caption colours and CaptionFont are read at
    // every paint. Raises the subclassing service's errors.
    // The skin and the six numbers are for 96 DPI; at another DPI (Dpi) the
    // bitmaps are redrawn to scale here, once, and the numbers scaled.
    void Attach(HWND f, HBITMAP PicCaption, HBITMAP PicBorder, int lButtonWidth, int lButtonHeight,
                int lActiveLeftEnd, int lActiveRightStart, int lActiveRightEnd, int lInactiveOffset);

    // The DPI the frame is drawn for: set before Attach (0, the default,
    // means the screen's); after Attach, the DPI in use.
    int Dpi() const { return dpi_ > 0 ? dpi_ : requestedDpi_; }
    void Dpi(int dpi) { requestedDpi_ = dpi; }

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

    void Paint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom);
    void PaintBorders(HDC hDC, int lLeft, int lTop, int lRight, int lBottom);
    CaptionSkin Skin() const;
    bool Shown(int index) const;
    bool& Pressed(int index);

    void DrawButton(HDC hDC, int index, bool pressed);
    static void FontToLogFont(const StdFont* font, HDC hDC, LOGFONTW& lf);

    Ref<cNCCalcSize> engine_;
    HWND hWnd_ = nullptr;
    std::unique_ptr<cMemDC> borderImage_;
    std::unique_ptr<cMemDC> captionImage_;
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
    int requestedDpi_ = 0;  // 0 = the screen's
    int dpi_ = 0;           // in use since Attach

    std::array<RECT, 3> buttons_{};  // [close, maximize/restore, minimize] of the last paint
    bool hasMaximize_ = false;
    bool hasMinimize_ = false;
    bool hasClose_ = false;
    bool minimizePressed_ = false;
    bool maximizePressed_ = false;
    bool closePressed_ = false;
};

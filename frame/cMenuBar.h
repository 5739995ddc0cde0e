#pragma once
// The window's menu bar, drawn by the caption painter inside the caption
// band: one button per top-level popup item, with hover and pressed looks, a
// 50 ms mouse poll while something is hot, Alt+letter, and the hand-over to
// the popup tracker. For one menu loop at a time it also draws every popup
// item of the window itself (owner-drawn in the skin's colours and font) and
// puts each item back exactly as it was when the loop ends.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <vector>

#include "frame/IMenuBarHost.h"
#include "frame/MeasuredTexts.h"
#include "frame/MenuItemStore.h"
#include "frame/cMemDC.h"
#include "plumbing/CTimer.h"
#include "plumbing/ISubclass.h"
#include "plumbing/StdFont.h"

class cToolbarMenu;

class cMenuBar : public ISubclass, public IMenuBarHost {
public:
    cMenuBar();
    ~cMenuBar() override;

    // The menu drawn; null draws nothing.
    void hMenu(HMENU hTheMenu);
    HMENU hMenu() const;
    // Raises PlumbingError when the window cannot be subclassed.
    void Attach(HWND lhWnd);
    void Detach();
    // Distance from the window top to the client area top.
    void CaptionHeight(int lHeight);
    // Draws the bar into the band (lLeft, lTop + 2, lWidth x lHeight) of lhDC
    // and remembers the item rectangles, moved by (lLeft, lYoffset) into the
    // bar's frame: x from the window's left edge, y from the client top.
    void Render(HFONT hFnt, HDC lhDC, int lLeft, int lTop, int lWidth, int lHeight, int lYoffset);
    // What the last Render drew on lhDC: every item's edge and text lie in
    // it. Empty when it drew nothing.
    const RECT& DrawnArea() const { return drawn_; }

    // For the caption painter.
    void SetFont(const Ref<StdFont>& font);
    void SetColors(OLE_COLOR normal, OLE_COLOR over, OLE_COLOR inactive, OLE_COLOR background);
    // The DPI the bar and its popups are drawn for (96 unless told): their
    // paddings, insets and the popups' fonts are made for it. The bar's own
    // font comes with each Render, made by the painter for the same DPI.
    void Dpi(int dpi);
    // True when vKey is the mnemonic of a bar item and its popup was shown.
    bool AltKeyAccelerator(int vKey);
    // Opens item k's popup as a press on it does (the keyboard selection, a
    // screen reader); nothing inside a running menu loop.
    void ShowItem(int k);
    // The keyboard's selection of the bar (F10, a lone Alt): item k is drawn
    // hot and the mouse poll leaves it so; 0 ends the selection.
    void KeyboardItem(int k);
    int KeyboardItem() const { return keyboardItem_; }
    int HoverItem() const { return hoverItem_; }
    int PressedItem() const { return pressedItem_; }
    bool InMenuLoop() const;
    HWND hWnd() const { return window_; }
    void InitMenuPopup(HMENU popup);
    void ExitMenuLoop();

    // IMenuBarHost, for the popup tracker.
    int ItemCount() const override;
    HMENU SubMenu(int k) const override;
    int HitTestPoint(POINT screen) const override;
    void SetPressed(int k, bool flag) override;
    void SetHover(int k) override;
    void ItemScreenRect(int k, RECT& rect) const override;

    // ISubclass
    MsgResponseMode MsgResponse() const override;
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    int Px(int px96) const;
    int HitTestCursor() const;
    void TrackMouse();
    void OpenItem(int k);
    void Repaint();
    void EnsureWorkDC();
    void MakeOwnerDrawn(HMENU popup, int p, UINT fType, int c);
    int ItemForMeasure(const MEASUREITEMSTRUCT& mis) const;
    int LineHeight();

    LRESULT OnLButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT MenuChar(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT MeasureItem(HWND hWnd, WPARAM wParam, LPARAM lParam);
    LRESULT DrawItem(HWND hWnd, WPARAM wParam, LPARAM lParam);
    void DrawItemText(HDC dc, const std::wstring& text, const RECT& rect, bool disabled, UINT format) const;

    HFONT FontHandle() const;
    HFONT GlyphFontHandle() const;

    cMemDC workDC_;
    Ref<cToolbarMenu> tracker_;
    HMENU menu_ = nullptr;
    HWND window_ = nullptr;
    MeasuredTexts measured_;         // the items' texts in the bar's font
    std::vector<RECT> itemRects_;    // item k at [k - 1]
    RECT drawn_{};                   // on the last Render's DC
    std::vector<HMENU> itemPopups_;  // item k at [k - 1]
    int pressedItem_ = 0;            // 0 or -1 = none
    int hoverItem_ = 0;              // 0 or -1 = none
    int keyboardItem_ = 0;           // 0 = no keyboard selection
    OLE_COLOR activeMenuColor_ = 0;
    OLE_COLOR activeMenuColorOver_ = 0;
    OLE_COLOR inActiveMenuColor_ = 0x808080;
    OLE_COLOR menuBackgroundColor_ = 0xFFFFFF;
    int captionHeight_ = 0;
    int dpi_ = 96;
    MenuItemStore store_;
    Ref<StdFont> textFont_;
    Ref<StdFont> glyphFont_;
    int popupTextHeight_ = 0;
    Ref<CTimer> timer_;
};

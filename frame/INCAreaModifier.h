#pragma once
// The non-client engine's partner: sizes, paints and hit-tests the frame and
// answers the caption's mouse clicks, popup preparation, the end of each menu
// loop and Alt-key accelerators. Operations in their fixed order.
#include <windows.h>

#include "plumbing/RefCounted.h"

class INCAreaModifier : public virtual RefCounted {
public:
    // The window to be skinned.
    virtual HWND hWnd() const = 0;
    // Margins in pixels, measured inward from the window rectangle; each is
    // given the engine's default and changes only what it wants.
    virtual void GetTopMarginHeight(int& cy) = 0;
    virtual void GetLeftMarginWidth(int& cx) = 0;
    virtual void GetRightMarginWidth(int& cx) = 0;
    virtual void GetBottomMarginHeight(int& cy) = 0;
    // The window DC and the whole window rectangle in window coordinates.
    virtual void NCPaint(HDC hDC, int lLeft, int lTop, int lRight, int lBottom) = 0;
    // eHitTest holds the engine's proposal; the partner may replace it.
    virtual void HitTest(int x, int y, int& eHitTest) = 0;
    // bHandled = true: the engine does no default handling of the press.
    virtual void NCMouseDown(int x, int y, bool& bHandled, HDC hDC, int lLeft, int lTop, int lRight,
                             int lBottom) = 0;
    virtual void NCMouseUp(int x, int y, HDC hDC, int lLeft, int lTop, int lRight, int lBottom) = 0;
    virtual void InitMenuPopup(WPARAM wParam, LPARAM lParam) = 0;
    virtual void ExitMenuLoop() = 0;
    // Non-zero when the key opened a menu.
    virtual int AltKeyAccelerator(int vKey) = 0;
};

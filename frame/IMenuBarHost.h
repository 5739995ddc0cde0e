#pragma once
// What the popup tracker (cToolbarMenu) needs of the menu bar that owns it.
// Bar items are numbered 1..ItemCount() as drawn.
#include <windows.h>

#include "plumbing/RefCounted.h"

class IMenuBarHost : public virtual RefCounted {
public:
    virtual int ItemCount() const = 0;
    // The popup item k opens; null outside 1..ItemCount().
    virtual HMENU SubMenu(int k) const = 0;
    // The item under a screen point; 0 when none.
    virtual int HitTestPoint(POINT screen) const = 0;
    // flag true: k is pressed; false: k is pressed no more. Repaints.
    virtual void SetPressed(int k, bool flag) = 0;
    // k is the hot item (-1 = none). Repaints.
    virtual void SetHover(int k) = 0;
    // Item k in screen coordinates; rect is left alone outside 1..ItemCount().
    virtual void ItemScreenRect(int k, RECT& rect) const = 0;

protected:
    ~IMenuBarHost() override = default;
};

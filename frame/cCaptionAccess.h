#pragma once
// Keyboard and screen-reader access to a skinned caption, which the system
// cannot see into: F10 or a lone Alt selects the caption's menu bar, and the
// window answers WM_GETOBJECT for OBJID_MENU (the bar and its items) and
// OBJID_TITLEBAR (the title and the caption buttons). A client of the
// subclassing service on the framed window; the caption painter attaches it.
#include <windows.h>

#include <memory>

#include "frame/CaptionAccessible.h"
#include "plumbing/ISubclass.h"

class cCaptionAccess : public ISubclass {
public:
    cCaptionAccess() = default;
    ~cCaptionAccess() override;

    // painter and bar hold no reference from here; Detach (also run by the
    // painter's own) cuts every object handed out. Raises PlumbingError when
    // the window cannot be subclassed.
    void Attach(HWND window, cOrvane* painter, cMenuBar* bar);
    void Detach();

    // Posted to the window with wParam k, opens bar item k's popup.
    static UINT OpenItemMessage();

    // ISubclass
    MsgResponseMode MsgResponse() const override { return mrConsume; }
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept override;

private:
    LRESULT Handle(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::shared_ptr<CaptionLink> link_;
};

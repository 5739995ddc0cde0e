#pragma once
// Application-wide facade of the subclassing service; stateless, every member
// forwards to MSubclass. Usable as GSubclass::AttachMessage(...) or through an
// instance.
#include "plumbing/MSubclass.h"

class GSubclass {
public:
    // Start subclassing for a particular message.
    static void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) {
        MSubclass::AttachMessage(iwp, hWnd, iMsg);
    }
    // Stop subclassing for a particular message.
    static void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) {
        MSubclass::DetachMessage(iwp, hWnd, iMsg);
    }
    // Returns the message currently being worked on. Only valid in the
    // MsgResponse and WindowProc items of your implemented interface.
    static UINT CurrentMessage() noexcept { return MSubclass::CurrentMessage(); }
    // Calls the window procedure for this handle which was installed before
    // you added the subclass.
    static LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
        return MSubclass::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
    }
};

#include "frame/cCaptionAccess.h"

#include <oleacc.h>

#include "frame/MenuBarKeyboard.h"
#include "frame/cMenuBar.h"
#include "plumbing/CallbackGuard.h"
#include "plumbing/GSubclass.h"
#include "plumbing/PlumbingError.h"
#include "plumbing/SystemLibrary.h"

cCaptionAccess::~cCaptionAccess() { Detach(); }

UINT cCaptionAccess::OpenItemMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tarvolo.CaptionMenuBar.OpenItem");
    return message;
}

void cCaptionAccess::Attach(HWND window, cOrvane* painter, cMenuBar* bar) {
    Detach();
    window_ = window;
    link_ = std::make_shared<CaptionLink>(CaptionLink{window, painter, bar, OpenItemMessage()});
    // Nothing stays half attached behind an error, which goes on to the caller.
    try {
        for (const UINT message : {static_cast<UINT>(WM_GETOBJECT), static_cast<UINT>(WM_SYSCOMMAND), OpenItemMessage()}) {
            GSubclass::AttachMessage(this, window_, message);
        }
    } catch (const std::exception&) {
        Detach();
        throw;
    }
}

void cCaptionAccess::Detach() {
    // Objects a client still holds answer RPC_E_DISCONNECTED from now on.
    if (link_) link_->Cut();
    link_.reset();
    if (!window_) return;
    for (const UINT message : {static_cast<UINT>(WM_GETOBJECT), static_cast<UINT>(WM_SYSCOMMAND), OpenItemMessage()}) {
        GSubclass::DetachMessage(this, window_, message);
    }
    window_ = nullptr;
}

LRESULT cCaptionAccess::WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept {
    const Ref<cCaptionAccess> self(this);
    return RunGuarded(LRESULT{0}, [&] { return Handle(hWnd, iMsg, wParam, lParam); });
}

LRESULT cCaptionAccess::Handle(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    const Ref<cMenuBar> bar = link_ ? ObjectFromPointer(link_->bar) : Ref<cMenuBar>();
    if (iMsg == OpenItemMessage()) {
        if (bar) bar->ShowItem(static_cast<int>(wParam));
        return 0;
    }
    if (iMsg == WM_SYSCOMMAND) {
        // F10 and a lone Alt arrive as the keyboard's menu command without a
        // character; Alt+Space (the system menu) and Alt+letter keep theirs.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && bar && bar->ItemCount() >= 1 && !IsIconic(hWnd)) {
            RunMenuBarSelection(*bar);
            return 0;
        }
        return GSubclass::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
    }
    // WM_GETOBJECT: the object id is a DWORD in lParam.
    const DWORD id = static_cast<DWORD>(lParam);
    ComRef<IAccessible> object;
    if (link_ && id == static_cast<DWORD>(OBJID_MENU)) object = NewMenuBarAccessible(link_);
    if (link_ && id == static_cast<DWORD>(OBJID_TITLEBAR)) object = NewTitleBarAccessible(link_);
    if (object) {
        // The accessibility library is loaded when a screen reader first asks.
        using FromObject = decltype(&::LresultFromObject);
        static const FromObject fromObject = SystemFunction<FromObject>(L"oleacc.dll", "LresultFromObject");
        const LRESULT result = fromObject ? fromObject(__uuidof(IAccessible), wParam, object.get()) : 0;
        if (result > 0) return result;
    }
    return GSubclass::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
}

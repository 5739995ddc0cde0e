#pragma once
// The accessible objects of a skinned caption: OBJID_MENU, the menu bar the
// caption draws (its children are the bar's items), and OBJID_TITLEBAR, the
// title with the caption buttons. They reach the frame through a link that
// holds no reference and is cut when the frame goes.
#include <windows.h>
#include <oleacc.h>

#include <memory>

#include "plumbing/ComRef.h"

class cMenuBar;
class cOrvane;

struct CaptionLink {
    HWND window = nullptr;
    cOrvane* painter = nullptr;
    cMenuBar* bar = nullptr;
    UINT openItemMessage = 0;  // posted to the window with wParam k: open bar item k
    void Cut() noexcept {
        window = nullptr;
        painter = nullptr;
        bar = nullptr;
    }
};

ComRef<IAccessible> NewMenuBarAccessible(std::shared_ptr<const CaptionLink> link);
ComRef<IAccessible> NewTitleBarAccessible(std::shared_ptr<const CaptionLink> link);

// The names screen readers hear for the bar, its items' action and the
// caption buttons.
inline constexpr wchar_t kMenuBarName[] = L"应用程序";
inline constexpr wchar_t kOpenAction[] = L"打开";
inline constexpr wchar_t kPressAction[] = L"按下";
inline constexpr wchar_t kMinimizeName[] = L"最小化";
inline constexpr wchar_t kMaximizeName[] = L"最大化";
inline constexpr wchar_t kRestoreName[] = L"还原";
inline constexpr wchar_t kCloseName[] = L"关闭";

#pragma once
// Message subclassing shared by many clients. The registry of who wants which
// message lives in the subclassed window's own properties (see SubclassNames.h),
// so it lives and dies with the window. One shared procedure,
// SubclassDispatchProc, replaces the window's procedure while anything is
// attached. The registry holds raw client pointers; clients detach in their
// own Detach before they go away.
#include <windows.h>

#include <cstdint>

#include "plumbing/ISubclass.h"

namespace MSubclass {

constexpr std::int32_t ErrSubclassFailed = 13081;
constexpr std::int32_t ErrDuplicateClient = 13082;
constexpr std::int32_t ErrInvalidWindow = 13083;
constexpr std::int32_t ErrForeignWindow = 13084;

// Raises PlumbingError 13081..13084 (see the .cpp for the texts).
void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg);
// Detaching a pair that is not attached changes nothing.
void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg);

// The message and previous procedure of the dispatch in progress; overwritten
// by every client call, nested dispatches included. Both 0 before the first.
UINT CurrentMessage() noexcept;
WNDPROC CurrentOldWindowProc() noexcept;
LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK SubclassDispatchProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

bool IsOwnProcessWindow(HWND hWnd) noexcept;
[[noreturn]] void RaiseSubclassError(std::int32_t code);

}  // namespace MSubclass

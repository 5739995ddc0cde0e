#pragma once
// The program's two thread hooks and the registries behind them: the keyboard
// hook routing Alt+key presses to the active window's non-client engine, and
// the message filter that lets the popup tracker see a menu loop's input.
// Both registries keep raw pointers; objects unregister before they go away.
#include <windows.h>

#include "plumbing/IMenuFilterClient.h"
#include "plumbing/INCEngine.h"

namespace mDeclares {

// Installs the keyboard hook if needed; adds the engine once, at the end.
void RegisterEngine(INCEngine* engine);
// Removes the engine if present; removes the hook when the list is empty.
void UnregisterEngine(INCEngine* engine);
// 1-based index of the engine in the list, 0 when absent.
int FindEngine(const INCEngine* engine) noexcept;
// The first registered engine whose window is active.
bool FindActiveEngine(Ref<INCEngine>& engine);
int EngineCount() noexcept;
bool KeyboardHookInstalled() noexcept;

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;

// Installs the menu filter for one popup of the tracker (replacing any filter
// still installed) and remembers the tracker.
void StartMenuFilter(IMenuFilterClient* tracker);
// Removes the filter; the tracker stays remembered.
void StopMenuFilter();
// Forgets the tracker if it is the remembered one (and removes its filter),
// for the tracker's own Detach.
void ForgetMenuTracker(const IMenuFilterClient* tracker);
IMenuFilterClient* MenuTracker() noexcept;
bool MenuFilterInstalled() noexcept;

LRESULT CALLBACK MenuFilterHookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace mDeclares

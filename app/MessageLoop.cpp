#include "app/MessageLoop.h"

#include "app/Prompt.h"
#include "app/frmMain.h"
#include "plumbing/CallbackGuard.h"

void ProcessMessage(frmMain& main, MSG& msg) noexcept {
    // The list's keys run commands straight from here, outside any window
    // procedure: they need the same guard. A key whose command failed has
    // been used all the same.
    if (RunGuarded(true, [&] { return main.PreTranslateMessage(msg); })) {
        TellCallbackFailures(main.hWnd());
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    TellCallbackFailures(main.hWnd());
}

int RunMessageLoop(frmMain& main) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(main, msg);
    return static_cast<int>(msg.wParam);
}

void TellCallbackFailures(HWND owner) {
    if (PendingCallbackFailures() == 0 || PromptShowing()) return;
    RunGuarded([&] {
        const std::wstring text = TakeCallbackFailure();
        if (!text.empty()) Prompt(owner, text, kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    });
}

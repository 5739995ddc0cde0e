#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/MessageLoop.h"
#include "app/SingleInstance.h"
#include "app/frmMain.h"
#include "plumbing/SystemInfo.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Single-threaded apartment: the shell link object and the pickers need it.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    int exitCode = 0;
    {
        SingleInstance instance(ExecutableFolder());
        if (!instance.IsFirst()) {
            instance.ActivateFirst();
            OleUninitialize();
            return 0;
        }
        frmMain main;
        if (!main.Create()) return 1;
        instance.Publish(main.hWnd());
        exitCode = RunMessageLoop(main);
    }
    OleUninitialize();
    return exitCode;
}

#pragma once
// The program's message loop. Every message goes through the main window's
// keys and dialog routing, then the usual translation and dispatch; what a
// handler could not finish is told to the user here, outside every handler.
#include <windows.h>

class frmMain;

// Handles one message as the loop does.
void ProcessMessage(frmMain& main, MSG& msg) noexcept;

// Runs until WM_QUIT and returns its exit code.
int RunMessageLoop(frmMain& main);

// Tells the user, in one message box, about callbacks that failed since the
// last time; nothing while another message box is open (it is told after).
void TellCallbackFailures(HWND owner);

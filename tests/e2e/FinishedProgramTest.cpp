// The finished program as a person meets it: the skinned caption with its
// menu bar and buttons, the links, the dialogs with their browse buttons, the
// tray and its menu, a caption drag, losing and regaining activation, exit
// from the tray and a restart. Screenshots of each stage go to e2e-shots.
#include <gtest/gtest.h>

#include "tests/e2e/Driver.h"
#include "tests/e2e/ProgramCopy.h"

using namespace e2e;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

// Window-relative spots of the skinned caption (the skin: band 48 high,
// buttons 19 x 20 from the right edge, the menu bar's first item from x 96).
// The frame scales with the screen's DPI, and so do these 96-DPI spots.
int ScreenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
int Px(int px96) { return MulDiv(px96, ScreenDpi(), 96); }
POINT MenuItemSpot(HWND w) { return {WindowRect(w).left + Px(112), WindowRect(w).top + Px(33)}; }
POINT TitleSpot(HWND w) { return {WindowRect(w).left + Px(320), WindowRect(w).top + Px(14)}; }
POINT MinimizeSpot(HWND w) { return {WindowRect(w).right - Px(55), WindowRect(w).top + Px(15)}; }

// Presses the caption's minimize button. Two presses on a caption button
// within the double-click time count as a double-click on the system menu,
// which closes the window, so a person's second press comes later.
void Minimize(HWND w) {
    Sleep(GetDoubleClickTime() + 200);
    ClickAt(MinimizeSpot(w).x, MinimizeSpot(w).y);
}

// What the shell does for a click on the notification-area icon: it lets the
// icon's program take the foreground and sends it the icon's message.
// The program has handled the click that hid its window first: a late part
// of it would otherwise cancel the tray menu as it opens.
void TrayClick(Tarvolo& app, UINT mouseMessage) {
    ASSERT_TRUE(testsupport::ThreadOfWindowCaughtUp(app.main));
    AllowSetForegroundWindow(app.pid());
    PostMessageW(app.main, frmMain::WM_TRAYICON, 0, mouseMessage);
}

}  // namespace

class FinishedProgram : public ProgramCopy {};

TEST_F(FinishedProgram, SkinMenusTrayDragAndLinksAsAPersonUsesThem) {
    UsesAliases({L"tool", L"fpnp", L"fpwin"});
    const std::string start = AnsiLines({L"应用程序", L"fpnp", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本",
                                         L"文件夹", L"fpwin", L"C:\\windows", L"C:\\windows", L"", L"系统目录"});
    WriteBytes(catalogue, start);
    WriteBytes(dir / L"tool.exe", "MZ");
    // The catalogue comes without its shortcuts, as after a reinstall.

    std::string expected = start;
    {
        Tarvolo app(exe);
        ASSERT_TRUE(app.main);
        EXPECT_EQ(app.Rows(), 2);
        // The start-up check names both and writes them again on Yes.
        HWND check = app.Box();
        ASSERT_TRUE(check) << "no start-up question about the missing shortcuts";
        EXPECT_NE(MessageText(check).find(L"fpnp（"), std::wstring::npos);
        EXPECT_NE(MessageText(check).find(L"fpwin（"), std::wstring::npos);
        Shot(L"09-start-up-check");
        Answer(check, IDYES);
        ASSERT_TRUE(WaitFor([&] { return fs::exists(system / L"fpnp.lnk") && fs::exists(system / L"fpwin.lnk"); }));
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(check); }));
        // The engine marks the window it frames; its own menu bar is gone.
        EXPECT_NE(GetPropW(app.main, L"teskCNCImplementation"), nullptr);
        RECT client;
        GetClientRect(app.main, &client);
        EXPECT_EQ(client.right, MulDiv(8415, ScreenDpi(), 1440));
        ClickAt(TitleSpot(app.main).x, TitleSpot(app.main).y);  // activates it, moves nothing
        EXPECT_TRUE(WaitFor([&] { return GetMenu(app.main) == nullptr; }));
        Shot(L"10-skinned-active");

        // The caption menu bar, with the mouse.
        ClickAt(MenuItemSpot(app.main).x, MenuItemSpot(app.main).y);
        ASSERT_TRUE(WaitFor([&] { return Popup(app.pid()) != nullptr; })) << "no popup from the caption menu bar";
        Shot(L"11-caption-menu-mouse");
        Tap(VK_ESCAPE);
        ASSERT_TRUE(WaitFor([&] { return Popup(app.pid()) == nullptr; }));

        // And with Alt+M; the second command adds a program.
        AltTap('M');
        ASSERT_TRUE(WaitFor([&] { return Popup(app.pid()) != nullptr; })) << "Alt+M opened nothing";
        Shot(L"12-caption-menu-alt");
        Tap(VK_DOWN);
        Tap(VK_DOWN);
        Tap(VK_RETURN);
        HWND add = app.Dialog(L"添加应用程序");
        ASSERT_TRUE(add) << "the menu command did not open the dialog";

        // Browse for the program with the real file dialog.
        Press(Child(add, EntryDialog::IdCommand1));
        HWND picker = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            picker = FindTopLevel(app.pid(), L"#32770", L"请选择你要设置的程序");
            return picker != nullptr;
        }));
        Shot(L"13-browse-program");
        const std::wstring tool = (dir / L"tool.exe").wstring();
        HWND nameBox = GetDlgItem(picker, 0x480);  // edt1
        if (!nameBox) nameBox = GetDlgItem(picker, 0x47c);  // cmb13
        SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tool.c_str()));
        PostMessageW(picker, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return TextOf(Child(add, EntryDialog::IdTxtName)) == L"tool"; }));
        EXPECT_EQ(TextOf(Child(add, EntryDialog::IdTxtPath)), tool);
        EXPECT_EQ(TextOf(Child(add, EntryDialog::IdTxtWork)), dir.path().wstring() + L"\\");
        Shot(L"14-add-after-browse");
        Press(Child(add, EntryDialog::IdCmdOK));
        HWND box = app.Box();
        ASSERT_TRUE(box);
        Answer(box, IDOK);
        expected += AnsiLines({L"应用程序", L"tool", tool, dir.path().wstring() + L"\\", L"", L"tool"});
        ASSERT_TRUE(WaitFor([&] { return ReadBytes(catalogue) == expected; }));
        EXPECT_TRUE(fs::exists(system / L"tool.lnk"));

        // The folder browser opens from the folder dialog and can be cancelled.
        app.Click(frmMain::IdCmdAddD);
        HWND addD = app.Dialog(L"添加文件夹");
        ASSERT_TRUE(addD);
        Press(Child(addD, EntryDialog::IdCommand1));
        HWND browser = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (browser = FindTopLevel(app.pid(), L"#32770", L"")) != nullptr; }));
        Shot(L"15-browse-folder");
        PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(browser); }));
        EXPECT_EQ(TextOf(Child(addD, EntryDialog::IdTxtName)), L"");
        Press(Child(addD, EntryDialog::IdCommand2));

        // Reorder: the new entry goes to the top; the file waits for a save.
        ASSERT_TRUE(app.SelectRow(2));
        app.Click(frmMain::IdCmdUp);
        app.Click(frmMain::IdCmdUp);
        ASSERT_TRUE(WaitFor([&] { return app.Selected() == 0; }));

        // Drag the window by its caption. The drag follows the pointer while
        // the window is active; after the dialog closed, the activation comes
        // back to it a moment later on a busy machine (a person would click
        // it first, and wait past the double-click time before pressing again).
        if (!WaitFor([&] { return GetForegroundWindow() == app.main; }, 3000)) {
            ClickAt(TitleSpot(app.main).x, TitleSpot(app.main).y);
            ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.main; }));
            Sleep(GetDoubleClickTime() + 100);
        }
        const RECT before = WindowRect(app.main);
        const POINT grip = TitleSpot(app.main);
        MoveTo(grip.x, grip.y);
        Mouse(MOUSEEVENTF_LEFTDOWN);
        // A person moves on as the window follows. The drag loop takes its
        // starting point when it begins, so on a busy machine the first step
        // may come before it and be lost; each step waits for the window to
        // follow (the checks below allow two lost steps).
        for (int i = 1; i <= 10; ++i) {
            const LONG left = WindowRect(app.main).left;
            MoveTo(grip.x + 6 * i, grip.y + 4 * i);
            WaitFor([&] { return WindowRect(app.main).left != left; }, 1500);
        }
        Mouse(MOUSEEVENTF_LEFTUP);
        const RECT after = WindowRect(app.main);
        // Wine may drop a move or two of the injected ones: the window
        // follows the pointer, give or take those.
        EXPECT_NEAR(after.left - before.left, 60, 12);
        EXPECT_NEAR(after.top - before.top, 40, 12);

        // Another window takes the activation, then the caption brings it back.
        app.Click(frmMain::IdCmdAddP);
        ASSERT_TRUE(app.Dialog(L"添加应用程序"));
        Shot(L"16-main-inactive");
        Press(Child(app.Dialog(L"添加应用程序"), EntryDialog::IdCommand2));
        ClickAt(TitleSpot(app.main).x, TitleSpot(app.main).y);
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.main; }));
        Shot(L"17-main-active-again");

        // The link under the pointer.
        RECT link{};
        GetWindowRect(app.main, &link);
        MoveTo(link.left + Px(10) + MulDiv(120 + 1080 + 200, ScreenDpi(), 1440),
               link.top + Px(48) + MulDiv(4800 + 240 + 100, ScreenDpi(), 1440));
        Shot(L"18-link-hover");

        // Minimize with the caption button: into the tray.
        Minimize(app.main);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(app.main); })) << "the minimize button did not hide it";
        // Back with a double-click on the tray icon (the shell's message).
        TrayClick(app, WM_LBUTTONDBLCLK);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(app.main) != FALSE; }));

        // Again, and back through the tray menu's first command.
        Minimize(app.main);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(app.main); }));
        TrayClick(app, WM_RBUTTONUP);
        const bool trayMenu = WaitFor([&] { return Popup(app.pid()) != nullptr; });
        Shot(L"19-tray-menu");
        ASSERT_TRUE(trayMenu);
        Tap(VK_DOWN);
        Tap(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(app.main) != FALSE; }));

        // Exit from the tray menu: the catalogue is saved in its new order.
        Minimize(app.main);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(app.main); }));
        TrayClick(app, WM_RBUTTONUP);
        ASSERT_TRUE(WaitFor([&] { return Popup(app.pid()) != nullptr; }));
        Tap(VK_UP);  // from nothing selected, Up picks the last command
        Tap(VK_RETURN);
        ASSERT_TRUE(app.Exited());
    }
    const std::string reordered =
        AnsiLines({L"应用程序", L"tool", (dir / L"tool.exe").wstring(), dir.path().wstring() + L"\\", L"", L"tool"}) + start;
    EXPECT_EQ(ReadBytes(catalogue), reordered);

    Tarvolo again(exe);
    ASSERT_TRUE(again.main);
    EXPECT_EQ(again.Rows(), 3);
    PostMessageW(again.main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(again.Exited());
}

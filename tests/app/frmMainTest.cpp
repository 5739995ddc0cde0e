#include "app/frmMain.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/app/AppFixture.h"

using testsupport::PumpMessages;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

namespace {

const std::string kThreeEntries =
    AnsiLines({L"应用程序", L"np", L"C:\\windows\\notepad.exe", L"C:\\windows\\", L"", L"记事本",
               L"文件夹", L"win", L"C:\\windows", L"C:\\windows", L"", L"系统目录",
               L"应用程序", L"calc", L"C:\\windows\\system32\\calc.exe", L"C:\\windows\\system32\\", L"-x", L""});

// A right click on the tray icon: true when the icon's menu showed. A timer
// looks for it and closes it, since the menu loop holds this thread.
bool TrayMenuOpens(HWND hwnd) {
    static bool menuSeen;
    menuSeen = false;
    const UINT_PTR t = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND popup = FindWindowW(L"#32768", nullptr);
        menuSeen = popup && IsWindowVisible(popup);
        KillTimer(nullptr, id);
        EndMenu();
    });
    SendMessageW(hwnd, frmMain::WM_TRAYICON, 0, WM_RBUTTONUP);
    KillTimer(nullptr, t);
    return menuSeen;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A main window on a catalogue folder of the test's own.
class frmMainTest : public testing::Test {
protected:
    // Opens the window on the folder as it is.
    frmMain* Open() {
        main_ = OpenMain(dir_);
        return main_.get();
    }
    // Opens the window on a catalogue file holding `bytes`.
    frmMain* Open(const std::string& bytes) {
        WriteBytes(Catalogue(), bytes);
        return Open();
    }
    std::filesystem::path Catalogue() const { return dir_ / L"applist.ini"; }

    TempDir dir_;
    std::unique_ptr<frmMain> main_;  // closed before its folder goes
};

}  // namespace

TEST_F(frmMainTest, ShowsCaptionsColumnsAndLoadedRows) {
    frmMain* main = Open(kThreeEntries);
    EXPECT_EQ(WindowText(main->hWnd()), L" TarvoloV1.2");
    EXPECT_TRUE(IsWindowVisible(main->hWnd()));
    EXPECT_EQ(GetFocus(), main->List1.hWnd());
    EXPECT_EQ(main->TxtIsMenuClick, L"0");

    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(main->Windir, windows);

    const struct {
        int id;
        const wchar_t* text;
    } controls[] = {
        {frmMain::IdLabel5, L"“运行”菜单内容列表（双击运行）"}, {frmMain::IdCmdUp, L"上       移"},
        {frmMain::IdCmdDown, L"下     移"},  {frmMain::IdCmdAddP, L"添加程序"}, {frmMain::IdCmdAddD, L"添加文件夹"},
        {frmMain::IdCmdEdit, L"编辑项目"},  {frmMain::IdCmdDel, L"删除项目"},  {frmMain::IdLabel2, L"作者："},
    };
    for (const auto& c : controls) EXPECT_EQ(WindowText(main->Control(c.id)), c.text) << c.id;

    // Seven columns with their header texts and widths (twips at the screen's resolution).
    const HWND list = main->List1.hWnd();
    const wchar_t* headers[] = {L"", L"  类型", L"     名称", L"                   路径", L"工作目录", L"参数", L"注释"};
    const int twips[] = {330, 1000, 1500, 4891, 4600, 1500, 4000};
    const int dpi = ScreenDpi();
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 7);
    for (int i = 0; i < 7; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = text;
        col.cchTextMax = 64;
        ASSERT_TRUE(ListView_GetColumn(list, i, &col));
        EXPECT_STREQ(text, headers[i]);
        EXPECT_EQ(col.cx, MulDiv(twips[i], dpi, 1440)) << i;
    }
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT);

    // Client area 8415 x 5775 twips.
    RECT rc;
    GetClientRect(main->hWnd(), &rc);
    EXPECT_EQ(rc.right, MulDiv(8415, dpi, 1440));
    EXPECT_EQ(rc.bottom, MulDiv(5775, dpi, 1440));

    ASSERT_EQ(main->List1.Count(), 3);
    EXPECT_EQ(main->List1.SubItem(0, 0), L"");
    EXPECT_EQ(main->List1.SubItem(1, 1), L"文件夹");
    EXPECT_EQ(main->List1.SubItem(2, 2), L"calc");
    EXPECT_EQ(main->List1.SubItem(2, 5), L"-x");
}

TEST_F(frmMainTest, OddLineCountsLoadAsShortRowsAndSaveAsWholeOnes) {
    frmMain* main = Open(AnsiLines({L"应用程序", L"a", L"p", L"w", L"", L"", L"文件夹"}));
    ASSERT_EQ(main->List1.Count(), 2);
    EXPECT_EQ(main->List1.SubItem(1, 1), L"文件夹");
    EXPECT_EQ(main->List1.SubItem(1, 2), L"");
    EXPECT_TRUE(main->CmdTmp_Click());
    EXPECT_EQ(ReadBytes(Catalogue()),
              AnsiLines({L"应用程序", L"a", L"p", L"w", L"", L"", L"文件夹", L"", L"", L"", L"", L""}));
}

TEST_F(frmMainTest, EmptyExistingFileGivesOneRowWithoutFields) {
    frmMain* main = Open("");
    EXPECT_EQ(main->List1.Count(), 1);
    EXPECT_EQ(main->List1.SubItem(0, 1), L"");
}

TEST_F(frmMainTest, SaveRoundTripsBytesAndEmptyListLeavesTheFileAlone) {
    {
        frmMain* main = Open(kThreeEntries);
        std::filesystem::remove(Catalogue());
        EXPECT_TRUE(main->CmdTmp_Click());
        EXPECT_EQ(ReadBytes(Catalogue()), kThreeEntries);

        main->List1.Clear();
        EXPECT_TRUE(main->CmdTmp_Click());  // nothing to do, the old file stays
        EXPECT_EQ(ReadBytes(Catalogue()), kThreeEntries);
        main_.reset();
    }
    TempDir empty;
    auto main = OpenMain(empty);
    EXPECT_EQ(main->List1.Count(), 0);
    main->Form_Unload();
    EXPECT_FALSE(std::filesystem::exists(empty / L"applist.ini"));
}

TEST_F(frmMainTest, FailedSaveKeepsListAndFileAndAsksBeforeQuitting) {
    frmMain* main = Open(kThreeEntries);
    main->List1.SetSubItem(0, 2, L"changed");
    SetFileAttributesW(Catalogue().c_str(), FILE_ATTRIBUTE_READONLY);
    {
        PromptRecorder prompts(IDNO);
        EXPECT_FALSE(main->CmdTmp_Click());
        ASSERT_EQ(prompts.calls.size(), 1u);
        EXPECT_NE(prompts.calls[0].text.find(Catalogue().wstring()), std::wstring::npos);
        EXPECT_EQ(prompts.calls[0].title, L"Tarvolo");
        EXPECT_EQ(main->List1.SubItem(0, 2), L"changed");

        // Closing: the save fails again and the user chooses to stay.
        SendMessageW(main->hWnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(main->hWnd()));
        ASSERT_EQ(prompts.calls.size(), 3u);
        EXPECT_EQ(prompts.calls[2].style & MB_YESNO, static_cast<UINT>(MB_YESNO));
    }
    SetFileAttributesW(Catalogue().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(Catalogue()), kThreeEntries);
    {
        PromptRecorder prompts(IDYES);
        SendMessageW(main->hWnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(prompts.calls.empty());  // the save now works: no question
    }
    EXPECT_EQ(main->hWnd(), nullptr);
}

TEST_F(frmMainTest, UnreadableCatalogueIsReportedAndNeverOverwritten) {
    std::filesystem::create_directory(Catalogue());
    PromptRecorder prompts(IDYES);
    frmMain* main = Open();
    ASSERT_EQ(prompts.calls.size(), 1u);
    EXPECT_NE(prompts.calls[0].text.find(L"applist.ini"), std::wstring::npos);
    const int row = main->List1.AddRow();
    main->List1.SetSubItem(row, 1, L"应用程序");
    EXPECT_FALSE(main->CmdTmp_Click());
    EXPECT_TRUE(std::filesystem::is_directory(Catalogue()));
}

TEST_F(frmMainTest, DoubleClickOpensFoldersAndStartsProgramsByPath) {
    frmMain* main = Open(kThreeEntries);
    std::vector<std::wstring> folders, programs;
    main->SetLauncher({[&](HWND, const std::wstring& f) { folders.push_back(f); },
                       [&](const std::wstring& p) { programs.push_back(p); }});
    main->List1_DblClick();  // nothing selected: nothing happens
    EXPECT_TRUE(folders.empty() && programs.empty());
    main->List1.Select(1);
    main->List1_DblClick();
    main->List1.Select(2);
    main->List1_DblClick();
    EXPECT_EQ(folders, std::vector<std::wstring>{L"C:\\windows"});
    // The arguments are not used: only the alias carries them.
    EXPECT_EQ(programs, std::vector<std::wstring>{L"C:\\windows\\system32\\calc.exe"});

    // A real double-click on a row reaches the handler.
    RECT rc{LVIR_BOUNDS};
    SendMessageW(main->List1.hWnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    const LPARAM at = MAKELPARAM(rc.left + 80, (rc.top + rc.bottom) / 2);
    SendMessageW(main->List1.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(main->List1.hWnd(), WM_LBUTTONUP, 0, at);
    SendMessageW(main->List1.hWnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(main->List1.hWnd(), WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs.back(), L"C:\\windows\\notepad.exe");
}

TEST_F(frmMainTest, EmptyListCommandsAndDoubleClickDoNothing) {
    frmMain* main = Open();
    int launched = 0;
    main->SetLauncher({[&](HWND, const std::wstring&) { ++launched; }, [&](const std::wstring&) { ++launched; }});
    main->List1_DblClick();
    EXPECT_EQ(launched, 0);
}

TEST_F(frmMainTest, MinimizeGoesToTrayAndComesBack) {
    frmMain* main = Open(kThreeEntries);
    const HWND hwnd = main->hWnd();
    const LONG_PTR ownProc = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    EXPECT_TRUE(main->Timer1Enabled());

    ShowWindow(hwnd, SW_MINIMIZE);
    // The 500 ms timer notices it; the deadline only bounds a broken timer.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return main->InTray(); }));
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(main->Timer1Enabled());
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), ownProc);

    // Other mouse actions on the icon do nothing.
    SendMessageW(hwnd, frmMain::WM_TRAYICON, 0, WM_LBUTTONUP);
    SendMessageW(hwnd, frmMain::WM_TRAYICON, 0, WM_MOUSEMOVE);
    EXPECT_TRUE(main->InTray());

    // Right button: the tray menu opens; close it from a timer.
    EXPECT_TRUE(TrayMenuOpens(hwnd));
    EXPECT_TRUE(main->InTray());

    // Left double-click restores: icon and procedure gone, timer back.
    SendMessageW(hwnd, frmMain::WM_TRAYICON, 0, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(main->InTray());
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), ownProc);
    EXPECT_TRUE(main->Timer1Enabled());

    // And again: minimizing after a restore goes back to the tray, and the
    // icon's menu still opens.
    ShowWindow(hwnd, SW_MINIMIZE);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return main->InTray(); }));
    EXPECT_TRUE(TrayMenuOpens(hwnd));

    // Exit from the tray menu saves and removes icon and hook.
    std::filesystem::remove(Catalogue());
    SendMessageW(hwnd, WM_COMMAND, frmMain::IdEnd, 0);
    EXPECT_EQ(ReadBytes(Catalogue()), kThreeEntries);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(main->InTray());
}

TEST_F(frmMainTest, ClosingWithoutTrayLeavesTheWindowProcedureAlone) {
    frmMain* main = Open(kThreeEntries);
    const LONG_PTR ownProc = GetWindowLongPtrW(main->hWnd(), GWLP_WNDPROC);
    std::filesystem::remove(Catalogue());
    ASSERT_TRUE(main->Form_Unload());
    EXPECT_EQ(GetWindowLongPtrW(main->hWnd(), GWLP_WNDPROC), ownProc);
    EXPECT_EQ(ReadBytes(Catalogue()), kThreeEntries);
}

TEST_F(frmMainTest, TrayMenuHoldsTheFiveCommandsInOrder) {
    frmMain* main = Open();
    const HMENU menu = main->PopupMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 9);
    const struct {
        UINT id;
        const wchar_t* text;
    } items[] = {{frmMain::IdSho, L"显示主界面"}, {0, nullptr}, {frmMain::IdMnuAddProgram, L"添加程序"},
                 {0, nullptr}, {frmMain::IdMnuAddFolder, L"添加文件夹"}, {0, nullptr},
                 {frmMain::IdMnuCheckAliases, L"检查别名(&C)..."}, {0, nullptr}, {frmMain::IdEnd, L"退出程序"}};
    for (int i = 0; i < 9; ++i) {
        MENUITEMINFOW mii{sizeof(mii)};
        wchar_t text[64] = {};
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &mii));
        if (!items[i].text) {
            EXPECT_TRUE(mii.fType & MFT_SEPARATOR) << i;
        } else {
            EXPECT_EQ(mii.wID, items[i].id);
            EXPECT_STREQ(text, items[i].text);
        }
    }
}

TEST_F(frmMainTest, LinksCarryTheirSavedPropertiesAndTheWindowsBackground) {
    frmMain* main = Open();
    ASSERT_TRUE(main->XLinkLabel1 && main->xLabel2);
    struct Case {
        XLinkLabel* link;
        std::wstring caption, url;
        double size;
        int x, cx;
    };
    const Case cases[] = {
        {main->XLinkLabel1.get(), L"Doravel", frmMain::kAuthorSite, 10.5, 1080, 1695},
        {main->xLabel2.get(), frmMain::kShopPage, frmMain::kShopPage, 12, 3600, 4935},
    };
    const int dpi = ScreenDpi();
    for (const Case& c : cases) {
        EXPECT_EQ(c.link->Caption(), c.caption);
        EXPECT_EQ(c.link->url(), c.url);
        EXPECT_EQ(c.link->Font()->Name(), L"宋体");
        EXPECT_DOUBLE_EQ(c.link->Font()->Size(), c.size);
        EXPECT_EQ(c.link->NormTextColor(), static_cast<OLE_COLOR>(RGB(255, 0, 0)));
        EXPECT_EQ(c.link->HoverTextColor(), static_cast<OLE_COLOR>(RGB(255, 0, 0)));
        EXPECT_EQ(c.link->BackColor(), static_cast<OLE_COLOR>(frmMain::kBackColor));
        EXPECT_FALSE(c.link->NormUnderline());
        EXPECT_TRUE(c.link->HoverUnderline());
        EXPECT_EQ(GetParent(c.link->hWnd()), main->Control(frmMain::IdFrame3));
        RECT rc;
        GetWindowRect(c.link->hWnd(), &rc);
        MapWindowPoints(nullptr, GetParent(c.link->hWnd()), reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.left, MulDiv(c.x, dpi, 1440));
        EXPECT_EQ(rc.right - rc.left, MulDiv(c.cx, dpi, 1440));
    }
    std::vector<std::wstring> opened;
    main->XLinkLabel1->ShellOpen = [&](const std::wstring& a) { opened.push_back(a); };
    const HWND link = main->XLinkLabel1->hWnd();
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(opened, std::vector<std::wstring>{frmMain::kAuthorSite});
    // The download control is ready: its window, which collects the results
    // of transfers, exists, is never shown, and nothing is under way.
    ASSERT_TRUE(main->downloader1);
    const HWND download = main->downloader1->hWnd();
    ASSERT_TRUE(IsWindow(download));
    EXPECT_FALSE(IsWindowVisible(download));
    EXPECT_NE(GetAncestor(download, GA_ROOT), main->hWnd()) << "it must not take a place in the main window";
    EXPECT_FALSE(main->downloader1->downStat);
    EXPECT_EQ(main->downloader1->TransfersInFlight(), 0u);
}

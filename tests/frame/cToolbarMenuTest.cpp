#include "frame/cToolbarMenu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "plumbing/mDeclares.h"
#include "tests/frame/MenuBarTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace menubartest;

TEST(cToolbarMenu, NextItemWrapsBothWays) {
    const struct {
        int start;
        bool backwards;
        int count, next;
    } cases[] = {
        {1, false, 3, 2}, {2, false, 3, 3}, {3, false, 3, 1}, {1, true, 3, 3}, {3, true, 3, 2},
        {2, true, 3, 1},  {1, false, 1, 1}, {1, true, 1, 1},  {0, true, 3, 3}, {5, false, 3, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cToolbarMenu::NextItemOf(c.start, c.backwards, c.count), c.next)
            << c.start << (c.backwards ? " back" : " forward") << " of " << c.count;
    }
}

TEST(cToolbarMenu, WithoutABarNothingIsShown) {
    const Ref<cToolbarMenu> tracker = MakeRef<cToolbarMenu>();
    EXPECT_EQ(tracker->TrackPopup(1), 0);
    EXPECT_FALSE(tracker->InLoop());
}

namespace {

struct BarMenus {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    HMENU edit = CreatePopupMenu();
    HMENU view = CreatePopupMenu();
    BarMenus() {
        // Command 1 sits where the submenu's position is 1: Right on it must
        // still move to the next bar item.
        AddCommand(file, 1, L"&Open\tCtrl+O");
        AddPopup(file, recent, L"&Recent");
        AddSeparator(file);
        AddCommand(file, 102, L"E&xit", MFS_DISABLED);
        AddCommand(file, 103, L"Auto &save", MFS_CHECKED);
        AddCommand(recent, 111, L"one");
        AddCommand(recent, 112, L"two");
        AddCommand(edit, 201, L"&Undo\tCtrl+Z");
        AddSeparator(edit);
        AddCommand(edit, 202, L"&Bold\tCtrl+B", MFS_CHECKED);
        AddCommand(edit, 203, L"&Left", MFS_CHECKED, MFT_RADIOCHECK);
        AddCommand(edit, 204, L"&Right", 0, MFT_RADIOCHECK);
        AddCommand(edit, 205, L"&Paste\tCtrl+V", MFS_DISABLED);
        AddCommand(view, 301, L"&Zoom");
        AddCommand(view, 302, L"&Status bar");
        AddPopup(bar, file, L"&File");
        AddPopup(bar, edit, L"&Edit");
        AddPopup(bar, view, L"&View");
    }
    ~BarMenus() { DestroyMenu(bar); }
};

// The event log without the exits, which Wine and Windows send at slightly
// different moments.
std::vector<std::wstring> Opened(const std::vector<std::wstring>& events) {
    std::vector<std::wstring> out;
    std::copy_if(events.begin(), events.end(), std::back_inserter(out),
                 [](const std::wstring& e) { return e.rfind(L"exit", 0) != 0; });
    return out;
}

}  // namespace

TEST(cToolbarMenu, RealMenuLoopDrivenByInput) {
    BarMenus m;
    FramedWindow w(m.bar);
    w.Name(m.file, L"File");
    w.Name(m.recent, L"Recent");
    w.Name(m.edit, L"Edit");
    w.Name(m.view, L"View");
    w.Paint();
    ASSERT_EQ(w.bar().ItemCount(), 3);
    const auto fileBefore = Snapshot(m.file), editBefore = Snapshot(m.edit);

    std::vector<std::wstring> expected;
    std::vector<std::string> failures;
    const auto check = [&](bool ok, const std::string& what) {
        if (!ok) failures.push_back(what);
    };
    const auto expectOpened = [&](const std::string& step, std::vector<std::wstring> add) {
        expected.insert(expected.end(), add.begin(), add.end());
        check(Opened(w.events) == expected, step + ": unexpected popups");
    };
    RECT item1{}, popupItem{}, separator{}, popupWindow{};

    InputScript s;
    s.Add("click File", [&] { Click(w.ItemCentre(1)); });
    s.Add("File opened under its item", [&] {
        expectOpened("click", {L"init:File"});
        w.bar().ItemScreenRect(1, item1);
        GetMenuItemRect(w.hwnd(), m.file, 0, &popupItem);
        GetMenuItemRect(w.hwnd(), m.file, 2, &separator);
        if (HWND popup = FindWindowW(L"#32768", nullptr)) GetWindowRect(popup, &popupWindow);
    });
    s.Shot("file-open");
    s.Add("Down to Open", [] { Tap(VK_DOWN); });
    s.Add("Right from Open", [] { Tap(VK_RIGHT); });
    s.Add("Edit opened", [&] { expectOpened("Right from a command", {L"init:Edit"}); });
    s.Add("Right from Edit", [] { Tap(VK_RIGHT); });
    s.Add("View opened", [&] { expectOpened("Right", {L"init:View"}); });
    s.Add("Right from the last item", [] { Tap(VK_RIGHT); });
    s.Add("File opened again", [&] { expectOpened("Right wraps", {L"init:File"}); });
    s.Add("Down", [] { Tap(VK_DOWN); });
    s.Add("Down to Recent", [] { Tap(VK_DOWN); });
    s.Add("Right on Recent", [] { Tap(VK_RIGHT); });
    s.Add("Recent opened inside File", [&] { expectOpened("Right on a submenu item", {L"init:Recent"}); });
    s.Add("Left in the submenu", [] { Tap(VK_LEFT); });
    s.Add("submenu closed, File still open", [&] { expectOpened("Left in a submenu", {}); });
    s.Add("Left in File", [] { Tap(VK_LEFT); });
    s.Add("View opened", [&] { expectOpened("Left wraps", {L"init:View"}); });
    s.Add("mouse onto Edit", [&] { MoveMouse(w.ItemCentre(2)); });
    s.Add("Edit opened", [&] { expectOpened("mouse move", {L"init:Edit"}); });
    s.Shot("edit-open-by-mouse");
    s.Add("click Edit's own item", [&] { Click(w.ItemCentre(2)); });
    s.Add("still open", [&] {
        expectOpened("click on the open item", {});
        check(std::count(w.events.begin(), w.events.end(), L"exit") == 5, "a popup closed on the click");
    });
    s.Add("type b", [] { Tap('B'); });
    s.Add("Bold chosen", [&] { expectOpened("mnemonic", {L"cmd:202"}); });
    s.Add("mouse away", [&] { MoveMouse(POINT{w.ItemCentre(1).x, w.ItemCentre(1).y + 120}); });
    s.Add("Alt+E", [] { AltTap('E'); });
    s.Add("Edit opened by Alt+E", [&] { expectOpened("Alt+E", {L"init:Edit"}); });
    s.Shot("edit-open-by-alt");
    s.Add("Down", [] { Tap(VK_DOWN); });
    s.Shot("edit-undo-highlighted");
    s.Add("Enter on Undo", [] { Tap(VK_RETURN); });
    s.Add("Undo chosen", [&] { expectOpened("Enter", {L"cmd:201"}); });
    s.Add("Alt+V", [] { AltTap('V'); });
    s.Add("View opened by Alt+V", [&] { expectOpened("Alt+V", {L"init:View"}); });
    s.Add("Escape", [] { Tap(VK_ESCAPE); });
    s.Add("closed", [&] {
        expectOpened("Escape", {});
        check(!w.events.empty() && w.events.back() == L"exit", "Escape did not end the loop");
    });
    s.Add("Alt+Q", [] { AltTap('Q'); });
    s.Add("Q reached the window", [&] { expectOpened("Alt+Q", {L"syskey:Q"}); });

    ASSERT_TRUE(s.Run(30000)) << "stopped after " << (s.done.empty() ? "nothing" : s.done.back());
    for (const auto& f : failures) ADD_FAILURE() << f;
    EXPECT_EQ(Opened(w.events), expected);

    // Left-aligned under the bar item, not covering it.
    EXPECT_EQ(popupWindow.left, item1.left);
    EXPECT_EQ(popupWindow.top, item1.bottom);
    // Item heights as measured: text lines and a 6-pixel separator.
    EXPECT_EQ(separator.bottom - separator.top, 6);  // GetMenuItemRect's heights are right under Wine, its x is not
    const Ref<StdFont> font = MakeRef<StdFont>();
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font->hFont());
    RECT line{};
    DrawTextW(screen, L"Ag", 2, &line, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(popupItem.bottom - popupItem.top, line.bottom - line.top + 9);

    // Every item is back as it was.
    EXPECT_EQ(Snapshot(m.file), fileBefore);
    EXPECT_EQ(Snapshot(m.edit), editBefore);
}

namespace {
void CALLBACK EndMenuOnce(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
}
}  // namespace

// A press is answered where it happened: by the time it is handled the
// pointer may rest elsewhere, here off the bar.
TEST(cToolbarMenu, APressOpensTheItemItWasOnWhereverThePointerIsNow) {
    BarMenus m;
    FramedWindow w(m.bar);
    w.Name(m.file, L"File");
    w.Name(m.edit, L"Edit");
    w.Paint();
    ASSERT_EQ(w.bar().ItemCount(), 3);
    const POINT away{w.ItemCentre(2).x, w.ItemCentre(2).y + 150};
    SetCursorPos(away.x, away.y);
    ASSERT_TRUE(testsupport::WaitFor([&] {
        testsupport::PumpMessages();
        POINT now{};
        return GetCursorPos(&now) && now.x == away.x && now.y == away.y;
    }));
    POINT press = w.ItemCentre(2);
    ScreenToClient(w.hwnd(), &press);
    SetTimer(nullptr, 0, 150, &EndMenuOnce);
    SendMessageW(w.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    EXPECT_EQ(Opened(w.events), std::vector<std::wstring>{L"init:Edit"});
}

TEST(cToolbarMenu, MenuFilterIsInstalledOnlyWhileAPopupIsShownAndForgetsTheTrackerOnDetach) {
    BarMenus m;
    FramedWindow w(m.bar);
    SetTimer(nullptr, 0, 150, &EndMenuOnce);
    ASSERT_TRUE(w.bar().AltKeyAccelerator('F'));
    EXPECT_FALSE(mDeclares::MenuFilterInstalled());
    EXPECT_NE(mDeclares::MenuTracker(), nullptr);
    w.bar().Detach();
    // The hook module must not keep a pointer to a tracker that is gone.
    EXPECT_EQ(mDeclares::MenuTracker(), nullptr);
}

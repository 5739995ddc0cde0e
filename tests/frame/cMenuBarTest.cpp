#include "frame/cMenuBar.h"

#include <gtest/gtest.h>

#include "frame/MenuItemStore.h"
#include "tests/frame/MenuBarTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace menubartest;

namespace {

constexpr COLORREF kNormal = RGB(0, 0, 160);  // the test window's colours
constexpr COLORREF kOver = RGB(200, 0, 0);
constexpr COLORREF kPopupBack = RGB(255, 255, 240);

SIZE TextSize(HFONT font, const std::wstring& text, UINT format) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The menu-font measurement the bar makes for popup columns: width + 1.
int ColumnWidth(const std::wstring& text) {
    const Ref<StdFont> font = MakeRef<StdFont>();
    return TextSize(font->hFont(), text, DT_CALCRECT | DT_SINGLELINE).cx + 1;
}

// Leftmost column and top row of pixels of one colour inside r.
POINT FirstPixel(HDC dc, const RECT& r, COLORREF color) {
    POINT found{-1, -1};
    for (int x = r.left; x < r.right && found.x < 0; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (GetPixel(dc, x, y) == color) {
                found.x = x;
                break;
            }
    for (int y = r.top; y < r.bottom && found.y < 0; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetPixel(dc, x, y) == color) {
                found.y = y;
                break;
            }
    return found;
}

int CountPixels(HDC dc, const RECT& r, COLORREF color) {
    int n = 0;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y) n += GetPixel(dc, x, y) == color;
    return n;
}

struct Menus {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU edit = CreatePopupMenu();
    ~Menus() { DestroyMenu(bar); }  // destroys the popups with it
};

}  // namespace

TEST(MenuItemText, MnemonicIsTheCharacterASingleAmpersandMarks) {
    const struct {
        const wchar_t* text;
        wchar_t mnemonic;
    } cases[] = {
        {L"&File", L'F'},   {L"Save &as", L'A'},      {L"No mnemonic", 0}, {L"Trailing&", 0},
        {L"", 0},           {L"Fish && &Chips", L'C'}, {L"&&Only", 0},      {L"文件(&f)", L'F'},
        {L"&1 recent", L'1'}, {L"a&&&b", L'B'},
    };
    for (const auto& c : cases) EXPECT_EQ(MnemonicOf(c.text), c.mnemonic) << testing::PrintToString(std::wstring(c.text));
}

TEST(MenuBarRender, PopupItemsOnlyLaidOutLeftToRightWithRectanglesTwoPixelsLarger) {
    Menus m;
    AddPopup(m.bar, m.file, L"&File");
    AddCommand(m.bar, 50, L"&Go");  // a command item: neither drawn nor counted
    AddPopup(m.bar, m.edit, L"&Edit");
    FramedWindow w(m.bar);
    w.Paint();

    ASSERT_EQ(w.bar().ItemCount(), 2);
    EXPECT_EQ(w.bar().SubMenu(1), m.file);
    EXPECT_EQ(w.bar().SubMenu(2), m.edit);
    EXPECT_EQ(w.bar().SubMenu(0), nullptr);
    EXPECT_EQ(w.bar().SubMenu(3), nullptr);

    const SIZE file = TextSize(w.BarFont(), L"&File", DT_CALCRECT);
    const SIZE edit = TextSize(w.BarFont(), L"&Edit", DT_CALCRECT);
    const int top = kCaption / 2 + 2;  // bar row 0 in the window
    const RECT expected[] = {
        {kBandLeft + 8 - 2, top, kBandLeft + 8 + file.cx + 2, top + file.cy + 4},
        {kBandLeft + 8 + file.cx + 11 - 2, top, kBandLeft + 8 + file.cx + 11 + edit.cx + 2, top + edit.cy + 4},
    };
    for (int k = 1; k <= 2; ++k) {
        const RECT r = w.ItemWindowRect(k);
        const RECT& e = expected[k - 1];
        EXPECT_EQ(r.left, e.left) << k;
        EXPECT_EQ(r.top, e.top) << k;
        EXPECT_EQ(r.right, e.right) << k;
        EXPECT_EQ(r.bottom, e.bottom) << k;
    }
    // Out of range leaves the caller's rectangle alone.
    RECT untouched{1, 2, 3, 4};
    w.bar().ItemScreenRect(3, untouched);
    EXPECT_EQ(untouched.left, 1);
    EXPECT_EQ(untouched.bottom, 4);

    // Hit-testing in screen coordinates, edges included as PtInRect has them.
    RECT window{};
    GetWindowRect(w.hwnd(), &window);
    const struct {
        int x, y, item;
    } hits[] = {
        {expected[0].left, expected[0].top, 1},           {expected[0].right - 1, expected[0].bottom - 1, 1},
        {expected[0].right, expected[0].top + 3, 0},      {expected[1].left + 1, expected[1].top + 3, 2},
        {expected[1].left + 1, expected[1].bottom, 0},    {expected[0].left - 1, expected[0].top, 0},
    };
    for (const auto& h : hits) {
        EXPECT_EQ(w.bar().HitTestPoint(POINT{window.left + h.x, window.top + h.y}), h.item) << h.x << "," << h.y;
    }

    // The text starts at x = 8 of the band, in the normal colour, over the
    // band's own background.
    const RECT firstText{kBandLeft + 8, top + 2, kBandLeft + 8 + file.cx, top + 2 + file.cy};
    EXPECT_GE(FirstPixel(w.Caption(), firstText, kNormal).x, kBandLeft + 8);
    EXPECT_GT(CountPixels(w.Caption(), firstText, kNormal), 5);
    EXPECT_EQ(GetPixel(w.Caption(), expected[0].left, expected[0].top), kBandColor);
}

// The bar reads each item once into a buffer of its own; a longer text is
// read again, whole.
TEST(MenuBarRender, ItemTextsLongerThanTheBarsBufferAreMeasuredWhole) {
    Menus m;
    const std::wstring text = L"&" + std::wstring(200, L'w');
    AddPopup(m.bar, m.file, text.c_str());
    FramedWindow w(m.bar);
    w.Paint();
    ASSERT_EQ(w.bar().ItemCount(), 1);
    const RECT r = w.ItemWindowRect(1);
    EXPECT_EQ(r.right - r.left, TextSize(w.BarFont(), text, DT_CALCRECT).cx + 4);
}

TEST(MenuBarRender, NormalHoverPressedAndPressedHoverLooks) {
    Menus m;
    AddPopup(m.bar, m.file, L"&File");
    AddPopup(m.bar, m.edit, L"&Edit");
    FramedWindow w(m.bar);
    w.Paint();
    const RECT item = w.ItemWindowRect(1);
    const RECT inner{item.left + 1, item.top + 1, item.right - 1, item.bottom - 1};
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);

    const struct {
        const char* look;
        int pressed, hover;
        COLORREF topLeft, bottomRight, text;
        int shift;
    } looks[] = {
        {"normal", 0, 0, kBandColor, kBandColor, kNormal, 0},
        {"hover", 0, 1, light, shadow, kOver, 0},
        {"pressed", 1, 0, light, shadow, kOver, 0},
        {"pressed and hover", 1, 1, shadow, light, kOver, 1},
    };
    POINT normalText{};
    for (const auto& l : looks) {
        SCOPED_TRACE(l.look);
        w.bar().SetPressed(1, false);
        w.bar().SetPressed(l.pressed, l.pressed != 0);
        w.bar().SetHover(l.hover);  // repaints through WM_NCPAINT
        EXPECT_EQ(GetPixel(w.Caption(), item.left, item.top), l.topLeft);
        EXPECT_EQ(GetPixel(w.Caption(), item.right - 1, item.bottom - 1), l.bottomRight);
        const POINT text = FirstPixel(w.Caption(), inner, l.text);
        if (l.shift == 0 && l.text == kNormal) normalText = text;
        EXPECT_EQ(text.x, normalText.x + l.shift);
        EXPECT_EQ(text.y, normalText.y + l.shift);
        // The other item keeps the normal look.
        const RECT other = w.ItemWindowRect(2);
        EXPECT_EQ(GetPixel(w.Caption(), other.left, other.top), kBandColor);
    }
    // SetPressed(k, false) only clears its own item.
    w.bar().SetHover(0);
    w.bar().SetPressed(2, true);
    w.bar().SetPressed(1, false);
    const RECT second = w.ItemWindowRect(2);
    EXPECT_EQ(GetPixel(w.Caption(), second.left, second.top), light);
}

// An item that reaches past the bar's end is drawn up to the end and no
// further, in every look; items inside it are drawn whole.
TEST(MenuBarRender, ItemsPastTheBarsEndAreCutAtIt) {
    Menus m;
    AddPopup(m.bar, m.file, L"&File");
    AddPopup(m.bar, m.edit, L"&Edit everything at once");
    FramedWindow w(m.bar);
    w.Paint();
    const RECT whole = w.ItemWindowRect(2);
    // The window narrowed until the bar ends in the middle of the second item.
    const int barEnd = (whole.left + whole.right) / 2;
    RECT window{};
    GetWindowRect(w.hwnd(), &window);
    SetWindowPos(w.hwnd(), nullptr, 0, 0, barEnd + kBandRight, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (const auto& [pressed, hover] : {std::pair{0, 0}, std::pair{0, 2}, std::pair{2, 2}, std::pair{0, 1}}) {
        SCOPED_TRACE("pressed " + std::to_string(pressed) + ", hover " + std::to_string(hover));
        w.bar().SetPressed(2, pressed != 0);
        w.bar().SetHover(hover);
        w.Paint();
        const RECT cut = w.ItemWindowRect(2);
        const RECT past{barEnd, cut.top, barEnd + kBandRight, cut.bottom};
        EXPECT_EQ(CountPixels(w.Caption(), past, kBandColor), (past.right - past.left) * (past.bottom - past.top));
        const RECT before{cut.left, cut.top, barEnd, cut.bottom};
        EXPECT_GT(CountPixels(w.Caption(), before, hover == 2 ? kOver : kNormal), 0);
        if (hover == 2) {
            EXPECT_EQ(GetPixel(w.Caption(), cut.left, cut.top), pressed ? GetSysColor(COLOR_BTNSHADOW) : light);
        }
        // The first item lies inside the bar, its hover edge whole.
        const RECT first = w.ItemWindowRect(1);
        EXPECT_EQ(GetPixel(w.Caption(), first.right - 1, first.bottom - 1),
                  hover == 1 ? GetSysColor(COLOR_BTNSHADOW) : kBandColor);
    }
}

TEST(MenuBarRender, NoMenuOrEmptyMenuLeavesTheBandAsPainted) {
    Menus m;
    AddPopup(m.bar, m.file, L"&File");
    HMENU empty = CreateMenu();
    FramedWindow w(m.bar);
    w.Paint();
    ASSERT_EQ(w.bar().ItemCount(), 1);
    const POINT onFile = w.ItemCentre(1);
    const RECT fileRect = w.ItemWindowRect(1);
    EXPECT_GT(CountPixels(w.Caption(), fileRect, kNormal), 0);
    for (HMENU menu : {empty, static_cast<HMENU>(nullptr)}) {
        w.Menu(menu);
        w.Paint();
        EXPECT_EQ(w.bar().ItemCount(), 0);
        EXPECT_EQ(w.bar().SubMenu(1), nullptr);
        EXPECT_EQ(w.bar().HitTestPoint(onFile), 0);  // no button of a menu no longer drawn
        EXPECT_EQ(CountPixels(w.Caption(), fileRect, kNormal), 0);  // the band as the painter left it
    }
    DestroyMenu(empty);
}

namespace {

// A popup of every kind of item, prepared as a menu loop would prepare it.
struct PopupFixture {
    HMENU bar = CreateMenu();
    HMENU popup = CreatePopupMenu();
    HMENU other = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    HMENU small = CreatePopupMenu();
    std::wstring longText = std::wstring(200, L'x') + L"\t&end";
    PopupFixture() {
        AddCommand(popup, 101, L"&Open\tCtrl+O");
        AddCommand(popup, 102, L"Save &As...", 0, 0, 0x1234);
        AddSeparator(popup);
        AddCommand(popup, 103, L"&Left", MFS_CHECKED, MFT_RADIOCHECK);
        AddCommand(popup, 104, L"E&xit", MFS_DISABLED);
        AddCommand(popup, 105, L"Fish && &Chips");
        AddCommand(popup, 106, longText);
        AddCommand(sub, 111, L"one");
        AddPopup(popup, sub, L"&Recent");
        AddCommand(other, 201, L"&Alpha");
        AddCommand(other, 202, L"Be&ta");
        AddPopup(bar, popup, L"&File");
        AddPopup(bar, other, L"&Other");
        AddCommand(small, 301, L"&Open\tCtrl+O");
        AddCommand(small, 302, L"Save &As...");
    }
    ~PopupFixture() {
        DestroyMenu(bar);
        DestroyMenu(small);
    }
};

MEASUREITEMSTRUCT Measure(HWND hwnd, HMENU popup, int p) {
    MENUITEMINFOW info{sizeof(info)};
    info.fMask = MIIM_ID | MIIM_DATA;
    GetMenuItemInfoW(popup, static_cast<UINT>(p), TRUE, &info);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, info.wID, 0, 0, info.dwItemData};
    SendMessageW(hwnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    return mis;
}

}  // namespace

TEST(MenuBarPopups, MeasureItemWidthsFollowTheWidestColumnsAndHeightsTheText) {
    PopupFixture f;
    FramedWindow w(f.bar);
    w.bar().InitMenuPopup(f.popup);
    w.bar().InitMenuPopup(f.other);

    const int popupCaption = std::max({ColumnWidth(L"&Open"), ColumnWidth(L"Save &As..."), ColumnWidth(L"&Left"),
                                       ColumnWidth(L"E&xit"), ColumnWidth(L"Fish && &Chips"),
                                       ColumnWidth(std::wstring(200, L'x')), ColumnWidth(L"&Recent")});
    const int popupShortcut = std::max(ColumnWidth(L"Ctrl+O"), ColumnWidth(L"&end"));
    const int otherCaption = std::max(ColumnWidth(L"&Alpha"), ColumnWidth(L"Be&ta"));
    const Ref<StdFont> font = MakeRef<StdFont>();
    const int textHeight = TextSize(font->hFont(), L"Ag", DT_CALCRECT | DT_SINGLELINE).cy + 1;

    const struct {
        HMENU popup;
        int position;
        UINT width, height;
    } cases[] = {
        {f.popup, 0, UINT(popupCaption + popupShortcut + 38), UINT(textHeight + 8)},  // with a shortcut
        {f.popup, 1, UINT(popupCaption + popupShortcut + 38), UINT(textHeight + 8)},  // same popup, no tab
        {f.popup, 2, UINT(popupCaption + popupShortcut + 38), 6},                    // separator
        {f.popup, 4, UINT(popupCaption + popupShortcut + 38), UINT(textHeight + 8)},
        {f.other, 0, UINT(otherCaption + 30), UINT(textHeight + 8)},                 // no tab in the popup
        {f.other, 1, UINT(otherCaption + 30), UINT(textHeight + 8)},
    };
    for (const auto& c : cases) {
        const MEASUREITEMSTRUCT mis = Measure(w.hwnd(), c.popup, c.position);
        EXPECT_EQ(mis.itemWidth, c.width) << c.position;
        EXPECT_EQ(mis.itemHeight, c.height) << c.position;
    }

    // Equal identifiers in two popups: each item is measured with its own popup's columns.
    HMENU twinA = CreatePopupMenu(), twinB = CreatePopupMenu();
    AddCommand(twinA, 500, L"Short");
    AddCommand(twinB, 500, L"A much longer caption than the other");
    w.bar().InitMenuPopup(twinA);
    w.bar().InitMenuPopup(twinB);
    EXPECT_EQ(Measure(w.hwnd(), twinA, 0).itemWidth, UINT(ColumnWidth(L"Short") + 30));
    EXPECT_EQ(Measure(w.hwnd(), twinB, 0).itemWidth, UINT(ColumnWidth(L"A much longer caption than the other") + 30));

    // A popup that ends in a separator: its items are still a text line high.
    HMENU tail = CreatePopupMenu();
    AddCommand(tail, 401, L"&One");
    AddSeparator(tail);
    w.bar().InitMenuPopup(tail);
    EXPECT_EQ(Measure(w.hwnd(), tail, 0).itemHeight, UINT(textHeight + 8));
    EXPECT_EQ(Measure(w.hwnd(), tail, 1).itemHeight, 6u);

    // An owner-drawn item the bar never stored still gets usable room.
    MEASUREITEMSTRUCT stranger{ODT_MENU, 0, 9999, 0, 0, 0};
    SendMessageW(w.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&stranger));
    EXPECT_EQ(stranger.itemWidth, 30u);
    EXPECT_EQ(stranger.itemHeight, UINT(textHeight + 8));
    w.bar().ExitMenuLoop();
    DestroyMenu(tail);
    DestroyMenu(twinA);
    DestroyMenu(twinB);
}

TEST(MenuBarPopups, ExitMenuLoopPutsEveryItemBackExactly) {
    PopupFixture f;
    FramedWindow w(f.bar);
    const auto before = Snapshot(f.popup);
    const auto otherBefore = Snapshot(f.other);

    w.bar().InitMenuPopup(f.popup);
    w.bar().InitMenuPopup(f.other);
    w.bar().InitMenuPopup(f.popup);  // the same popup again in the same loop
    for (const auto& item : Snapshot(f.popup)) {
        EXPECT_TRUE(item.type & MFT_OWNERDRAW) << item.id;
    }
    w.bar().ExitMenuLoop();
    EXPECT_EQ(Snapshot(f.popup), before);
    EXPECT_EQ(Snapshot(f.other), otherBefore);
    EXPECT_EQ(Snapshot(f.popup)[6].text, f.longText);  // longer than any fixed buffer

    // A second loop starts from scratch.
    w.bar().InitMenuPopup(f.popup);
    w.bar().ExitMenuLoop();
    EXPECT_EQ(Snapshot(f.popup), before);
}

TEST(MenuBarPopups, ItemsAddedOrRemovedDuringTheLoopDoNotCorruptTheOthers) {
    PopupFixture f;
    FramedWindow w(f.bar);

    // Gained: an item inserted at the top of a prepared popup, then the popup
    // prepared again (it is shown once more in the same loop).
    w.bar().InitMenuPopup(f.popup);
    MENUITEMINFOW added{sizeof(added)};
    added.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA;
    added.wID = 150;
    added.dwItemData = 77;
    added.dwTypeData = const_cast<wchar_t*>(L"&New\tCtrl+N");
    InsertMenuItemW(f.popup, 0, TRUE, &added);
    const auto withNew = Snapshot(f.popup);  // the new item plain, the rest owner-drawn
    w.bar().InitMenuPopup(f.popup);
    EXPECT_TRUE(Snapshot(f.popup)[0].type & MFT_OWNERDRAW);
    EXPECT_EQ(Measure(w.hwnd(), f.popup, 0).itemHeight, Measure(w.hwnd(), f.popup, 1).itemHeight);
    w.bar().ExitMenuLoop();
    const auto after = Snapshot(f.popup);
    ASSERT_EQ(after.size(), 9u);
    EXPECT_EQ(after[0], withNew[0]);
    EXPECT_EQ(after[1].text, L"&Open\tCtrl+O");
    EXPECT_EQ(after[2].text, L"Save &As...");
    EXPECT_EQ(after[2].data, 0x1234u);
    for (const auto& item : after) EXPECT_FALSE(item.type & MFT_OWNERDRAW) << item.id;

    // Removed: the first item deleted while the popup is open; no item may
    // take over the record of the one above it.
    const auto before = Snapshot(f.popup);
    w.bar().InitMenuPopup(f.popup);
    DeleteMenu(f.popup, 0, MF_BYPOSITION);
    w.bar().ExitMenuLoop();
    auto expected = before;
    expected.erase(expected.begin());
    EXPECT_EQ(Snapshot(f.popup), expected);
}

TEST(MenuBarPopups, MenuCharChoosesTheItemWhoseMnemonicWasTyped) {
    PopupFixture f;
    FramedWindow w(f.bar);
    w.bar().InitMenuPopup(f.popup);
    w.bar().InitMenuPopup(f.other);
    const auto menuChar = [&](wchar_t ch, WORD flags, HMENU popup) {
        return SendMessageW(w.hwnd(), WM_MENUCHAR, MAKEWPARAM(ch, flags), reinterpret_cast<LPARAM>(popup));
    };
    const struct {
        wchar_t ch;
        WORD flags;
        HMENU popup;
        LRESULT result;
    } cases[] = {
        {L'o', MF_POPUP, f.popup, MAKELRESULT(0, MNC_EXECUTE)},
        {L'A', MF_POPUP, f.popup, MAKELRESULT(1, MNC_EXECUTE)},
        {L'c', MF_POPUP, f.popup, MAKELRESULT(5, MNC_EXECUTE)},  // after a literal "&&"
        {L'r', MF_POPUP, f.popup, MAKELRESULT(7, MNC_EXECUTE)},  // an item that opens a submenu
        {L't', MF_POPUP, f.other, MAKELRESULT(1, MNC_EXECUTE)},
        {L't', MF_POPUP, f.popup, 0},             // another popup's mnemonic: the default answer
        {L'q', MF_POPUP, f.popup, 0},             // nobody's
        {L'&', MF_POPUP, f.popup, 0},
        {L'o', MF_POPUP | MF_SYSMENU, f.popup, 0},  // the system menu is left alone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(menuChar(c.ch, c.flags, c.popup), c.result) << static_cast<char>(c.ch);
    }
    w.bar().ExitMenuLoop();
    EXPECT_EQ(menuChar(L'o', MF_POPUP, f.popup), 0);  // nothing stored after the loop
}

namespace {

// Draws popup item p of a prepared popup into a fresh bitmap, as the menu
// window would, and keeps the result for pixel checks.
struct DrawnItem {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    RECT rect{0, 0, 180, 22};
    DrawnItem(HWND hwnd, HMENU popup, int p, UINT extraState = 0, int height = 22) {
        rect.bottom = height;
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 200, 40);
        old = SelectObject(dc, bitmap);
        ReleaseDC(nullptr, screen);
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_STATE;
        GetMenuItemInfoW(popup, static_cast<UINT>(p), TRUE, &info);
        if (extraState) {
            MENUITEMINFOW state{sizeof(state)};
            state.fMask = MIIM_STATE;
            state.fState = info.fState | extraState;
            SetMenuItemInfoW(popup, static_cast<UINT>(p), TRUE, &state);
        }
        DRAWITEMSTRUCT dis{ODT_MENU, 0, info.wID, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(popup), dc, rect,
                           info.dwItemData};
        SendMessageW(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    }
    ~DrawnItem() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

}  // namespace

TEST(MenuBarPopups, DrawItemLooks) {
    PopupFixture f;
    FramedWindow w(f.bar);
    w.bar().InitMenuPopup(f.popup);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    const RECT text{24, 0, 180, 22};

    {
        SCOPED_TRACE("plain item: caption at 24, shortcut column at 24 + widest caption + 8");
        w.bar().InitMenuPopup(f.small);
        const DrawnItem d(w.hwnd(), f.small, 0);
        EXPECT_EQ(d.At(0, 0), kPopupBack);
        EXPECT_EQ(d.At(179, 21), kPopupBack);
        const int shortcutLeft = 24 + std::max(ColumnWidth(L"&Open"), ColumnWidth(L"Save &As...")) + 8;
        const RECT caption{0, 0, shortcutLeft, 22}, shortcut{shortcutLeft, 0, 180, 22};
        const int captionX = FirstPixel(d.dc, caption, kNormal).x;
        EXPECT_GE(captionX, 24);
        EXPECT_LE(captionX, 26);
        const int shortcutX = FirstPixel(d.dc, shortcut, kNormal).x;
        EXPECT_GE(shortcutX, shortcutLeft);
        EXPECT_LE(shortcutX, shortcutLeft + 2);
        const RECT gap{24 + ColumnWidth(L"&Open"), 0, shortcutLeft, 22};
        EXPECT_EQ(CountPixels(d.dc, gap, kNormal), 0);
        EXPECT_EQ(CountPixels(d.dc, text, kOver), 0);
    }
    {
        SCOPED_TRACE("highlighted: the over colour and a raised edge");
        const DrawnItem d(w.hwnd(), f.popup, 1, MFS_HILITE);
        EXPECT_GT(CountPixels(d.dc, text, kOver), 5);
        EXPECT_EQ(d.At(2, 0), light);
        EXPECT_EQ(d.At(177, 21), shadow);
    }
    {
        SCOPED_TRACE("separator: a sunken line narrowed by 8");
        const DrawnItem d(w.hwnd(), f.popup, 2, 0, 6);
        EXPECT_EQ(d.At(8, 2), shadow);
        EXPECT_EQ(d.At(8, 3), light);
        EXPECT_EQ(d.At(7, 2), kPopupBack);
        EXPECT_EQ(d.At(172, 2), kPopupBack);
    }
    {
        SCOPED_TRACE("checked radio: a sunken box with a glyph");
        const DrawnItem d(w.hwnd(), f.popup, 3);
        EXPECT_EQ(d.At(6, 4), shadow);  // box left = 4 + 2, top = 4
        const RECT box{7, 5, 6 + 14, 17};
        EXPECT_GT(CountPixels(d.dc, box, kNormal), 3);
    }
    {
        SCOPED_TRACE("disabled: embossed in highlight and shadow, never the text colour");
        const DrawnItem d(w.hwnd(), f.popup, 4, MFS_HILITE);
        EXPECT_GT(CountPixels(d.dc, text, shadow), 5);
        EXPECT_GT(CountPixels(d.dc, text, light), 5);
        EXPECT_EQ(CountPixels(d.dc, text, kNormal), 0);
        EXPECT_EQ(CountPixels(d.dc, text, kOver), 0);
        EXPECT_EQ(d.At(2, 0), kPopupBack);  // no raised edge on a disabled item
    }
    w.bar().ExitMenuLoop();
}

namespace {

// Closes whatever menu loop is running, from inside it, every 200 ms.
void CALLBACK EndMenuTick(HWND, UINT, UINT_PTR, DWORD) {
    EndMenu();
}

cMenuBar* g_bar = nullptr;
bool g_nestedAnswer = true;
bool g_stillOwnerDrawn = false;
HMENU g_popup = nullptr;

// Offers another Alt key while a popup is open, then closes the popup.
void CALLBACK NestedAltKey(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_nestedAnswer = g_bar->AltKeyAccelerator('E');
    g_stillOwnerDrawn = Snapshot(g_popup)[0].type & MFT_OWNERDRAW;
    EndMenu();
}

}  // namespace

TEST(MenuBarAltKey, OpensThePopupItemTheBarDrawsUnderThatMnemonic) {
    Menus m;
    HMENU extras = CreatePopupMenu();
    AddCommand(m.bar, 50, L"&Go");  // a top-level command: no button, no number
    AddPopup(m.bar, m.file, L"&File");
    AddPopup(m.bar, m.edit, L"&Edit");
    AddPopup(m.bar, extras, L"&Extras");  // the same mnemonic as Edit
    AddCommand(m.file, 101, L"&Open");
    AddCommand(m.edit, 201, L"&Undo");
    AddCommand(extras, 301, L"&Tools");
    FramedWindow w(m.bar);
    w.Name(m.file, L"File");
    w.Name(m.edit, L"Edit");
    w.Name(extras, L"Extras");
    w.Paint();

    const struct {
        int vKey;
        std::vector<std::wstring> opened;
    } cases[] = {
        {'E', {L"init:Edit"}},  // once: the first item with the mnemonic, not one after the other
        {'F', {L"init:File"}},
        {'G', {}},              // a command item's mnemonic opens nothing
        {'Q', {}},
        {'U', {}},  // a popup item's mnemonic is not the bar's
    };
    const UINT_PTR closer = SetTimer(nullptr, 0, 200, &EndMenuTick);
    for (const auto& c : cases) {
        w.events.clear();
        EXPECT_EQ(w.bar().AltKeyAccelerator(c.vKey), !c.opened.empty()) << static_cast<char>(c.vKey);
        std::vector<std::wstring> opened;
        for (const auto& e : w.events) {
            if (e.rfind(L"init:", 0) == 0) opened.push_back(e);
        }
        EXPECT_EQ(opened, c.opened) << static_cast<char>(c.vKey);
    }
    KillTimer(nullptr, closer);
    EXPECT_EQ(Snapshot(m.edit)[0].text, L"&Undo");

    // While a popup is open, another Alt key is the menu loop's: it neither
    // opens a menu nor puts the open popup's items back under it.
    g_bar = &w.bar();
    g_popup = m.file;
    SetTimer(nullptr, 0, 150, &NestedAltKey);
    EXPECT_TRUE(w.bar().AltKeyAccelerator('F'));
    EXPECT_FALSE(g_nestedAnswer);
    EXPECT_TRUE(g_stillOwnerDrawn);
    EXPECT_EQ(Snapshot(m.file)[0].text, L"&Open");
    EXPECT_FALSE(Snapshot(m.file)[0].type & MFT_OWNERDRAW);
    g_bar = nullptr;

    // A popup added since the last paint has no button yet: the key passes on
    // rather than being taken for a menu that cannot be shown.
    HMENU later = CreatePopupMenu();
    AddCommand(later, 401, L"&Now");
    AddPopup(m.bar, later, L"&New");
    EXPECT_FALSE(w.bar().AltKeyAccelerator('N'));
    w.Paint();
    const UINT_PTR closeLater = SetTimer(nullptr, 0, 150, &EndMenuTick);
    EXPECT_TRUE(w.bar().AltKeyAccelerator('N'));
    KillTimer(nullptr, closeLater);
}

TEST(MenuBarPopups, CheckMarksHaveTheirGlyphFont) {
    // Without Marlett in the prefix the marks come out as the letters b and h.
    const Ref<StdFont> marlett = MakeRef<StdFont>(L"Marlett");
    marlett->Charset(SYMBOL_CHARSET);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, marlett->hFont());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_STREQ(face, L"Marlett");
}

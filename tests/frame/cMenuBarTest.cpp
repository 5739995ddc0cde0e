#include "frame/cMenuBar.h"

#include <gtest/gtest.h>

#include "frame/MenuItemStore.h"
#include "tests/frame/MenuBarTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace menubartest;

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


#include "frame/cMenuBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/frame/MenuBarTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace menubartest;

namespace {

// The menu-font measurement the bar makes for popup columns: width + 1.
int ColumnWidth(const std::wstring& text) {
    const Ref<StdFont> font = MakeRef<StdFont>();
    return TextSize(font->hFont(), text, DT_CALCRECT | DT_SINGLELINE).cx + 1;
}

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

// The check-mark box of a drawn item (radio or plain) as the bar draws it,
// pixel for pixel: a sunken edge, then `glyph` centred in it.
std::vector<COLORREF> BoxPixels(HDC dc) {
    std::vector<COLORREF> out;
    for (int y = 4; y < 18; ++y)
        for (int x = 6; x < 21; ++x) out.push_back(GetPixel(dc, x, y));
    return out;
}

// The same box drawn here with `glyph` in Marlett at a cell height of `px`.
std::vector<COLORREF> MarlettBox(const wchar_t* glyph, int px) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const RECT all{0, 0, 200, 40};
    HBRUSH back = CreateSolidBrush(kPopupBack);
    FillRect(dc, &all, back);
    DeleteObject(back);
    RECT box{6, 4, 21, 18};
    DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    HFONT font = CreateFontW(-px, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Marlett");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kNormal);
    DrawTextW(dc, glyph, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    std::vector<COLORREF> out = BoxPixels(dc);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return out;
}

TEST(MenuBarPopups, CheckMarksAreDrawnWithTheMarlettGlyphs) {
    // Without Marlett in the prefix the marks come out as the letters b and h.
    const Ref<StdFont> marlett = MakeRef<StdFont>(L"Marlett");
    marlett->Charset(SYMBOL_CHARSET);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, marlett->hFont());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    ASSERT_STREQ(face, L"Marlett");

    // The bar's box must be exactly Marlett's glyph at some size: drawn in
    // any text font, "h" and "b" are letters and match none of them.
    PopupFixture f;
    FramedWindow w(f.bar);
    w.bar().InitMenuPopup(f.popup);
    const struct {
        const char* what;
        int item;
        UINT extraState;
        const wchar_t* glyph;
    } cases[] = {{"radio mark", 3, 0, L"h"}, {"check mark", 0, MFS_CHECKED, L"b"}};
    for (const auto& c : cases) {
        const DrawnItem d(w.hwnd(), f.popup, c.item, c.extraState);
        const std::vector<COLORREF> drawn = BoxPixels(d.dc);
        bool matched = false;
        for (int px = 6; px <= 24 && !matched; ++px) matched = drawn == MarlettBox(c.glyph, px);
        EXPECT_TRUE(matched) << c.what;
    }
    w.bar().ExitMenuLoop();
}

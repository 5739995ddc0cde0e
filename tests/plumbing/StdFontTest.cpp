#include "plumbing/StdFont.h"

#include <gtest/gtest.h>

TEST(StdFont, SharedReferenceSeesChangesAndHandleFollowsThem) {
    Ref<StdFont> font = MakeRef<StdFont>(L"宋体", 10.5);
    Ref<StdFont> holder = font;
    HFONT before = holder->hFont();
    ASSERT_NE(before, nullptr);
    font->Name(L"Marlett");
    font->Size(12);
    font->Underline(true);
    EXPECT_EQ(holder->Name(), L"Marlett");
    EXPECT_DOUBLE_EQ(holder->Size(), 12.0);
    LOGFONTW lf{};
    ASSERT_NE(GetObjectW(holder->hFont(), sizeof(lf), &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, L"Marlett");
    EXPECT_TRUE(lf.lfUnderline);
}

TEST(StdFont, PointSizeRoundsHalvesToEven) {
    struct Case { double points; int dpi; LONG height; };
    for (const Case c : {Case{8.5, 96, -11}, Case{9.5, 96, -13}, Case{9, 96, -12},
                         Case{10.5, 96, -13}, Case{12, 120, -20}}) {
        EXPECT_EQ(PointSizeToHeight(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi;
    }
}

TEST(StdFont, TheFontIsMadeForTheDpiAskedFor) {
    // A window passes its own DPI; the font is kept while it asks for the
    // same one, and made anew for another.
    StdFont font(L"宋体", 9);
    const struct {
        int dpi;
        LONG height;
    } cases[] = {{96, -12}, {144, -18}, {120, -15}, {96, -12}};
    for (const auto& c : cases) {
        const HFONT h = font.hFont(c.dpi);
        EXPECT_EQ(font.hFont(c.dpi), h) << "kept for " << c.dpi;
        LOGFONTW lf{};
        ASSERT_NE(GetObjectW(h, sizeof(lf), &lf), 0) << c.dpi;
        EXPECT_EQ(lf.lfHeight, c.height) << c.dpi;
        EXPECT_EQ(font.LogFont(c.dpi).lfHeight, c.height) << c.dpi;
        EXPECT_STREQ(font.LogFont(c.dpi).lfFaceName, L"宋体");
    }
}

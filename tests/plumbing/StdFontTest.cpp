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

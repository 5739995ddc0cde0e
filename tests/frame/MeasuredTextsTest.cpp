#include "frame/MeasuredTexts.h"

#include <gtest/gtest.h>

#include "plumbing/GdiGuards.h"

namespace {

HFONT MakeFont(int height, int weight) {
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"宋体", LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

SIZE Direct(HDC dc, const std::wstring& text) {
    RECT r{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    return SIZE{r.right, r.bottom};
}

bool operator==(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

}  // namespace

// Each paint makes its font anew: the same font under a new handle finds
// what was measured, and another font or another text never gets a size
// measured for something else.
TEST(MeasuredTexts, SizesFollowTheFontAndTheText) {
    const CreatedDC dc(CreateCompatibleDC(nullptr));
    MeasuredTexts texts, byFont;
    const std::wstring menu = L"菜单(&M)", other = L"帮助(&H) and more";
    for (const auto& [height, weight] : {std::pair{12, FW_NORMAL}, std::pair{12, FW_NORMAL}, std::pair{24, FW_NORMAL},
                                         std::pair{24, FW_BOLD}, std::pair{12, FW_NORMAL}}) {
        const HFONT font = MakeFont(height, weight);
        const HGDIOBJ before = SelectObject(dc.get(), font);
        LOGFONTW lf{};
        GetObjectW(font, sizeof(lf), &lf);
        for (const std::wstring& text : {menu, other, menu}) {
            EXPECT_TRUE(texts.Measure(dc.get(), font, text) == Direct(dc.get(), text))
                << "height " << height << " weight " << weight;
            // Told the font by its description, the same sizes.
            EXPECT_TRUE(byFont.Measure(dc.get(), lf, text) == Direct(dc.get(), text))
                << "height " << height << " weight " << weight;
        }
        SelectObject(dc.get(), before);
        DeleteObject(font);
    }
    // The sizes differ between the fonts and the texts at all, or the
    // checks above could not tell a stale size from a fresh one.
    const HFONT small = MakeFont(12, FW_NORMAL), large = MakeFont(24, FW_NORMAL);
    SelectObject(dc.get(), small);
    const SIZE a = Direct(dc.get(), menu), b = Direct(dc.get(), other);
    SelectObject(dc.get(), large);
    const SIZE c = Direct(dc.get(), menu);
    SelectObject(dc.get(), GetStockObject(SYSTEM_FONT));
    DeleteObject(small);
    DeleteObject(large);
    EXPECT_NE(a.cx, b.cx);
    EXPECT_GT(c.cy, a.cy);
}

// Measured with the flags the texts are drawn with: "&" is a character when
// prefixes are off.
TEST(MeasuredTexts, MeasureWithTheDrawingFlags) {
    const CreatedDC dc(CreateCompatibleDC(nullptr));
    const HFONT font = MakeFont(12, FW_NORMAL);
    const HGDIOBJ before = SelectObject(dc.get(), font);
    MeasuredTexts plain, noPrefix(DT_SINGLELINE | DT_NOPREFIX);
    const std::wstring text = L"A&&&B";
    RECT r{};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(noPrefix.Measure(dc.get(), font, text).cx, r.right);
    EXPECT_LT(plain.Measure(dc.get(), font, text).cx, r.right);
    SelectObject(dc.get(), before);
    DeleteObject(font);
}

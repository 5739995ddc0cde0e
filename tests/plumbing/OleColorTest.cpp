// One translation of OLE colours serves the caption painter, the menu bar and
// the link label.
#include <gtest/gtest.h>

#include <ios>

#include "plumbing/OleColor.h"

TEST(OleColor, TranslateColorResolvesSystemColoursAndRejectsOthers) {
    const struct {
        OLE_COLOR color;
        COLORREF rgb;
    } cases[] = {
        {0x000000, 0x000000},
        {0xC0C0C0, 0xC0C0C0},
        {0x123456, 0x123456},
        {0x80000000 | COLOR_WINDOWTEXT, GetSysColor(COLOR_WINDOWTEXT)},
        {0x80000000 | COLOR_HIGHLIGHT, GetSysColor(COLOR_HIGHLIGHT)},
        {0x80000000 | 0xFF, CLR_INVALID},  // no such system colour
        {0x7F000000, CLR_INVALID},         // not an OLE colour form at all
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TranslateColor(c.color), c.rgb) << std::hex << c.color;
    }
}

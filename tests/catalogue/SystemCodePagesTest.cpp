#include "catalogue/SystemCodePages.h"

#include <gtest/gtest.h>

#include <string>

TEST(SystemCodePages, AChineseSystemReadsAndWritesCodePage936) {
    // The test prefix runs as a Chinese system, whose legacy code page is
    // its ANSI code page.
    const CodePages pages = SystemCodePages();
    EXPECT_EQ(pages.ansi, 936u);
    EXPECT_EQ(pages.legacy, 936u);
}

TEST(SystemCodePages, TheConverterSubstitutesNoLookAlike) {
    const CodePageConverter& converter = SystemCodePageConverter::Instance();
    const struct {
        unsigned codePage;
        std::wstring text;
        std::string bytes;  // when not lost
        bool lost;
    } cases[] = {
        {936, L"文件夹", "\xCE\xC4\xBC\xFE\xBC\xD0", false},
        {936, L"\x0104", "", true},  // Ą: best fit would give a plain A
        {1252, L"Caf\x00E9", "Caf\xE9", false},
        {1252, L"\x0104", "", true},
        {932, L"メモ帳", "\x83\x81\x83\x82\x92\xA0", false},
        {936, L"\xD842\xDFB7", "", true},  // 𠮷 is outside 936
        {12345, L"x", "", true},           // a code page the system lacks
    };
    for (const auto& c : cases) {
        char out[32] = {};
        bool lost = false;
        const size_t n = converter.Encode(c.codePage, c.text.data(), c.text.size(), out, lost);
        EXPECT_EQ(lost, c.lost) << c.codePage;
        if (c.lost) continue;
        EXPECT_EQ(std::string(out, n), c.bytes) << c.codePage;
        std::wstring back;
        converter.Decode(c.codePage, c.bytes, back);
        EXPECT_EQ(back, c.text) << c.codePage;
    }
    EXPECT_EQ(converter.MaxCharSize(936), 2u);
    EXPECT_EQ(converter.MaxCharSize(1252), 1u);
    EXPECT_EQ(converter.MaxCharSize(12345), 0u);
}

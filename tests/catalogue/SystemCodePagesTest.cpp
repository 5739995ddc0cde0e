#include "catalogue/SystemCodePages.h"

#include <gtest/gtest.h>

TEST(SystemCodePages, AChineseSystemHas936AsBothCodePages) {
    // The test prefix runs as a Chinese system.
    const CodePages pages = SystemCodePages();
    EXPECT_EQ(pages.ansi, 936u);
    EXPECT_EQ(pages.legacy, 936u);
}

TEST(SystemCodePages, TheConverterSubstitutesNoLookAlike) {
    // Best fit would write Ą as a plain A; a code page the system lacks
    // converts nothing.
    for (const unsigned codePage : {936u, 1252u, 12345u}) {
        char out[8];
        bool lost = false;
        SystemCodePageConverter::Instance().Encode(codePage, L"\x0104", 1, out, lost);
        EXPECT_TRUE(lost) << codePage;
    }
    EXPECT_EQ(SystemCodePageConverter::Instance().MaxCharSize(12345), 0u);
}

#include "plumbing/PlumbingError.h"

#include <gtest/gtest.h>

TEST(PlumbingError, NumberCarriesObjectErrorBaseAndSourceNamesTheExecutable) {
    const PlumbingError e(13083, L"Invalid window");
    EXPECT_EQ(e.Number(), -2147208421);
    EXPECT_EQ(e.Description(), L"Invalid window");
    EXPECT_EQ(e.Source(), L"plumbing_tests.WindowProc");
}

#include <gtest/gtest.h>

#include "controls/PropertyBag.h"

namespace {

TEST(PropertyBag, WritesOnlyValuesThatDifferFromTheirDefaults) {
    PropertyBag bag;
    bag.WriteColor(L"Same", 0x8000000F, 0x8000000F);
    bag.WriteColor(L"Red", RGB(255, 0, 0), 0x8000000F);
    bag.WriteBool(L"SameBool", true, true);
    bag.WriteBool(L"Off", false, true);
    bag.WriteString(L"SameText", L"URL Label", L"URL Label");
    bag.WriteString(L"Text", L"Doravel", L"URL Label");
    bag.WriteString(L"Empty", L"", L"URL Label");
    EXPECT_EQ(bag.Keys(), (std::vector<std::wstring>{L"Red", L"Off", L"Text", L"Empty"}));

    // Read back with the same defaults, what was omitted comes back equal.
    EXPECT_EQ(bag.ReadColor(L"Same", 0x8000000F), 0x8000000Fu);
    EXPECT_EQ(bag.ReadColor(L"Red", 0x8000000F), RGB(255, 0, 0));
    EXPECT_TRUE(bag.ReadBool(L"SameBool", true));
    EXPECT_FALSE(bag.ReadBool(L"Off", true));
    EXPECT_EQ(bag.ReadString(L"SameText", L"URL Label"), L"URL Label");
    EXPECT_EQ(bag.ReadString(L"Text", L"URL Label"), L"Doravel");
    EXPECT_EQ(bag.ReadString(L"Empty", L"URL Label"), L"");
}

TEST(PropertyBag, RewritingAValueBackToItsDefaultDropsTheKey) {
    PropertyBag bag;
    bag.WriteBool(L"Enabled", false, true);
    bag.WriteBool(L"Enabled", true, true);
    EXPECT_FALSE(bag.Contains(L"Enabled"));
    EXPECT_TRUE(bag.ReadBool(L"Enabled", true));
}

TEST(PropertyBag, ReadingAValueOfAnotherTypeFailsForThatKeyOnly) {
    PropertyBag bag;
    bag.Set(L"BackColor", std::wstring(L"red"));
    bag.Set(L"Caption", std::wstring(L"ok"));
    EXPECT_THROW(bag.ReadColor(L"BackColor", 0), PropertyBagError);
    EXPECT_THROW(bag.ReadFont(L"BackColor", nullptr), PropertyBagError);
    EXPECT_THROW(bag.ReadBool(L"Caption", false), PropertyBagError);
    EXPECT_EQ(bag.ReadString(L"Caption", L""), L"ok");
}

TEST(PropertyBag, FontsAreStoredAndReadAsCopies) {
    auto font = MakeRef<StdFont>(L"宋体", 10.5);
    font->Bold(true);
    PropertyBag bag;
    bag.WriteFont(L"Font", font);
    font->Name(L"Arial");  // changing the original after saving
    const Ref<StdFont> read = bag.ReadFont(L"Font", nullptr);
    ASSERT_TRUE(read);
    EXPECT_NE(read.get(), font.get());
    EXPECT_EQ(read->Name(), L"宋体");
    EXPECT_DOUBLE_EQ(read->Size(), 10.5);
    EXPECT_TRUE(read->Bold());
    read->Size(20);  // nor does a reader change the stored copy
    EXPECT_DOUBLE_EQ(bag.ReadFont(L"Font", nullptr)->Size(), 10.5);

    const auto fallback = MakeRef<StdFont>();
    EXPECT_EQ(bag.ReadFont(L"Missing", fallback).get(), fallback.get());
}

}  // namespace

#include "app/ListKeys.h"

#include <gtest/gtest.h>

TEST(ListKeys, EachKeyRunsItsCommandOnlyWithItsOwnModifiers) {
    using namespace listkeys;
    const struct {
        unsigned key;
        bool ctrl, shift, alt;
        ListKey expected;
    } cases[] = {
        {kDelete, false, false, false, ListKey::Delete}, {kReturn, false, false, false, ListKey::Open},
        {kF2, false, false, false, ListKey::Edit},       {kUp, true, false, false, ListKey::MoveUp},
        {kDown, true, false, false, ListKey::MoveDown},
        // Plain arrows move the selection as the list does; modified keys are not ours.
        {kUp, false, false, false, ListKey::None},       {kDown, false, false, false, ListKey::None},
        {kDelete, false, true, false, ListKey::None},    {kDelete, true, false, false, ListKey::None},
        {kReturn, false, false, true, ListKey::None},    {kF2, true, false, false, ListKey::None},
        {kUp, true, true, false, ListKey::None},         {kDown, true, false, true, ListKey::None},
        {'A', false, false, false, ListKey::None},       {'A', true, false, false, ListKey::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListKeyFor(c.key, c.ctrl, c.shift, c.alt), c.expected)
            << c.key << " ctrl " << c.ctrl << " shift " << c.shift << " alt " << c.alt;
    }
}

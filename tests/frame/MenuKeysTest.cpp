// The keys of the menu bar's keyboard selection and the names its items are
// read out by. Window-free: built natively with the sanitizers as well.
#include "frame/MenuKeys.h"

#include <gtest/gtest.h>

namespace {

// Virtual-key codes as the platform numbers them (no platform header here).
constexpr unsigned kTab = 0x09, kReturn = 0x0D, kMenu = 0x12, kEscape = 0x1B, kSpace = 0x20, kEnd = 0x23,
                   kHome = 0x24, kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kF10 = 0x79, kF4 = 0x73;

}  // namespace

TEST(MenuKeys, EachKeyMovesOpensLeavesOrIsSwallowed) {
    const struct {
        unsigned vk;
        int current, count;
        BarKey action;
        int item;
    } cases[] = {
        {kRight, 1, 3, BarKey::Move, 2},   {kRight, 3, 3, BarKey::Move, 1},  {kLeft, 2, 3, BarKey::Move, 1},
        {kLeft, 1, 3, BarKey::Move, 3},    {kRight, 1, 1, BarKey::Move, 1},  {kHome, 3, 3, BarKey::Move, 1},
        {kEnd, 1, 3, BarKey::Move, 3},     {kDown, 2, 3, BarKey::Open, 2},   {kUp, 2, 3, BarKey::Open, 2},
        {kReturn, 3, 3, BarKey::Open, 3},  {kEscape, 2, 3, BarKey::Leave, 2}, {kMenu, 1, 3, BarKey::Leave, 1},
        {kF10, 1, 3, BarKey::Leave, 1},    {'M', 1, 3, BarKey::Mnemonic, 1}, {'7', 2, 3, BarKey::Mnemonic, 2},
        {kTab, 1, 3, BarKey::Ignore, 1},   {kSpace, 1, 3, BarKey::Ignore, 1}, {kF4, 2, 3, BarKey::Ignore, 2},
        // A selection out of range starts again at the first item; no items leave.
        {kRight, 0, 3, BarKey::Move, 2},   {kDown, 9, 3, BarKey::Open, 1},   {kDown, 1, 0, BarKey::Leave, 0},
    };
    for (const auto& c : cases) {
        const BarKeyStep step = StepForBarKey(c.vk, c.current, c.count);
        EXPECT_EQ(step.action, c.action) << "key " << c.vk << " on " << c.current << " of " << c.count;
        EXPECT_EQ(step.item, c.item) << "key " << c.vk << " on " << c.current << " of " << c.count;
    }
}

TEST(MenuKeys, NamesAreTheTextsAsShown) {
    const struct {
        const wchar_t* text;
        const wchar_t* shown;
    } cases[] = {
        {L"菜单(&M)", L"菜单(M)"}, {L"&File", L"File"},   {L"Save && &quit", L"Save & quit"},
        {L"a&&&b", L"a&b"},         {L"end&", L"end"},     {L"&", L""},
        {L"", L""},                 {L"plain", L"plain"},  {L"&&", L"&"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithoutMnemonicMarks(c.text), c.shown) << testing::PrintToString(std::wstring(c.text));
}

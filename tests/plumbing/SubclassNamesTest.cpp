#include "plumbing/SubclassNames.h"

#include <gtest/gtest.h>

#include <climits>

TEST(SubclassNames, HandlesContributeTheirLow32BitsAsSigned) {
    const struct {
        std::uintptr_t handle;
        std::int32_t key;
    } cases[] = {
        {0, 0},
        {500, 500},
        {0x7FFFFFFF, INT_MAX},
        {0x80000000u, INT_MIN},
        {0xFFFFFFFFu, -1},
        {static_cast<std::uintptr_t>(0x100000001ull), 1},
        {static_cast<std::uintptr_t>(0xFFFFFFFF80000000ull), INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(HandleKey(c.handle), c.key) << std::hex << c.handle;
}

TEST(SubclassNames, RegistryNamesUsePlainSignedDecimals) {
    const struct {
        std::int32_t hWnd, iMsg, n;
        const wchar_t *old, *count, *msgCount, *slot;
    } cases[] = {
        {500, 133, 1, L"500", L"C500", L"500#133C", L"500#133#1"},
        {-2, 0, 12, L"-2", L"C-2", L"-2#0C", L"-2#0#12"},
        {INT_MIN, -1, 100, L"-2147483648", L"C-2147483648", L"-2147483648#-1C", L"-2147483648#-1#100"},
        {0, 49152, 3, L"0", L"C0", L"0#49152C", L"0#49152#3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OldProcPropName(c.hWnd), c.old);
        EXPECT_EQ(AttachCountPropName(c.hWnd), c.count);
        EXPECT_EQ(MessageCountPropName(c.hWnd, c.iMsg), c.msgCount);
        EXPECT_EQ(ClientSlotPropName(c.hWnd, c.iMsg, c.n), c.slot);
    }
}

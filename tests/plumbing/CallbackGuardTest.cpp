#include "plumbing/CallbackGuard.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "plumbing/PlumbingError.h"

TEST(CallbackGuard, AFailureEndsInTheFallbackAndIsToldOnceWithItsReason) {
    ASSERT_EQ(TakeCallbackFailure(), L"");
    const struct {
        std::function<void()> fail;
        const wchar_t* reason;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, L"内存不足"},
        {[] { throw PlumbingError(13651, L"No more than 10 timers allowed per class"); }, L"系统没有提供所需的窗口资源"},
        {[] { throw std::runtime_error("bad state"); }, L"程序内部错误 bad state"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunGuarded(42, [&] {
                      c.fail();
                      return 7;
                  }),
                  42);
        // A second failure before the user is told is told with the first.
        RunGuarded([&] { c.fail(); });
        EXPECT_EQ(PendingCallbackFailures(), 2);
        EXPECT_EQ(TakeCallbackFailure(), std::wstring(L"刚才的操作没有完成：") + c.reason + L"。\r\n\r\n请检查列表后再试一次。");
        EXPECT_EQ(PendingCallbackFailures(), 0);
        EXPECT_EQ(TakeCallbackFailure(), L"");
    }
    EXPECT_EQ(RunGuarded(42, [] { return 7; }), 7);
}

#include "plumbing/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

#include "tests/support/TestSupport.h"

TEST(WorkerThread, RunsItsWorkAndSaysWhenItHasEnded) {
    std::atomic<int> done{0};
    std::vector<WorkerThread> threads;
    // Many short threads one after another, as the target checks start them.
    for (int i = 0; i < 50; ++i) threads.emplace_back([&] { ++done; });
    for (WorkerThread& t : threads) {
        EXPECT_TRUE(t.Started());
        EXPECT_TRUE(t.Wait(15000));
        EXPECT_FALSE(t.Started());
    }
    EXPECT_EQ(done, 50);
    // An exception ends the thread, not the process.
    WorkerThread throwing([] { throw std::runtime_error("lost"); });
    EXPECT_TRUE(throwing.Wait(15000));
    EXPECT_TRUE(WorkerThread().Wait(0));
}

TEST(WorkerThread, AThreadLetGoEndsOnItsOwnWithWhatItHolds) {
    struct Held {
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::atomic<bool> ended{false};
        ~Held() { CloseHandle(release); }
    };
    auto held = std::make_shared<Held>();
    {
        WorkerThread busy([held] {
            WaitForSingleObject(held->release, 60000);
            held->ended = true;
        });
        EXPECT_FALSE(busy.Wait(50));
        EXPECT_TRUE(busy.Started());
        busy.Release();
        EXPECT_FALSE(busy.Started());
    }  // nothing waits here
    EXPECT_FALSE(held->ended);
    // Threads started meanwhile are not disturbed by the one let go.
    std::atomic<int> done{0};
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(WorkerThread([&] { ++done; }).Wait(15000));
    EXPECT_EQ(done, 20);
    SetEvent(held->release);
    EXPECT_TRUE(testsupport::WaitFor([&] { return held->ended.load(); }));
}

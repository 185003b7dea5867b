// The two user-interface loops of the synchronised calls: calls run on the serving thread, one
// at a time, and waiting for a worker's end serves them.
#include "platform/headless/RealTimeLoop.h"
#include "support/VirtualUiLoop.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace lum::platform {
namespace {

using namespace std::chrono_literals;

TEST(RealTimeLoop, WaitForServesEveryCallOnTheWaitingThread) {
    headless::RealTimeLoop ui;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<int> order;
    std::atomic<int> offThread{0};
    std::unique_ptr<SyncThread> worker = ui.StartThread([&] {
        for (int i = 0; i < 5; ++i) {
            ui.Synchronize([&, i] {
                order.push_back(i);
                offThread += std::this_thread::get_id() == uiThread ? 0 : 1;
            });
        }
    });
    worker->WaitFor();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(offThread, 0);
}

TEST(RealTimeLoop, ServeUntilGivesUpAtItsTimeout) {
    headless::RealTimeLoop ui;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ui.ServeUntil([] { return false; }, 50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
}

TEST(VirtualUiLoop, WorkersRunOnlyWhileTheTestYields) {
    virtualtime::VirtualUiLoop loop;
    std::atomic<int> steps{0};
    std::unique_ptr<SyncThread> worker = loop.StartThread([&] {
        for (int i = 0; i < 3; ++i) {
            ++steps;
            loop.Block(nullptr, loop.Now() + 100);
        }
    });
    EXPECT_EQ(steps, 0) << "not before the first yield";
    loop.RunFor(0);
    EXPECT_EQ(steps, 1);
    loop.RunFor(99);
    EXPECT_EQ(steps, 1);
    loop.RunFor(1);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(loop.Now(), 100u);
    worker->WaitFor();
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(loop.Now(), 300u) << "time moved on to the worker's deadlines";
}

TEST(VirtualUiLoop, PauseServesNoCalls) {
    virtualtime::VirtualUiLoop loop;
    bool ran = false;
    std::unique_ptr<SyncThread> worker =
        loop.StartThread([&] { loop.Synchronize([&] { ran = true; }); });
    loop.Pause(1000);
    EXPECT_FALSE(ran);
    EXPECT_EQ(loop.Now(), 1000u);
    loop.RunFor(0);
    EXPECT_TRUE(ran);
    worker->WaitFor();
}

} // namespace
} // namespace lum::platform

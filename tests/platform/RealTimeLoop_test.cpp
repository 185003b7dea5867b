// The real-time loop as a native host's main loop: it runs until a condition holds, firing the
// window timers and serving other threads' synchronised calls meanwhile.
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace lum::platform {
namespace {

TEST(RealTimeLoop, RunUntilEndsWhenACallFromAnotherThreadSetsTheCondition) {
    headless::RealTimeLoop loop;
    headless::HeadlessUi ui(loop);
    FormArgs args;
    args.Name = "Form";
    const std::unique_ptr<Form> form = ui.CreateForm(args);
    std::atomic<int> ticks = 0;
    form->AddTimer("Ticking", 10, true).OnTimer = [&] { ++ticks; };

    // The call comes once the timer has fired a few times (or after 5 s, however loaded the
    // machine is), so the loop must fire timers while it waits for the call.
    bool done = false;
    std::thread::id ranOn;
    std::thread worker([&] {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ticks < 5 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        loop.Synchronize([&] {
            ranOn = std::this_thread::get_id();
            done = true;
        });
    });
    loop.RunUntil([&] { return done; });
    worker.join();

    EXPECT_TRUE(done);
    EXPECT_EQ(ranOn, std::this_thread::get_id()) << "the call ran on the loop's thread";
    EXPECT_GE(ticks, 5) << "the timer fired while the loop waited";
}

// A source thread tells the loop of a change without waiting for it: the calls run on the loop's
// thread in the order posted, at a turn that fires timers, and never while the loop only serves
// synchronised calls (as it does inside a quit's bounded waits).
TEST(RealTimeLoop, CallsPostedFromAnyThreadRunInOrderOnTheLoopsThreadWithoutWaiting) {
    headless::RealTimeLoop loop;
    std::vector<int> ran;
    std::vector<std::thread::id> ranOn;
    std::thread worker([&] {
        for (int call = 1; call <= 3; ++call) {
            loop.PostFromAnyThread([&, call] {
                ran.push_back(call);
                ranOn.push_back(std::this_thread::get_id());
            });
        }
    });
    // The loop serves nothing yet: the poster must not wait for it.
    worker.join();

    loop.ServeFor(std::chrono::milliseconds(20));
    EXPECT_TRUE(ran.empty()) << "serving synchronised calls runs no posted call";
    loop.RunUntil([&] { return ran.size() == 3; });
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    for (const std::thread::id id : ranOn) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

// A call posted while the loop sleeps until its next timer wakes it at once.
TEST(RealTimeLoop, APostedCallWakesTheLoopBeforeItsNextTimer) {
    headless::RealTimeLoop loop;
    headless::HeadlessUi ui(loop);
    FormArgs args;
    args.Name = "Form";
    const std::unique_ptr<Form> form = ui.CreateForm(args);
    form->AddTimer("Slow", 10'000, true).OnTimer = [] {};
    std::atomic<bool> posted = false;
    bool ran = false;
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        posted = true;
        loop.PostFromAnyThread([&] { ran = true; });
    });
    const auto start = std::chrono::steady_clock::now();
    loop.RunUntil([&] { return ran; });
    worker.join();
    EXPECT_TRUE(posted);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace lum::platform

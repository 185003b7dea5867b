// The real-time loop as a native host's main loop: it runs until a condition holds, firing the
// window timers and serving other threads' synchronised calls meanwhile.
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

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

} // namespace
} // namespace lum::platform

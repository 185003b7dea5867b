// The real-time loop as a native host's main loop: it runs until a condition holds, firing the
// window timers and serving other threads' synchronised calls meanwhile.
#include "platform/headless/HeadlessUi.h"
#include "platform/headless/RealTimeLoop.h"

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
    int ticks = 0;
    form->AddTimer("Ticking", 10, true).OnTimer = [&] { ++ticks; };

    bool done = false;
    std::thread::id ranOn;
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        loop.Synchronize([&] {
            ranOn = std::this_thread::get_id();
            done = true;
        });
    });
    const auto start = std::chrono::steady_clock::now();
    loop.RunUntil([&] { return done; });
    const auto took = std::chrono::steady_clock::now() - start;
    worker.join();

    EXPECT_TRUE(done);
    EXPECT_EQ(ranOn, std::this_thread::get_id()) << "the call ran on the loop's thread";
    EXPECT_GE(took, std::chrono::milliseconds(200)) << "it ran until the call, not before";
    EXPECT_GE(ticks, 5) << "the timer fired while the loop waited";
}

} // namespace
} // namespace lum::platform

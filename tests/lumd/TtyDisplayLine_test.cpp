// lumd's display line over real ptys: what is sent arrives, also when the tty takes it only bit
// by bit; the device going away (the pty's master closed) reaches the driver once, as a posted
// call and never inside a send, and the line opens again once a new device is at the path; and
// the line is held exclusively while open.
#include "CaseName.h"
#include "apps/lumd/TtyDisplayLine.h"
#include "support/PtyPair.h"

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using serial::testing::PtyPair;
namespace fs = std::filesystem;

/// Bytes a pty does not take at once while its master is not read.
constexpr std::size_t kMoreThanAPtyHolds = 256 * 1024;

/// The user-interface thread's posted calls, run when the test says so.
class PostedCalls {
public:
    PostToUi Poster() {
        return [this](std::function<void()> call) {
            const std::lock_guard lock(mutex_);
            calls_.push_back(std::move(call));
        };
    }
    /// Runs the calls posted so far; waits up to `timeout` for the first; answers how many ran.
    std::size_t Run(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::deque<std::function<void()>> calls;
        while (calls.empty() && std::chrono::steady_clock::now() < deadline) {
            {
                const std::lock_guard lock(mutex_);
                calls.swap(calls_);
            }
            std::this_thread::sleep_for(5ms);
        }
        for (const auto& call : calls) {
            call();
        }
        return calls.size();
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
};

/// A symbolic link standing for the device, pointed at a pty of the test's.
class TtyDisplayLineTest : public ::testing::Test {
protected:
    TtyDisplayLineTest()
        : link_((fs::temp_directory_path() / ("lumd-line-" + std::to_string(getpid()))).string()) {
        PlugIn();
    }
    ~TtyDisplayLineTest() override { fs::remove(link_); }

    void PlugIn() {
        pty_ = std::make_unique<PtyPair>();
        fs::remove(link_);
        fs::create_symlink(pty_->SlavePath(), link_);
    }
    void Unplug() {
        pty_->CloseMaster();
        fs::remove(link_);
    }
    std::unique_ptr<TtyDisplayLine> OpenLine() {
        auto line = std::make_unique<TtyDisplayLine>(link_, posted_.Poster());
        line->OnTrouble = [this](LineTrouble trouble) { troubles_.push_back(trouble); };
        line->SetOpen(true);
        return line;
    }
    std::string Received(std::size_t count) {
        const auto bytes = pty_->Read(count, 5s);
        return {bytes.begin(), bytes.end()};
    }

    std::string link_;
    std::unique_ptr<PtyPair> pty_;
    PostedCalls posted_;
    std::vector<LineTrouble> troubles_;
};

// --- Sending ---------------------------------------------------------------------------------

struct SendCase {
    const char* Name;
    std::size_t Bytes;
    std::uint32_t BaudRate; ///< the send is pending until this rate has carried it
};

class TtyDisplayLineSends : public TtyDisplayLineTest,
                            public ::testing::WithParamInterface<SendCase> {};

TEST_P(TtyDisplayLineSends, AndEveryByteArrivesInOrder) {
    const SendCase& c = GetParam();
    std::string text(c.Bytes, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('A' + i % 26);
    }
    const auto line = OpenLine();
    ASSERT_TRUE(line->IsOpen());
    line->SetBaudRate(c.BaudRate);
    const auto sent = std::chrono::steady_clock::now();
    line->Send(text);
    EXPECT_GT(line->OutQueueBytes(), 0U);
    line->Send("dropped while a write is pending");
    line->WatchSendEnd();

    EXPECT_EQ(Received(text.size()), text);
    EXPECT_EQ(posted_.Run(5s), 1U) << "the end told once it has left the wire";
    EXPECT_GE(std::chrono::steady_clock::now() - sent,
              std::chrono::nanoseconds(10s) * c.Bytes / c.BaudRate);
    EXPECT_FALSE(line->SendPending());
    EXPECT_EQ(line->OutQueueBytes(), 0U);
    line->Send("next");
    EXPECT_EQ(Received(4), "next");
    EXPECT_EQ(posted_.Run(50ms), 0U);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, TtyDisplayLineSends, ::testing::Values(
    //       Name                     Bytes               BaudRate
    SendCase{"TakenAtOnce",           42,                 9'600},
    SendCase{"FinishedAsTheTtyTakes", kMoreThanAPtyHolds, 4'000'000}),
    CaseName());
// clang-format on

// --- The device going away ---------------------------------------------------------------------

struct GoneCase {
    const char* Name;
    std::size_t PendingBytes; ///< sent before the device goes (0: the line is idle)
};

class TtyDisplayLineLoses : public TtyDisplayLineTest,
                            public ::testing::WithParamInterface<GoneCase> {};

TEST_P(TtyDisplayLineLoses, TheDeviceOnceAndOpensAgainWhenItIsBack) {
    const auto line = OpenLine();
    ASSERT_TRUE(line->IsOpen());
    if (GetParam().PendingBytes > 0) {
        line->Send(std::string(GetParam().PendingBytes, 'x'));
        ASSERT_TRUE(line->SendPending());
    }
    Unplug();
    line->Send("after the device went");
    EXPECT_TRUE(troubles_.empty()) << "reported inside the send";
    EXPECT_EQ(posted_.Run(5s), 1U);
    EXPECT_EQ(troubles_, std::vector<LineTrouble>{LineTrouble::DeviceGone});
    EXPECT_FALSE(line->SendPending());
    line->Send("and again");
    EXPECT_EQ(posted_.Run(100ms), 0U);

    // The driver's reconnect: closed, then opened once a second until the device is back.
    line->SetOpen(false);
    line->SetOpen(true);
    EXPECT_FALSE(line->IsOpen());
    PlugIn();
    line->SetOpen(true);
    ASSERT_TRUE(line->IsOpen());
    line->Send("back");
    EXPECT_EQ(Received(4), "back");
    EXPECT_EQ(troubles_.size(), 1U);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, TtyDisplayLineLoses, ::testing::Values(
    //       Name                  PendingBytes
    GoneCase{"WhileIdle",          0},
    GoneCase{"DuringAPartialWrite", kMoreThanAPtyHolds}),
    CaseName());
// clang-format on

// --- Exclusive use -------------------------------------------------------------------------------

TEST_F(TtyDisplayLineTest, IsHeldExclusivelyWhileOpen) {
    const auto first = OpenLine();
    ASSERT_TRUE(first->IsOpen());
    TtyDisplayLine second(link_, posted_.Poster());
    EXPECT_TRUE(second.Dtr()) << "never opened";
    second.SetOpen(true);
    EXPECT_FALSE(second.IsOpen());

    first->SetOpen(false);
    EXPECT_FALSE(first->Dtr()) << "closed";
    second.SetOpen(true);
    EXPECT_TRUE(second.IsOpen());
}

} // namespace
} // namespace lum::lumd::testing

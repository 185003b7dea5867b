// Starting writes: the per-write time-out, the three outcomes of a write, the private copy of
// SendText, and the rule of one write at a time.
#include "SerialFixture.h"

#include <string>

namespace lum::serial::testing {
namespace {

namespace comm = platform::comm;
using Completion = platform::virtualtime::FakeComm::Completion;

using SerialSend = SerialFixture;

TEST_F(SerialSend, WriteTimeout) {
    struct Case {
        const char* Name;
        std::uint32_t CharDelay;
        std::uint16_t Extra;
        std::uint32_t Count;
        std::uint32_t Timeout;
    };
    const Case cases[] = {
        {"40 bytes at 9600 baud", 1100, 250, 40, 294},
        {"no bytes: the extra time exactly", 1100, 250, 0, 250},
        {"fraction of a millisecond dropped", 999, 0, 1, 0},
        // 100000 us x 50000 bytes exceeds 32 bits; the time-out must not wrap to 705282 ms.
        {"long slow write does not wrap", 100000, 250, 50000, 5000250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakePort();
        Open();
        port->SetXTOAuto(false);
        port->SetWTOCharDelayTime(c.CharDelay);
        port->SetWTOExtraDelayTime(c.Extra);
        const std::vector<std::uint8_t> data(c.Count, 'x');
        port->SendData(data.data(), c.Count);
        EXPECT_EQ(fake.Timeouts(), (platform::CommTimeouts{comm::kMaxDword, 0, 0, 0, c.Timeout}));
    }
}

TEST_F(SerialSend, WrittenAtOnce) {
    Open();
    RecordEvents();
    port->SendText("Hello");
    EXPECT_EQ(events, (std::vector<std::string>{"WriteDone"})) << "raised on the caller's thread";
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(port->WrittenBytes(), 5u);
    EXPECT_EQ(fake.Written(), Bytes("Hello"));
}

TEST_F(SerialSend, PendingWriteEndsThroughTheWorker) {
    Open();
    reports.clear();
    RecordEvents();
    fake.SetWriteCompletion(Completion::Pending);
    port->SendText("Hello");
    EXPECT_TRUE(port->SendInProgress());
    EXPECT_TRUE(events.empty());
    loop.RunFor(200);
    EXPECT_TRUE(port->SendInProgress()) << "still running";
    fake.CompleteWrite(5);
    loop.RunFor(75);
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(port->WrittenBytes(), 5u);
    EXPECT_EQ(events, (std::vector<std::string>{"WriteDone"}));
    EXPECT_EQ(fake.Written(), Bytes("Hello")) << "the private copy lived until the end";
    EXPECT_TRUE(reports.empty());
}

TEST_F(SerialSend, FailedWrite) {
    Open();
    RecordEvents();
    reports.clear();
    fake.Fail("WriteFile", comm::kErrorGenFailure, 1);
    port->SendText("Hello");
    EXPECT_FALSE(port->SendInProgress());
    EXPECT_EQ(reports, (std::vector<SeenReport>{{903, 31, "Error writing Data"}}));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(fake.UiCallNames().back(), "ResetEvent");
}

TEST_F(SerialSend, SecondTextWhilePendingIsDroppedAndFirstStaysIntact) {
    Open();
    reports.clear();
    fake.SetWriteCompletion(Completion::Pending);
    port->SendText("first");
    port->SendText("second");
    EXPECT_EQ(reports, (std::vector<SeenReport>{
                           {901, 0, "Msg, dont enter SendData while SendInProgress is set"}}));
    EXPECT_EQ(CountCalls("WriteFile"), 1u);
    fake.CompleteWrite(5);
    EXPECT_EQ(fake.Written(), Bytes("first"));
}

TEST_F(SerialSend, WrittenBytesCountsOnlyTheLastWrite) {
    Open();
    port->SendText("Hello");
    ASSERT_EQ(port->WrittenBytes(), 5u);
    fake.Fail("WriteFile", comm::kErrorGenFailure, 1);
    port->SendText("Hi");
    EXPECT_EQ(port->WrittenBytes(), 0u) << "a failed write shows no count of the one before";
    port->SendText("Hello");
    fake.SetWriteCompletion(Completion::Pending);
    port->SendText("abc");
    EXPECT_EQ(port->WrittenBytes(), 0u) << "nor does a pending one";
    fake.CompleteWrite(2);
    loop.RunFor(75);
    EXPECT_EQ(port->WrittenBytes(), 2u);
}

TEST_F(SerialSend, EmptyTextSendsNothing) {
    Open();
    fake.ClearCalls();
    reports.clear();
    port->SendText("");
    EXPECT_TRUE(fake.Calls().empty());
    EXPECT_TRUE(reports.empty());
}

TEST_F(SerialSend, ClosedPortReportsBothFailures) {
    port->SendText("x");
    EXPECT_EQ(reports, (std::vector<SeenReport>{
                           {902, comm::kErrorInvalidHandle, "Error setting CommTimeout"},
                           {903, comm::kErrorInvalidHandle, "Error writing Data"}}));
    EXPECT_FALSE(port->SendInProgress());
}

TEST_F(SerialSend, ShortWriteIsReportedAsTimeout) {
    Open();
    reports.clear();
    RecordEvents();
    fake.SetWriteCompletion(Completion::Pending);
    port->SendText("Hello");
    fake.CompleteWrite(2);
    loop.RunFor(75);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Place, 9701u);
    EXPECT_EQ(reports[0].Msg, "Error write TimeOut");
    // The code is the last result the worker recorded: its comm event wait timing out.
    EXPECT_EQ(reports[0].Code, comm::kWaitTimeout);
    EXPECT_EQ(port->WrittenBytes(), 2u);
    EXPECT_EQ(events, (std::vector<std::string>{"WriteDone"}));
}

} // namespace
} // namespace lum::serial::testing

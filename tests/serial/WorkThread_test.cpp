// The worker over the scripted comm layer on virtual time: read gating and clusters, event
// dispatch, status changes, the end of writes, and closing and destroying while it works.
#include "SerialFixture.h"

#include <numeric>

namespace lum::serial::testing {
namespace {

namespace comm = platform::comm;
using Completion = platform::virtualtime::FakeComm::Completion;

using WorkThread = SerialFixture;

std::vector<std::uint8_t> Sequence(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

TEST_F(WorkThread, ReadGating) {
    struct Case {
        const char* Name;
        std::size_t Queued;
        std::uint32_t LineErrors;
        bool ReadRequest;
        std::uint64_t Wait;               // virtual ms after the bytes arrive
        std::vector<std::uint32_t> Sizes; // clusters delivered by then
    };
    // At 9600 baud 10 bytes are read once more than 10 x 1100 / 1000 + 250 = 261 ms have
    // passed since the queue was last seen empty.
    const Case cases[] = {
        {"10 bytes wait for their time", 10, 0, false, 225, {}},
        {"10 bytes after their time", 10, 0, false, 300, {10}},
        {"a full cluster is read at once", 4000, 0, false, 75, {4000}},
        {"without a request 10 bytes wait", 10, 0, false, 75, {}},
        {"a read request reads at once", 10, 0, true, 75, {10}},
        {"a framing error reads at once", 10, comm::kCeFrame, false, 75, {10}},
        {"one read takes at most the input queue size", 5000, 0, false, 1500, {4096, 904}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakePort();
        Open();
        fake.Receive(Sequence(c.Queued));
        fake.SetLineErrors(c.LineErrors);
        port->SetReadRequest(c.ReadRequest);
        loop.RunFor(c.Wait);
        std::vector<std::uint32_t> sizes;
        std::size_t offset = 0;
        const std::vector<std::uint8_t> expected = Sequence(c.Queued);
        while (const std::optional<TSerialCluster> cluster = port->TakeCluster()) {
            sizes.push_back(cluster->DataSize());
            EXPECT_TRUE(std::equal(cluster->DataPtr(), cluster->DataPtr() + cluster->DataSize(),
                                   expected.begin() + static_cast<std::ptrdiff_t>(offset)));
            EXPECT_EQ(cluster->ErrorFlags(), offset == 0 ? c.LineErrors : 0u);
            offset += cluster->DataSize();
        }
        EXPECT_EQ(sizes, c.Sizes);
        if (c.ReadRequest) {
            EXPECT_EQ(port->ReadRequest(), sizes.empty()) << "cleared by the read";
        }
    }
}

TEST_F(WorkThread, ReadRequestWaitsForBytes) {
    Open();
    port->SetReadRequest(true);
    loop.RunFor(500);
    EXPECT_TRUE(port->ReadRequest()) << "nothing to read yet";
    fake.Receive(Sequence(3));
    loop.RunFor(75);
    EXPECT_FALSE(port->ReadRequest());
    EXPECT_EQ(port->ClusterCount(), 1u);
}

TEST_F(WorkThread, LineErrorWithEmptyQueueMakesNoCluster) {
    Open();
    std::vector<std::uint32_t> errors;
    port->OnCommStat = [&](TSerialPortNG& sender) { errors.push_back(sender.CommError()); };
    fake.SetLineErrors(comm::kCeFrame);
    loop.RunFor(75);
    fake.Receive(Sequence(3));
    loop.RunFor(400);
    ASSERT_GE(errors.size(), 2u);
    EXPECT_EQ(errors[0], comm::kCeFrame);
    EXPECT_EQ(errors[1], 0u) << "the driver hands an error out once";
    const std::optional<TSerialCluster> later = port->TakeCluster();
    ASSERT_TRUE(later);
    EXPECT_EQ(later->ErrorFlags(), 0u) << "an error seen with an empty queue stays with no bytes";
}

TEST_F(WorkThread, LineErrorSeenAfterTheWaitStaysWithTheBytes) {
    Open();
    fake.Receive(Sequence(3));
    // The status read after the wait takes the error; the next pass's read clears the
    // driver's flags again before the gating looks.
    fake.OnNextCall("WaitForSingleObject", [&] { fake.SetLineErrors(comm::kCeOverrun); });
    loop.RunFor(150);
    const std::optional<TSerialCluster> cluster = port->TakeCluster();
    ASSERT_TRUE(cluster) << "read at once because of the error";
    EXPECT_EQ(cluster->ErrorFlags(), comm::kCeOverrun);
}

TEST_F(WorkThread, PendingReadDeliversWhenItEnds) {
    Open();
    RecordEvents();
    fake.SetReadCompletion(Completion::Pending);
    fake.Receive(Sequence(20));
    port->SetReadRequest(true);
    loop.RunFor(75);
    ASSERT_TRUE(fake.ReadPending());
    fake.CompleteRead();
    loop.RunFor(75);
    ASSERT_EQ(port->ClusterCount(), 1u);
    EXPECT_EQ(port->TakeCluster()->DataSize(), 20u);
    EXPECT_NE(std::find(events.begin(), events.end(), "RxCluster"), events.end());
}

TEST_F(WorkThread, ReadGivenUpAfterAFailedWaitKeepsItsBufferUntilItEnds) {
    Open();
    fake.SetReadCompletion(Completion::Pending);
    fake.Receive(Sequence(20));
    port->SetReadRequest(true);
    loop.RunFor(75);
    ASSERT_TRUE(fake.ReadPending());
    reports.clear();
    fake.Fail("WaitForMultipleObjects", comm::kErrorInvalidHandle, 1);
    fake.Receive(Sequence(5));
    port->SetReadRequest(true);
    loop.RunFor(300);
    EXPECT_EQ(reports.front().Place, 9911u);
    EXPECT_EQ(CountCalls("ReadFile"), 1u) << "no read starts while the given-up one runs";
    // The read ends into the buffer it was given (the sanitizer sees a released one).
    fake.CompleteRead();
    loop.RunFor(300);
    EXPECT_EQ(CountCalls("ReadFile"), 2u) << "reading goes on once it has ended";
}

TEST_F(WorkThread, ClusterListIsBounded) {
    Open();
    port->SetClusterSize(1000);
    constexpr std::size_t kClusters = kMaxClusterListBytes / 1000 + 10;
    for (std::size_t i = 0; i < kClusters; ++i) {
        std::vector<std::uint8_t> bytes(1000, static_cast<std::uint8_t>(i));
        fake.Receive(bytes);
        loop.RunFor(75);
    }
    EXPECT_LE(port->ClusterCount() * 1000, kMaxClusterListBytes);
    EXPECT_GE(port->ClusterCount() * 1000, kMaxClusterListBytes - 1000);
    const std::optional<TSerialCluster> oldest = port->TakeCluster();
    ASSERT_TRUE(oldest);
    EXPECT_EQ(oldest->DataPtr()[0], static_cast<std::uint8_t>(kClusters - port->ClusterCount() - 1))
        << "the oldest were dropped";
}

TEST_F(WorkThread, DispatchOrder) {
    struct Case {
        std::uint32_t Mask;
        std::vector<std::string> Events;
    };
    const Case cases[] = {
        {comm::kEvRxChar | comm::kEvTxEmpty, {"RxChar", "TxQueueEmpty", "CommEvent"}},
        {0x1FF,
         {"Break", "CTS", "DSR", "LineError", "Ring", "RLSD", "RxChar", "RxEventChar",
          "TxQueueEmpty", "CommEvent"}},
        {comm::kEvBreak | comm::kEvRing, {"Break", "Ring", "CommEvent"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mask);
        MakePort();
        Open();
        RecordEvents();
        fake.RaiseCommEvent(c.Mask);
        loop.RunFor(10);
        EXPECT_EQ(events, c.Events);
        EXPECT_EQ(port->CommEvent(), c.Mask);
    }
}

TEST_F(WorkThread, EventAlreadyThereIsDispatchedWithoutWaiting) {
    Open();
    RecordEvents();
    // The first ends the pending wait; the second is kept until the next wait, which then
    // ends at once.
    fake.RaiseCommEvent(comm::kEvRxChar);
    fake.RaiseCommEvent(comm::kEvTxEmpty);
    loop.RunFor(1);
    EXPECT_EQ(events,
              (std::vector<std::string>{"RxChar", "CommEvent", "TxQueueEmpty", "CommEvent"}));
    loop.RunFor(75);
    EXPECT_TRUE(fake.EventWaitPending()) << "a new wait after one pass";
}

TEST_F(WorkThread, RingIndicatorGoingOff) {
    struct Case {
        std::int32_t PlatformId;
        std::vector<std::string> Events;
    };
    const Case cases[] = {
        {comm::kPlatformWin32Windows, {"RI", "RI", "Ring", "CommEvent"}},
        {comm::kPlatformWin32Nt, {"RI", "RI"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.PlatformId);
        fake.SetPlatformId(c.PlatformId);
        MakePort();
        Open();
        RecordEvents();
        fake.SetModemStatus(comm::kMsRingOn | comm::kMsCtsOn);
        loop.RunFor(75);
        EXPECT_TRUE(port->RingState());
        EXPECT_TRUE(port->CTSState());
        fake.SetModemStatus(0);
        loop.RunFor(75);
        EXPECT_FALSE(port->RingState());
        EXPECT_EQ(events, c.Events);
        EXPECT_EQ(port->CommEvent(),
                  c.PlatformId == comm::kPlatformWin32Windows ? comm::kEvRing : 0u);
    }
}

TEST_F(WorkThread, StatusChangesOnly) {
    Open();
    RecordEvents();
    loop.RunFor(300);
    EXPECT_TRUE(events.empty()) << "all values still 0";
    fake.SetOutQueue(7);
    loop.RunFor(300);
    EXPECT_EQ(events, (std::vector<std::string>{"CommStat"}));
    EXPECT_EQ(port->CommStateOutQueue(), 7u);
}

TEST_F(WorkThread, ClosingCutsOffPendingWrite) {
    Open();
    RecordEvents();
    reports.clear();
    fake.SetWriteCompletion(Completion::Pending);
    port->SendText("frame");
    loop.RunFor(150);
    ASSERT_TRUE(port->SendInProgress());
    const std::uint64_t start = loop.Now();
    port->SetActive(false);
    // The worker's report of the aborted write waits for the user-interface thread, which
    // does not serve calls while it polls: the closer gives up after its 15 polls.
    EXPECT_EQ(loop.Now() - start, 1125u);
    EXPECT_FALSE(port->SendInProgress());
    loop.RunFor(10);
    EXPECT_EQ(reports, (std::vector<SeenReport>{{100, 0, "Msg start deactivating Port"},
                                                {104, 0, "Warning ThreadIsRunning"},
                                                {9702, comm::kErrorOperationAborted,
                                                 "Error getting Overlapped Result"}}));
    EXPECT_EQ(events, (std::vector<std::string>{"WriteDone"}));
}

TEST_F(WorkThread, ClosingFromInsideHandlerWaitsItsBoundAndDoesNotDeadlock) {
    Open();
    reports.clear();
    std::uint64_t closeTime = 0;
    port->OnRxCharEvent = [&](TSerialPortNG& sender) {
        const std::uint64_t start = loop.Now();
        sender.SetActive(false);
        closeTime = loop.Now() - start;
    };
    fake.RaiseCommEvent(comm::kEvRxChar);
    loop.RunFor(500);
    EXPECT_EQ(closeTime, 1125u);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(reports, (std::vector<SeenReport>{{100, 0, "Msg start deactivating Port"},
                                                {104, 0, "Warning ThreadIsRunning"}}));
    // The worker winds down afterwards: the port can be opened again.
    port->SetActive(true);
    EXPECT_TRUE(port->Active());
}

TEST_F(WorkThread, DestructionWhileBytesArriveDeliversNoCluster) {
    Open();
    int delivered = 0;
    port->OnRxClusterEvent = [&](TSerialPortNG&) { ++delivered; };
    fake.SetReadCompletion(Completion::Pending);
    fake.Receive(Sequence(10));
    port->SetReadRequest(true);
    loop.RunFor(75);
    ASSERT_TRUE(fake.ReadPending());
    // The read ends well just as destruction closes the port, instead of being aborted.
    fake.OnNextCall("PurgeComm", [&] { fake.CompleteRead(); });
    port.reset();
    EXPECT_EQ(delivered, 0);
}

TEST_F(WorkThread, WaitsAndPauses) {
    loop.RunFor(1000);
    const std::vector<platform::virtualtime::FakeComm::Call> idle = fake.Calls();
    ASSERT_FALSE(idle.empty());
    EXPECT_EQ(idle.back().Name, "Sleep");
    EXPECT_EQ(idle.back().Args, (std::vector<std::uint64_t>{200}));
    EXPECT_EQ(CountCalls("Sleep"), 6u) << "an idle pass every 200 ms";
    Open();
    loop.RunFor(500);
    fake.ClearCalls();
    loop.RunFor(750);
    EXPECT_EQ(CountCalls("WaitForSingleObject"), 10u) << "a working pass every 75 ms";
    EXPECT_EQ(fake.Calls().back().Args, (std::vector<std::uint64_t>{75}));
}

TEST_F(WorkThread, FailingEventWaitDoesNotSpin) {
    Open();
    fake.Fail("WaitCommEvent", comm::kErrorGenFailure);
    fake.RaiseCommEvent(comm::kEvRxChar); // ends the wait that is pending
    fake.ClearCalls();
    reports.clear();
    loop.RunFor(750);
    EXPECT_LE(CountCalls("WaitCommEvent"), 11u);
    EXPECT_GE(reports.size(), 9u);
    EXPECT_EQ(reports.front(), (SeenReport{9907, 31, "Error calling WaitCommEvent"}));
}

} // namespace
} // namespace lum::serial::testing

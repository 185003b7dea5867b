// Every report of the component and its worker: provoked one at a time, with its place, code
// and message, and its level checked against the ErrorNoise filter.
#include "SerialFixture.h"

#include <algorithm>
#include <functional>

namespace lum::serial::testing {
namespace {

namespace comm = platform::comm;
using Completion = platform::virtualtime::FakeComm::Completion;

struct ReportCase {
    SerialReport Id;
    std::uint32_t Code;
    std::function<void(SerialHarness&)> Provoke;
};

/// Opens the port and leaves a read pending beside the comm event wait.
void PendingRead(SerialHarness& h) {
    h.Open();
    h.fake.SetReadCompletion(Completion::Pending);
    h.fake.Receive(std::vector<std::uint8_t>(10, 'r'));
    h.port->SetReadRequest(true);
    h.loop.RunFor(75);
}

/// Opens the port and leaves a write pending.
void PendingWrite(SerialHarness& h) {
    h.Open();
    h.fake.SetWriteCompletion(Completion::Pending);
    h.port->SendText("Hello");
}

void Close(SerialHarness& h) {
    h.port->SetActive(false);
    h.loop.RunFor(300);
}

const ReportCase kCases[] = {
    {SerialReport::XonLimClamped, 150, [](SerialHarness& h) { h.port->SetXONLimDiv(150); }},
    {SerialReport::XoffLimClamped, 200, [](SerialHarness& h) { h.port->SetXOFFLimDiv(200); }},
    {SerialReport::Deactivating, 0,
     [](SerialHarness& h) {
         h.Open();
         Close(h);
     }},
    {SerialReport::DisableEventsFailed, 5,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("SetCommMask", 5, 1);
         Close(h);
     }},
    {SerialReport::RxQueueSizeFailed, comm::kErrorInvalidHandle,
     [](SerialHarness& h) { h.port->SetRxQueueSize(100); }},
    {SerialReport::PurgeFailed, 31,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("PurgeComm", 31, 1);
         Close(h);
     }},
    {SerialReport::TxQueueSizeFailed, comm::kErrorInvalidHandle,
     [](SerialHarness& h) { h.port->SetTxQueueSize(100); }},
    {SerialReport::CloseFailed, 6,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("CloseHandle", 6, 1);
         Close(h);
     }},
    {SerialReport::ThreadStillRunning, 0,
     [](SerialHarness& h) {
         h.Open();
         h.port->OnRxCharEvent = [](TSerialPortNG& sender) { sender.SetActive(false); };
         h.fake.RaiseCommEvent(comm::kEvRxChar);
         h.loop.RunFor(100);
     }},
    {SerialReport::Reactivating, 0, [](SerialHarness& h) { h.Open(); }},
    {SerialReport::SetupQueuesFailed, 87,
     [](SerialHarness& h) {
         h.fake.Fail("SetupComm", 87, 1);
         h.Open();
     }},
    {SerialReport::OpenFailed, 2,
     [](SerialHarness& h) {
         h.fake.Fail("CreateFileA", 2);
         h.Open();
     }},
    {SerialReport::EnableEventsFailed, 87,
     [](SerialHarness& h) {
         h.fake.Fail("SetCommMask", 87, 1);
         h.Open();
     }},
    {SerialReport::SetRtsFailed, 1,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("EscapeCommFunction", 1, 1);
         h.port->SetRTSState(true);
     }},
    {SerialReport::ClearRtsFailed, 1,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("EscapeCommFunction", 1, 1);
         h.port->SetRTSState(false);
     }},
    {SerialReport::SetDtrFailed, 1,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("EscapeCommFunction", 1, 1);
         h.port->SetDTRState(true);
     }},
    {SerialReport::ClearDtrFailed, 1,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("EscapeCommFunction", 1, 1);
         h.port->SetDTRState(false);
     }},
    {SerialReport::SetBreakFailed, 1,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("SetCommBreak", 1, 1);
         h.port->SetBREAKState(true);
     }},
    {SerialReport::ClearBreakFailed, 1,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("ClearCommBreak", 1, 1);
         h.port->SetBREAKState(false);
     }},
    {SerialReport::GetStateFailed, 31,
     [](SerialHarness& h) {
         h.fake.Fail("GetCommState", 31, 1);
         h.Open();
     }},
    {SerialReport::SetTimeoutsFailed, 31,
     [](SerialHarness& h) {
         h.fake.Fail("SetCommTimeouts", 31, 1);
         h.Open();
     }},
    {SerialReport::SetStateFailed, 87,
     [](SerialHarness& h) {
         h.fake.Fail("SetCommState", 87, 1);
         h.Open();
     }},
    {SerialReport::SendWhilePending, 0,
     [](SerialHarness& h) {
         PendingWrite(h);
         h.port->SendText("again");
     }},
    {SerialReport::SendTimeoutsFailed, comm::kErrorInvalidHandle,
     [](SerialHarness& h) { h.port->SendText("closed"); }},
    {SerialReport::WriteFailed, 31,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("WriteFile", 31, 1);
         h.port->SendText("x");
     }},
    {SerialReport::CreateEventFailed, 8,
     [](SerialHarness& h) {
         h.fake.Fail("CreateEventA", 8, 1);
         h.MakePort();
     }},
    {SerialReport::EventExists, 183,
     [](SerialHarness& h) {
         h.fake.SetCreateEventError(183);
         h.MakePort();
     }},
    {SerialReport::ResetEventFailed, 6,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("WriteFile", 31, 1);
         h.fake.Fail("ResetEvent", 6, 1);
         h.port->SendText("x");
     }},
    {SerialReport::SignalEventFailed, 6,
     [](SerialHarness& h) {
         PendingRead(h);
         h.fake.Fail("SetEvent", 6);
         Close(h);
     }},
    {SerialReport::WriteTimeout, comm::kWaitTimeout,
     [](SerialHarness& h) {
         PendingWrite(h);
         h.fake.CompleteWrite(2);
         h.loop.RunFor(75);
     }},
    {SerialReport::WriteResultFailed, 31,
     [](SerialHarness& h) {
         PendingWrite(h);
         h.fake.CompleteWrite(0, 31);
         h.loop.RunFor(75);
     }},
    {SerialReport::ClearErrorFailed, 31,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("ClearCommError", 31, 1);
         h.loop.RunFor(75);
     }},
    {SerialReport::ReadFailed, 31,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Receive(std::vector<std::uint8_t>(10, 'r'));
         h.port->SetReadRequest(true);
         h.fake.Fail("ReadFile", 31, 1);
         h.loop.RunFor(75);
     }},
    {SerialReport::ModemStatusFailed, 31,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("GetCommModemStatus", 31, 1);
         h.loop.RunFor(75);
     }},
    {SerialReport::WaitCommEventFailed, 87,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("WaitCommEvent", 87, 1);
         h.fake.RaiseCommEvent(comm::kEvRxChar);
         h.loop.RunFor(75);
     }},
    {SerialReport::ReadAborted, comm::kErrorOperationAborted,
     [](SerialHarness& h) {
         PendingRead(h);
         Close(h);
     }},
    {SerialReport::ReadResultFailed, 31,
     [](SerialHarness& h) {
         PendingRead(h);
         h.fake.CompleteRead(31);
         h.loop.RunFor(75);
     }},
    {SerialReport::TwoEventWaitFailed, comm::kWaitFailed,
     [](SerialHarness& h) {
         PendingRead(h);
         h.fake.Fail("WaitForMultipleObjects", 6, 1);
         h.loop.RunFor(100);
     }},
    {SerialReport::ReadWaitFailed, comm::kWaitFailed,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("WaitCommEvent", 87);
         h.fake.RaiseCommEvent(comm::kEvRxChar);
         PendingRead(h);
         h.fake.Fail("WaitForSingleObject", 6, 1);
         h.loop.RunFor(100);
     }},
    {SerialReport::EventWaitFailed, comm::kWaitFailed,
     [](SerialHarness& h) {
         h.Open();
         h.fake.Fail("WaitForSingleObject", 6, 1);
         h.loop.RunFor(100);
     }},
};
static_assert(std::size(kCases) == std::size(kSerialReports), "one case per report");

bool Contains(const std::vector<SeenReport>& reports, const SeenReport& report) {
    return std::find(reports.begin(), reports.end(), report) != reports.end();
}

TEST(SerialReports, EveryReportWithPlaceCodeMessageAndLevel) {
    for (const ReportCase& c : kCases) {
        const ReportRow& row = ReportOf(c.Id);
        const SeenReport expected{row.Place, c.Code, std::string(row.Msg)};
        SCOPED_TRACE(::testing::PrintToString(expected));
        {
            SerialHarness h;
            h.port->SetErrorNoise(row.Level);
            c.Provoke(h);
            EXPECT_TRUE(Contains(h.reports, expected)) << ::testing::PrintToString(h.reports);
        }
        if (row.Level > 0) {
            SerialHarness h;
            h.port->SetErrorNoise(row.Level - 1);
            c.Provoke(h);
            EXPECT_FALSE(Contains(h.reports, expected)) << "filtered out below its level";
        }
    }
}

TEST(SerialReports, EveryCaseProvokesItsOwnReport) {
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(kCases[i].Id), i);
    }
}

TEST(SerialReports, LevelsFollowTheMessageKind) {
    for (const ReportRow& row : kSerialReports) {
        const std::uint8_t level = row.Msg.starts_with("Error")     ? kLevelError
                                   : row.Msg.starts_with("Warning") ? kLevelWarning
                                                                    : kLevelMessage;
        EXPECT_EQ(row.Level, level) << row.Msg;
    }
}

} // namespace
} // namespace lum::serial::testing

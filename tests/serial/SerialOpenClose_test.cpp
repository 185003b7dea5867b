// Construction, the open and close sequences call for call, and the port's name and state.
#include "SerialFixture.h"

#include <algorithm>

namespace lum::serial::testing {
namespace {

using platform::kInvalidCommHandle;
namespace comm = platform::comm;

using SerialOpenClose = SerialFixture;

TEST_F(SerialOpenClose, ConstructedValues) {
    const TSerialPortNG& p = *port;
    EXPECT_FALSE(p.Active());
    EXPECT_EQ(p.ComHandle(), kInvalidCommHandle);
    EXPECT_EQ(p.CommPort(), "COM2");
    EXPECT_EQ(p.BaudRate(), 9600u);
    EXPECT_EQ(p.ParityType(), 0);
    EXPECT_EQ(p.ParityErrorChar(), 0);
    EXPECT_FALSE(p.ParityErrorReplacement());
    EXPECT_EQ(p.StopBits(), 0);
    EXPECT_EQ(p.DataBits(), 8);
    EXPECT_EQ(p.XONChar(), 17);
    EXPECT_EQ(p.XOFFChar(), 19);
    EXPECT_EQ(p.XONLimDiv(), 33);
    EXPECT_EQ(p.XOFFLimDiv(), 33);
    EXPECT_EQ(p.FlowControl(), 0);
    EXPECT_FALSE(p.StripNullChars());
    EXPECT_EQ(p.EventChar(), 0);
    EXPECT_EQ(p.RTOCharDelayTime(), 1100u);
    EXPECT_EQ(p.RTOExtraDelayTime(), 250);
    EXPECT_EQ(p.ClusterSize(), 3072);
    EXPECT_EQ(p.RxQueueSize(), 4096);
    EXPECT_EQ(p.TxQueueSize(), 4096);
    EXPECT_EQ(p.WTOCharDelayTime(), 1100u);
    EXPECT_EQ(p.WTOExtraDelayTime(), 250);
    EXPECT_TRUE(p.XTOAuto());
    EXPECT_TRUE(p.RTSState());
    EXPECT_TRUE(p.DTRState());
    EXPECT_FALSE(p.BREAKState());
    EXPECT_FALSE(p.CTSState() || p.DSRState() || p.RLSDState() || p.RingState());
    EXPECT_EQ(p.ErrorNoise(), 255);
    EXPECT_FALSE(p.ReadRequest());
    EXPECT_FALSE(p.SendInProgress());
    EXPECT_EQ(p.CommError() + p.CommStateFlags() + p.CommStateInQueue() + p.CommStateOutQueue() +
                  p.ModemState() + p.CommEvent() + p.WrittenBytes(),
              0u);
    EXPECT_EQ(p.ClusterCount(), 0u);
    // Three manual-reset events, and the port is not opened.
    EXPECT_EQ(UiCalls(), (std::vector<std::string>{"CreateEventA(1,0)", "CreateEventA(1,0)",
                                                   "CreateEventA(1,0)"}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(SerialOpenClose, OpenSequence) {
    port->SetCommPort("COM1");
    fake.ClearCalls();
    port->SetActive(true);
    EXPECT_EQ(UiCalls(), (std::vector<std::string>{
                             "CreateFileA(\\\\.\\COM1)", "SetupComm(4096,4096)", "GetCommState()",
                             "SetCommTimeouts(0)", "SetCommState(9600)", "EscapeCommFunction(5)",
                             "EscapeCommFunction(3)", "SetCommMask(511)"}));
    EXPECT_EQ(reports, (std::vector<SeenReport>{{110, 0, "Msg start reactivating Port"}}));
    EXPECT_TRUE(port->Active());
    EXPECT_NE(port->ComHandle(), kInvalidCommHandle);
    EXPECT_TRUE(port->DTRState());
    EXPECT_TRUE(port->RTSState());
}

TEST_F(SerialOpenClose, CloseSequenceLowersLinesBeforeClosing) {
    Open();
    fake.ClearCalls();
    reports.clear();
    const std::uint64_t start = loop.Now();
    port->SetActive(false);
    // The worker goes idle within the first poll.
    EXPECT_EQ(UiCalls(), (std::vector<std::string>{"SetCommMask(0)", "PurgeComm(15)", "Sleep(75)",
                                                   "EscapeCommFunction(6)", "EscapeCommFunction(4)",
                                                   "CloseHandle()"}));
    EXPECT_EQ(loop.Now() - start, 75u);
    EXPECT_EQ(reports, (std::vector<SeenReport>{{100, 0, "Msg start deactivating Port"}}));
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->ComHandle(), kInvalidCommHandle);
    EXPECT_FALSE(port->DTRState());
    EXPECT_FALSE(port->RTSState());
}

TEST_F(SerialOpenClose, DeviceNameUsesFirst79Characters) {
    const std::string longName(100, 'x');
    port->SetCommPort(longName);
    port->SetActive(true);
    const std::vector<std::string> calls = UiCalls();
    EXPECT_NE(
        std::find(calls.begin(), calls.end(), "CreateFileA(\\\\.\\" + longName.substr(0, 79) + ")"),
        calls.end());
}

TEST_F(SerialOpenClose, CommPortChanges) {
    struct Case {
        const char* Name;
        bool OpenFirst;
        const char* NewName;
        std::vector<std::uint32_t> Places; // reports raised by the write
        bool ActiveAfter;
    };
    const Case cases[] = {
        {"same name while open does nothing", true, "COM1", {}, true},
        {"new name while open reopens", true, "COM3", {100, 110}, true},
        {"new name while closed stays closed", false, "COM3", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakePort();
        port->SetCommPort("COM1");
        if (c.OpenFirst) {
            port->SetActive(true);
        }
        reports.clear();
        fake.ClearCalls();
        port->SetCommPort(c.NewName);
        std::vector<std::uint32_t> places;
        for (const SeenReport& report : reports) {
            places.push_back(report.Place);
        }
        EXPECT_EQ(places, c.Places);
        EXPECT_EQ(port->Active(), c.ActiveAfter);
        EXPECT_EQ(port->CommPort(), c.NewName);
        EXPECT_EQ(CountCalls("CreateFileA"), c.Places.empty() ? 0u : 1u);
    }
}

TEST_F(SerialOpenClose, MissingDeviceStaysClosed) {
    fake.Fail("CreateFileA", comm::kErrorFileNotFound);
    port->SetActive(true);
    EXPECT_FALSE(port->Active());
    EXPECT_EQ(port->ComHandle(), kInvalidCommHandle);
    EXPECT_EQ(reports, (std::vector<SeenReport>{{110, 0, "Msg start reactivating Port"},
                                                {112, 2, "Error reopening Port"}}));
    EXPECT_EQ(CountCalls("SetupComm"), 0u);
}

TEST_F(SerialOpenClose, OutputLines) {
    struct Case {
        const char* Name;
        void (TSerialPortNG::*Set)(bool);
        bool (TSerialPortNG::*Get)() const;
        const char* CallOn;
        const char* CallOff;
    };
    const Case cases[] = {
        {"DTR", &TSerialPortNG::SetDTRState, &TSerialPortNG::DTRState, "EscapeCommFunction(5)",
         "EscapeCommFunction(6)"},
        {"RTS", &TSerialPortNG::SetRTSState, &TSerialPortNG::RTSState, "EscapeCommFunction(3)",
         "EscapeCommFunction(4)"},
        {"BREAK", &TSerialPortNG::SetBREAKState, &TSerialPortNG::BREAKState, "SetCommBreak()",
         "ClearCommBreak()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakePort();
        const bool constructed = ((*port).*c.Get)();
        fake.ClearCalls();
        ((*port).*c.Set)(!constructed);
        EXPECT_EQ(((*port).*c.Get)(), constructed) << "a write while closed changes nothing";
        EXPECT_TRUE(UiCalls().empty());

        port->SetCommPort("COM1");
        port->SetActive(true);
        fake.ClearCalls();
        ((*port).*c.Set)(false);
        ((*port).*c.Set)(false); // every write drives the line, equal or not
        ((*port).*c.Set)(true);
        EXPECT_EQ(UiCalls(), (std::vector<std::string>{c.CallOff, c.CallOff, c.CallOn}));
        EXPECT_TRUE(((*port).*c.Get)());
    }
}

TEST_F(SerialOpenClose, LineKeepsNewValueAfterFailedCall) {
    Open();
    fake.Fail("EscapeCommFunction", comm::kErrorInvalidFunction, 1);
    port->SetDTRState(false);
    EXPECT_FALSE(port->DTRState());
    EXPECT_EQ(reports.back(), (SeenReport{602, 1, "Error clearing DTR"}));
}

TEST_F(SerialOpenClose, ClosedPortAfterCloseKeepsLinesLow) {
    Open();
    port->SetActive(false);
    port->SetDTRState(true);
    EXPECT_FALSE(port->DTRState());
    port->SetActive(true);
    EXPECT_TRUE(port->DTRState());
    EXPECT_TRUE(port->RTSState());
}

TEST_F(SerialOpenClose, DestructionClosesPortAndReleasesEvents) {
    Open();
    fake.ClearCalls();
    reports.clear();
    port.reset();
    const std::vector<std::string> calls = UiCalls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls.front(), "SetCommMask(0)");
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"CloseEvent()", "CloseEvent()", "CloseEvent()"}));
    EXPECT_EQ(fake.OpenEvents(), 0u);
    EXPECT_TRUE(reports.empty()) << "no report reaches the handler during destruction";
}

} // namespace
} // namespace lum::serial::testing

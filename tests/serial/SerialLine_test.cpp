// Line settings: the DCB and time-outs written on opening, which property writes re-apply
// them, the character delay times derived from the baud rate, and the queue sizes.
#include "SerialFixture.h"

#include <functional>

namespace lum::serial::testing {
namespace {

namespace comm = platform::comm;

using SerialLine = SerialFixture;

TEST_F(SerialLine, OpeningWritesDcbAndTimeouts) {
    Open();
    const platform::CommDcb dcb = fake.Dcb();
    EXPECT_EQ(dcb.DCBlength, 28u) << "kept as read";
    EXPECT_EQ(dcb.wReserved, 0x1111) << "kept as read";
    EXPECT_EQ(dcb.wReserved1, 0x2222) << "kept as read";
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.Flags, comm::kDcbBinary) << "every other bit of the flag word is cleared";
    EXPECT_EQ(dcb.XonLim, 1351);
    EXPECT_EQ(dcb.XoffLim, 1351);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(dcb.ErrorChar, 0);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
    EXPECT_EQ(fake.Timeouts(), (platform::CommTimeouts{comm::kMaxDword, 0, 0, 0, 0}));
}

TEST_F(SerialLine, DcbFieldsFollowProperties) {
    struct Case {
        const char* Name;
        std::function<void(TSerialPortNG&)> Set;
        std::function<bool(const platform::CommDcb&)> Holds;
    };
    const Case cases[] = {
        {"parity sets fParity", [](TSerialPortNG& p) { p.SetParityType(comm::kEvenParity); },
         [](const platform::CommDcb& d) {
             return d.Parity == comm::kEvenParity &&
                    d.Flags == (comm::kDcbBinary | comm::kDcbParity);
         }},
        {"error replacement",
         [](TSerialPortNG& p) {
             p.SetParityErrorReplacement(true);
             p.SetParityErrorChar('?');
         },
         [](const platform::CommDcb& d) {
             return d.ErrorChar == '?' && d.Flags == (comm::kDcbBinary | comm::kDcbErrorChar);
         }},
        {"flow control OR-ed in unchanged",
         [](TSerialPortNG& p) { p.SetFlowControl(comm::kDcbOutxCtsFlow | comm::kDcbRtsHandshake); },
         [](const platform::CommDcb& d) {
             return d.Flags == (comm::kDcbBinary | comm::kDcbOutxCtsFlow | comm::kDcbRtsHandshake);
         }},
        {"null stripping", [](TSerialPortNG& p) { p.SetStripNullChars(true); },
         [](const platform::CommDcb& d) { return d.Flags == (comm::kDcbBinary | comm::kDcbNull); }},
        {"framing",
         [](TSerialPortNG& p) {
             p.SetDataBits(7);
             p.SetStopBits(comm::kTwoStopBits);
         },
         [](const platform::CommDcb& d) {
             return d.ByteSize == 7 && d.StopBits == comm::kTwoStopBits;
         }},
        {"handshake characters",
         [](TSerialPortNG& p) {
             p.SetXONChar('a');
             p.SetXOFFChar('b');
             p.SetEventChar('\n');
         },
         [](const platform::CommDcb& d) {
             return d.XonChar == 'a' && d.XoffChar == 'b' && d.EvtChar == '\n';
         }},
        {"limits are percentages of the input queue",
         [](TSerialPortNG& p) {
             p.SetXONLimDiv(50);
             p.SetXOFFLimDiv(10);
         },
         [](const platform::CommDcb& d) { return d.XonLim == 2048 && d.XoffLim == 409; }},
        {"baud rate", [](TSerialPortNG& p) { p.SetBaudRate(19200); },
         [](const platform::CommDcb& d) { return d.BaudRate == 19200u; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakePort();
        Open();
        c.Set(*port);
        EXPECT_TRUE(c.Holds(fake.Dcb()));
    }
}

TEST_F(SerialLine, WhichWritesReapply) {
    struct Case {
        const char* Name;
        std::function<void(TSerialPortNG&)> Write;
        std::size_t StateWrites; // SetCommState calls the write makes on an open port
    };
    const Case cases[] = {
        // The derived write time changes too, and re-applies first.
        {"BaudRate new", [](TSerialPortNG& p) { p.SetBaudRate(4800); }, 2},
        {"BaudRate new, same delay", [](TSerialPortNG& p) { p.SetBaudRate(9700); }, 1},
        {"BaudRate equal", [](TSerialPortNG& p) { p.SetBaudRate(9600); }, 0},
        {"ParityType new", [](TSerialPortNG& p) { p.SetParityType(1); }, 1},
        {"ParityType equal", [](TSerialPortNG& p) { p.SetParityType(0); }, 0},
        {"ParityErrorChar new", [](TSerialPortNG& p) { p.SetParityErrorChar('x'); }, 1},
        {"ParityErrorReplacement new", [](TSerialPortNG& p) { p.SetParityErrorReplacement(true); },
         1},
        {"StopBits new", [](TSerialPortNG& p) { p.SetStopBits(2); }, 1},
        {"DataBits new", [](TSerialPortNG& p) { p.SetDataBits(7); }, 1},
        {"DataBits equal", [](TSerialPortNG& p) { p.SetDataBits(8); }, 0},
        {"XONChar new", [](TSerialPortNG& p) { p.SetXONChar(1); }, 1},
        {"XOFFChar new", [](TSerialPortNG& p) { p.SetXOFFChar(2); }, 1},
        {"XONLimDiv new", [](TSerialPortNG& p) { p.SetXONLimDiv(40); }, 1},
        {"XONLimDiv equal", [](TSerialPortNG& p) { p.SetXONLimDiv(33); }, 0},
        {"XOFFLimDiv new", [](TSerialPortNG& p) { p.SetXOFFLimDiv(40); }, 1},
        {"FlowControl new", [](TSerialPortNG& p) { p.SetFlowControl(0x100); }, 1},
        {"StripNullChars new", [](TSerialPortNG& p) { p.SetStripNullChars(true); }, 1},
        {"EventChar new", [](TSerialPortNG& p) { p.SetEventChar('x'); }, 1},
        {"WTOCharDelayTime new", [](TSerialPortNG& p) { p.SetWTOCharDelayTime(10); }, 1},
        {"WTOCharDelayTime equal", [](TSerialPortNG& p) { p.SetWTOCharDelayTime(1100); }, 0},
        {"WTOExtraDelayTime new", [](TSerialPortNG& p) { p.SetWTOExtraDelayTime(10); }, 1},
        {"RTOCharDelayTime stored only", [](TSerialPortNG& p) { p.SetRTOCharDelayTime(10); }, 0},
        {"RTOExtraDelayTime stored only", [](TSerialPortNG& p) { p.SetRTOExtraDelayTime(10); }, 0},
        {"ClusterSize stored only", [](TSerialPortNG& p) { p.SetClusterSize(10); }, 0},
        {"RxQueueSize sets the queues only", [](TSerialPortNG& p) { p.SetRxQueueSize(100); }, 0},
        {"XTOAuto to false", [](TSerialPortNG& p) { p.SetXTOAuto(false); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakePort();
        Open();
        const std::size_t before = CountCalls("SetCommState");
        c.Write(*port);
        EXPECT_EQ(CountCalls("SetCommState") - before, c.StateWrites);
    }
}

TEST_F(SerialLine, ClosedPortWritesOnlyStore) {
    fake.ClearCalls();
    port->SetBaudRate(19200);
    port->SetDataBits(7);
    EXPECT_EQ(CountCalls("SetCommState"), 0u);
    EXPECT_EQ(port->BaudRate(), 19200u);
    Open();
    EXPECT_EQ(fake.Dcb().BaudRate, 19200u);
    EXPECT_EQ(fake.Dcb().ByteSize, 7);
}

TEST_F(SerialLine, AutoCharDelayTimes) {
    struct Case {
        std::uint32_t Baud;
        std::uint32_t Delay;
    };
    const Case cases[] = {{57600, 190},  {50, 1100},  {300000, 43}, {9600, 1100}, {14400, 760},
                          {110, 100000}, {109, 1100}, {19199, 760}, {115200, 95}, {256000, 43}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Baud);
        MakePort();
        port->SetBaudRate(c.Baud);
        EXPECT_EQ(port->RTOCharDelayTime(), c.Delay);
        EXPECT_EQ(port->WTOCharDelayTime(), c.Delay);
    }
}

TEST_F(SerialLine, XTOAutoSwitch) {
    port->SetXTOAuto(false);
    port->SetBaudRate(57600);
    EXPECT_EQ(port->RTOCharDelayTime(), 1100u) << "no derivation while off";
    port->SetXTOAuto(true);
    EXPECT_EQ(port->RTOCharDelayTime(), 190u);
    EXPECT_EQ(port->WTOCharDelayTime(), 190u);
    port->SetXTOAuto(false);
    EXPECT_EQ(port->WTOCharDelayTime(), 190u) << "switching off keeps the times";
}

TEST_F(SerialLine, AutoDelayReappliesBeforeBaudRate) {
    Open();
    fake.ClearCalls();
    port->SetBaudRate(57600);
    // The write time changes first (one application with the old rate), then the rate.
    EXPECT_EQ(CountCalls("SetCommState"), 2u);
    EXPECT_EQ(fake.Calls().back().Args, (std::vector<std::uint64_t>{57600}));
}

TEST_F(SerialLine, LimitPercentagesAreClamped) {
    struct Case {
        void (TSerialPortNG::*Set)(std::uint8_t);
        std::uint8_t (TSerialPortNG::*Get)() const;
        std::uint8_t Value;
        std::uint8_t Stored;
        std::vector<SeenReport> Reports;
    };
    const Case cases[] = {
        {&TSerialPortNG::SetXONLimDiv,
         &TSerialPortNG::XONLimDiv,
         150,
         100,
         {{100, 150, "Warning XOnLimDef set to 100"}}},
        {&TSerialPortNG::SetXONLimDiv, &TSerialPortNG::XONLimDiv, 100, 100, {}},
        {&TSerialPortNG::SetXOFFLimDiv,
         &TSerialPortNG::XOFFLimDiv,
         101,
         100,
         {{100, 101, "Warning XOffLimDef set to 100"}}},
        {&TSerialPortNG::SetXOFFLimDiv, &TSerialPortNG::XOFFLimDiv, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int{c.Value});
        MakePort();
        reports.clear();
        ((*port).*c.Set)(c.Value);
        EXPECT_EQ(((*port).*c.Get)(), c.Stored);
        EXPECT_EQ(reports, c.Reports);
    }
}

TEST_F(SerialLine, QueueSizesGoToTheDriverAtOnce) {
    Open();
    fake.ClearCalls();
    port->SetRxQueueSize(1024);
    port->SetTxQueueSize(512);
    port->SetTxQueueSize(512);
    EXPECT_EQ(UiCalls(), (std::vector<std::string>{"SetupComm(1024,4096)", "SetupComm(1024,512)"}));
    // XonLim follows only at the next application of the line settings.
    EXPECT_EQ(fake.Dcb().XonLim, 1351);
    port->SetDataBits(7);
    EXPECT_EQ(fake.Dcb().XonLim, 337);
}

} // namespace
} // namespace lum::serial::testing

// The display's device going away and coming back, on virtual time with the scripted comm
// layer: the loss noticed from every code a vanished device gives, the port closed and opened
// again once a second without a message, and the display's state back once the device is.
#include "plugin/DeviceLoss.h"
#include "serial/SerialReports.h"
#include "support/PluginHarness.h"

#include <algorithm>

namespace lum::test {
namespace {

namespace comm = platform::comm;

class ReconnectTest : public PluginTest {
protected:
    // Loads with the display on (or off) and lets the refresh run.
    void Start(bool displayOn) {
        Settings settings;
        settings.DisplayOff = !displayOn;
        WriteSettings(settings);
        record_ = &Load();
        Advance(6'000);
    }

    // The device goes: writes fail with `code`, and it cannot be opened.
    void Unplug(std::uint32_t code = comm::kErrorDeviceNotConnected) {
        comm.Fail("WriteFile", code);
        comm.Fail("CreateFileA", comm::kErrorFileNotFound);
    }

    void Replug() {
        comm.Unfail("WriteFile");
        comm.Unfail("CreateFileA");
    }

    [[nodiscard]] int CallsOf(std::string_view name) const {
        const auto calls = comm.Calls();
        return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                              [name](const auto& c) { return c.Name == name; }));
    }

    // The writes that started at or after `from`.
    [[nodiscard]] std::vector<LineWrite> WritesFrom(std::uint64_t from) const {
        std::vector<LineWrite> writes;
        for (const LineWrite& write : Writes()) {
            if (write.At >= from) {
                writes.push_back(write);
            }
        }
        return writes;
    }

    [[nodiscard]] std::uint64_t Now() const { return loop.Now(); }

    PluginRecord* record_ = nullptr;
};

TEST(DeviceLoss, OnlyTrafficReportsWithTheCodesOfAVanishedDevice) {
    const auto place = [](serial::SerialReport id) { return serial::ReportOf(id).Place; };
    const struct {
        std::uint32_t Place;
        std::uint32_t Code;
        bool Lost;
    } cases[] = {
        {place(serial::SerialReport::WriteFailed), comm::kErrorBadCommand, true},
        {place(serial::SerialReport::WriteResultFailed), comm::kErrorGenFailure, true},
        {place(serial::SerialReport::ReadFailed), comm::kErrorAccessDenied, true},
        {place(serial::SerialReport::ReadResultFailed), comm::kErrorOperationAborted, true},
        {place(serial::SerialReport::WaitCommEventFailed), comm::kErrorDeviceNotConnected, true},
        {place(serial::SerialReport::ClearErrorFailed), comm::kErrorSemTimeout, true},
        {place(serial::SerialReport::ModemStatusFailed), comm::kErrorNotReady, true},
        {place(serial::SerialReport::WriteFailed), comm::kErrorInvalidHandle, false},
        {place(serial::SerialReport::OpenFailed), comm::kErrorFileNotFound, false},
        {place(serial::SerialReport::OpenFailed), comm::kErrorGenFailure, false},
        {place(serial::SerialReport::WriteTimeout), comm::kErrorSemTimeout, false},
        {place(serial::SerialReport::SetupQueuesFailed), comm::kErrorNotReady, false},
        {place(serial::SerialReport::SendWhilePending), 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDeviceLoss(c.Place, c.Code), c.Lost) << c.Place << " " << c.Code;
    }
}

// Every code a vanished device gives, on a failing frame: the port closes, is tried once a
// second without a message, and once the device is back the start sequence runs again.
TEST_F(ReconnectTest, UnplugDuringAFrameAndBackAfterTenSeconds) {
    for (const std::uint32_t code :
         {comm::kErrorBadCommand, comm::kErrorGenFailure, comm::kErrorAccessDenied,
          comm::kErrorOperationAborted, comm::kErrorDeviceNotConnected, comm::kErrorSemTimeout,
          comm::kErrorNotReady}) {
        SCOPED_TRACE(code);
        Start(true);
        Unplug(code);
        comm.ClearCalls();
        Advance(10'000);
        EXPECT_GE(CallsOf("CloseHandle"), 1);
        const int attempts = CallsOf("CreateFileA");
        EXPECT_GE(attempts, 9);
        EXPECT_LE(attempts, 11);
        EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD off"); // still switched on

        Replug();
        const std::uint64_t back = Now();
        Advance(3'000);
        const auto writes = WritesFrom(back);
        ASSERT_GE(writes.size(), 3u);
        EXPECT_EQ(writes[0].Bytes, "\x14");
        EXPECT_EQ(writes[1].Bytes, "\r\n");
        EXPECT_EQ(writes[2].Bytes, kBanner);
        EXPECT_LE(writes[2].At - back, 2'600u); // up to 1 s to notice, 1.55 s of start sequence
        EXPECT_EQ(writes[1].At - writes[0].At, 250u);
        EXPECT_TRUE(MessageTexts().empty());
        Unload();
        comm.ClearCalls();
    }
}

// Wine opens a COM port whose device is missing, but the line's queues and state cannot be set
// up: that is not the device's return, and the attempts go on until the line answers.
TEST_F(ReconnectTest, ANameThatOpensOntoNoDeviceIsNotTheDevicesReturn) {
    Start(true);
    comm.Fail("WriteFile", comm::kErrorNotReady);
    comm.Fail("SetupComm", comm::kErrorInvalidFunction);
    comm.Fail("GetCommState", comm::kErrorInvalidFunction);
    Advance(1'000);
    comm.ClearCalls();
    Advance(5'000);
    EXPECT_GE(CallsOf("CreateFileA"), 4);
    EXPECT_EQ(CallsOf("WriteFile"), 0) << "no start sequence on a line that is not there";
    EXPECT_EQ(CallsOf("CreateFileA"), CallsOf("CloseHandle"));

    for (const char* name : {"WriteFile", "SetupComm", "GetCommState"}) {
        comm.Unfail(name);
    }
    const std::uint64_t back = Now();
    Advance(3'000);
    const auto writes = WritesFrom(back);
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes[0].Bytes, "\x14");
    EXPECT_EQ(writes[2].Bytes, kBanner);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(ReconnectTest, UnplugWhileTheDisplayIsOffKeepsItOff) {
    Start(false);
    const std::size_t before = Writes().size();
    // No frame goes out: the worker's status reads find the device gone.
    comm.Fail("ClearCommError", comm::kErrorGenFailure);
    comm.Fail("CreateFileA", comm::kErrorFileNotFound);
    Advance(3'000);
    EXPECT_GE(CallsOf("CloseHandle"), 1);
    comm.Unfail("ClearCommError");
    comm.Unfail("CreateFileA");
    comm.ClearCalls();
    Advance(3'000);
    EXPECT_EQ(CallsOf("CreateFileA"), 1);
    // The port opens with DTR up (SETDTR 5); the display is off, so it goes down (CLRDTR 6).
    std::vector<std::uint64_t> dtr;
    for (const auto& call : comm.Calls()) {
        if (call.Name == "EscapeCommFunction" && (call.Args.at(0) == 5 || call.Args.at(0) == 6)) {
            dtr.push_back(call.Args.at(0));
        }
    }
    EXPECT_EQ(dtr, (std::vector<std::uint64_t>{5, 6}));
    EXPECT_EQ(Writes().size(), before); // no start sequence, no frame
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
    EXPECT_TRUE(MessageTexts().empty());
}

// The display switched off and on while its device is gone: what the button says is what the
// display gets once the device is back, and nothing is sent meanwhile.
TEST_F(ReconnectTest, SwitchingWhileTheDeviceIsGone) {
    Start(true);
    Unplug();
    Advance(1'500);
    Click("MainForm", "Panel7");
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");
    const std::size_t before = Writes().size();
    Advance(2'000);
    EXPECT_EQ(Writes().size(), before);
    Replug();
    Advance(3'000);
    EXPECT_EQ(Writes().size(), before);
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD on");

    Unplug();
    Advance(50);
    Click("MainForm", "Panel7"); // on again: its first byte finds the device gone
    Advance(2'000);
    EXPECT_EQ(Control("MainForm", "Panel7").Text(), "VFD off");
    Replug();
    const std::uint64_t back = Now();
    Advance(3'000);
    const auto writes = WritesFrom(back);
    ASSERT_GE(writes.size(), 1u);
    EXPECT_EQ(writes[0].Bytes, "\x14");
}

// "OK" in the dialog while the device is gone: the port stays closed, nothing is sent and no
// message shows; the display gets the dialog's state once the device is back, started once.
TEST_F(ReconnectTest, DialogOkWhileTheDeviceIsGone) {
    for (const bool displayOff : {false, true}) {
        SCOPED_TRACE(displayOff);
        Start(true);
        Unplug();
        Advance(1'500);
        Click("MainForm", "Panel13");
        if (displayOff) {
            Click("configform", "CheckBox2");
        }
        Click("configform", "Panel2");
        comm.ClearCalls();
        Advance(2'500);
        EXPECT_EQ(CallsOf("WriteFile"), 0);
        EXPECT_EQ(Control("MainForm", "Panel7").Text(), displayOff ? "VFD on" : "VFD off");
        Replug();
        const std::uint64_t back = Now();
        Advance(3'000);
        const auto writes = WritesFrom(back);
        if (displayOff) {
            EXPECT_TRUE(writes.empty());
        } else {
            ASSERT_GE(writes.size(), 4u);
            EXPECT_EQ(writes[0].Bytes, "\x14");
            EXPECT_EQ(writes[1].Bytes, "\r\n");
            EXPECT_EQ(std::count(writes.begin(), writes.end(), writes[0]), 1)
                << "one start sequence";
        }
        EXPECT_TRUE(MessageTexts().empty()) << MessageTexts().front();
        Unload();
        comm.ClearCalls();
    }
}

TEST_F(ReconnectTest, QuitWhileTheDeviceIsGoneLeavesNothingPending) {
    Start(true);
    Unplug();
    Advance(2'500);
    record_->quit();
    EXPECT_FALSE(Form("MainForm").FindTimer("ReconnectTimer")->Enabled());
    comm.ClearCalls();
    Replug();
    Advance(3'000);
    EXPECT_EQ(CallsOf("CreateFileA"), 0);
    EXPECT_TRUE(MessageTexts().empty());
}

} // namespace
} // namespace lum::test

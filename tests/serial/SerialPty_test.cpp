// The component over real ptys through the POSIX comm layer, served by the headless loop:
// line settings in the kernel, bytes both ways, open failures, the port held exclusively, and
// the device vanishing.
#include "SerialFixture.h"
#include "platform/headless/RealTimeLoop.h"
#include "platform/posix/PortOpenFailures.h"
#include "support/PtyPair.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace lum::serial::testing {
namespace {

using namespace std::chrono_literals;
namespace comm = platform::comm;

class SerialPty : public ::testing::Test {
protected:
    SerialPty() { port = MakePort(); }
    ~SerialPty() override { port.reset(); }

    std::unique_ptr<TSerialPortNG> MakePort() {
        return std::make_unique<TSerialPortNG>(ui, platform::SystemComm(),
                                               [this](TSerialPortNG&, std::uint32_t place,
                                                      std::uint32_t code, const std::string& msg) {
                                                   reports.push_back({place, code, msg});
                                               });
    }

    void Open(const std::string& path) {
        port->SetCommPort(path);
        port->SetActive(true);
        ASSERT_TRUE(port->Active());
    }

    bool Reported(std::uint32_t place) const {
        return std::any_of(reports.begin(), reports.end(),
                           [place](const SeenReport& r) { return r.Place == place; });
    }

    platform::headless::RealTimeLoop ui;
    PtyPair pty;
    std::vector<SeenReport> reports;
    std::unique_ptr<TSerialPortNG> port;
};

TEST_F(SerialPty, LineSettingsReachTheTty) {
    struct Case {
        std::uint32_t Baud;
        std::uint8_t DataBits;
        std::uint8_t Parity;
        std::uint8_t StopBits;
        TtySettings Expected;
    };
    const Case cases[] = {
        {2400, 8, 0, 0, {2400, 8, false, false}},
        {4800, 8, 0, 0, {4800, 8, false, false}},
        {9600, 8, 0, 0, {9600, 8, false, false}},
        {14400, 8, 0, 0, {14400, 8, false, false}},
        {19200, 8, 0, 0, {19200, 8, false, false}},
        // A pty keeps 8 data bits without parity whatever it is told; stop bits it keeps.
        {57600, 8, comm::kNoParity, comm::kTwoStopBits, {57600, 8, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Baud);
        port->SetBaudRate(c.Baud);
        port->SetDataBits(c.DataBits);
        port->SetParityType(c.Parity);
        port->SetStopBits(c.StopBits);
        if (!port->Active()) {
            Open(pty.SlavePath());
        }
        const TtySettings settings = pty.Settings();
        EXPECT_EQ(settings.BaudRate, c.Expected.BaudRate);
        EXPECT_EQ(settings.DataBits, c.Expected.DataBits);
        EXPECT_EQ(settings.Parity, c.Expected.Parity);
        EXPECT_EQ(settings.TwoStopBits, c.Expected.TwoStopBits);
    }
}

TEST_F(SerialPty, ManyShortTextsNeverWriteTheCallersBytes) {
    Open(pty.SlavePath());
    // The master reads slowly at first, so that writes go pending and the worker ends them
    // while the user-interface thread keeps sending; every caller's text is spoiled with 'X'
    // right after SendText returns and then released.
    std::atomic<bool> stop{false};
    std::vector<std::uint8_t> received;
    std::thread reader([&] {
        for (int round = 0; !stop; ++round) {
            if (round < 50) {
                std::this_thread::sleep_for(2ms);
            }
            const std::vector<std::uint8_t> chunk = pty.Read(4096, 5ms);
            received.insert(received.end(), chunk.begin(), chunk.end());
        }
    });
    std::size_t accepted = 0;
    for (int i = 0; i < 5000; ++i) {
        auto text = std::make_unique<std::string>(1 + i % 64, static_cast<char>('A' + i % 20));
        const bool free = !port->SendInProgress();
        port->SendText(*text);
        accepted += free ? 1 : 0;
        std::fill(text->begin(), text->end(), 'X');
        text.reset();
        ui.ServePending();
    }
    ASSERT_TRUE(ui.ServeUntil([&] { return !port->SendInProgress(); }, 5s));
    std::this_thread::sleep_for(200ms);
    stop = true;
    reader.join();
    EXPECT_EQ(std::count(received.begin(), received.end(), 'X'), 0);
    EXPECT_GT(accepted, 0u);
}

TEST_F(SerialPty, FramesArriveInOrder) {
    Open(pty.SlavePath());
    std::string sent;
    for (int frame = 0; frame < 5; ++frame) {
        const std::string text = "frame " + std::to_string(frame) + "\r\n";
        ASSERT_TRUE(ui.ServeUntil([&] { return !port->SendInProgress(); }, 2s));
        port->SendText(text);
        sent += text;
    }
    EXPECT_EQ(pty.Read(sent.size(), 2s), Bytes(sent));
    EXPECT_TRUE(ui.ServeUntil([&] { return !port->SendInProgress(); }, 2s));
    EXPECT_EQ(port->WrittenBytes(), 9u);
    EXPECT_FALSE(Reported(901)) << "every frame waited for the one before";
}

TEST_F(SerialPty, ModemLinesOfAPtyFailAndAreReported) {
    Open(pty.SlavePath());
    EXPECT_TRUE(Reported(601));
    EXPECT_TRUE(Reported(501));
    EXPECT_FALSE(Reported(112));
}

TEST_F(SerialPty, ReceivedBytesComeBackAsClusters) {
    Open(pty.SlavePath());
    int rxChars = 0;
    port->OnRxCharEvent = [&](TSerialPortNG&) { ++rxChars; };
    pty.Write("abc");
    // The cluster is appended before the comm event that announced the bytes is dispatched.
    ASSERT_TRUE(ui.ServeUntil([&] { return port->ClusterCount() > 0 && rxChars > 0; }, 5s));
    const std::optional<TSerialCluster> cluster = port->TakeCluster();
    ASSERT_TRUE(cluster);
    EXPECT_EQ(
        std::vector<std::uint8_t>(cluster->DataPtr(), cluster->DataPtr() + cluster->DataSize()),
        Bytes("abc"));
    EXPECT_EQ(cluster->ErrorFlags(), 0u);
}

TEST_F(SerialPty, OpenFailures) {
    const std::string notATty = ::testing::TempDir() + "serial_not_a_tty";
    std::ofstream(notATty) << "x";
    auto other = MakePort();
    other->SetCommPort(pty.SlavePath());
    other->SetActive(true);
    ASSERT_TRUE(other->Active());
    std::vector<std::pair<std::string, int>> heard;
    platform::posix::SetPortOpenFailureHandler(
        [&heard](const std::string& path, int error) { heard.emplace_back(path, error); });
    struct Case {
        std::string Name;
        std::uint32_t Code;
        std::string Path; ///< as the failure handler hears it
        int Error;
    };
    const Case cases[] = {
        {"/dev/no-such-tty", comm::kErrorFileNotFound, "/dev/no-such-tty", ENOENT},
        {"LPT1", comm::kErrorFileNotFound, "\\\\.\\LPT1", ENOENT},
        {notATty, comm::kErrorInvalidFunction, notATty, ENOTTY},
        {pty.SlavePath(), comm::kErrorAccessDenied, pty.SlavePath(), EWOULDBLOCK}, // not shared
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        reports.clear();
        heard.clear();
        port->SetCommPort(c.Name);
        port->SetActive(true);
        EXPECT_FALSE(port->Active());
        EXPECT_EQ(port->ComHandle(), platform::kInvalidCommHandle);
        EXPECT_EQ(reports.back(), (SeenReport{112, c.Code, "Error reopening Port"}));
        EXPECT_EQ(heard, (std::vector<std::pair<std::string, int>>{{c.Path, c.Error}}));
    }
    platform::posix::SetPortOpenFailureHandler(nullptr);
    other.reset();
    std::remove(notATty.c_str());
}

// The errno of a plain open of `path` by another process without privileges (0: it opened).
int OpenElsewhere(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && setresuid(kNobody, kNobody, kNobody) != 0) {
            _exit(255);
        }
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        _exit(fd >= 0 ? 0 : errno);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)
               ? WEXITSTATUS(status)
               : -1;
}

TEST_F(SerialPty, OpenPortIsExclusiveUntilClosed) {
    // Without privileges the other process could not open the slave at all.
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0666), 0);
    auto other = MakePort();
    other->SetCommPort(pty.SlavePath());
    Open(pty.SlavePath());
    // Refused to another opener of the port, and to any other process without privileges; the
    // test's own descriptor of the slave keeps the tty alive across the port's close.
    other->SetActive(true);
    EXPECT_FALSE(other->Active());
    EXPECT_EQ(OpenElsewhere(pty.SlavePath()), EBUSY);
    port->SetActive(false);
    EXPECT_EQ(OpenElsewhere(pty.SlavePath()), 0);
    other->SetActive(true);
    EXPECT_TRUE(other->Active());
    other->SetActive(false);
    // Closed and opened again, as the plug-in's reconnect does.
    for (int round = 0; round < 2; ++round) {
        port->SetActive(true);
        ASSERT_TRUE(port->Active());
        EXPECT_EQ(OpenElsewhere(pty.SlavePath()), EBUSY);
        port->SetActive(false);
    }
    other->SetActive(true);
    EXPECT_TRUE(other->Active());
}

TEST_F(SerialPty, VanishingDeviceEndsTheWriteAndCanBeReplaced) {
    Open(pty.SlavePath());
    // Nobody reads the master, so a long write cannot end before the device goes.
    port->SendText(std::string(256 * 1024, 'x'));
    ASSERT_TRUE(port->SendInProgress());
    pty.CloseMaster();
    EXPECT_TRUE(ui.ServeUntil([&] { return !port->SendInProgress() && Reported(9702); }, 3s));
    // Reports go on while the device is gone, but at the pace of the passes, not in a spin.
    reports.clear();
    ui.ServeFor(1s);
    EXPECT_GT(reports.size(), 0u);
    EXPECT_LT(reports.size(), 60u);

    PtyPair replacement;
    port->SetCommPort(replacement.SlavePath());
    ASSERT_TRUE(port->Active());
    ASSERT_TRUE(ui.ServeUntil([&] { return !port->SendInProgress(); }, 2s));
    port->SendText("back");
    EXPECT_EQ(replacement.Read(4, 2s), Bytes("back"));
}

} // namespace
} // namespace lum::serial::testing

// serialprobe: drives TSerialPortNG on a real Windows COM port (under Wine: a pty mapped to the
// port) the way the plug-in does. It opens the port, writes the given frames one write at a
// time, waiting for each to end, optionally waits for received bytes, and prints what happened:
//
//   serialprobe PORT BAUD [--receive SECONDS] FRAME...
//
// Output lines: "report PLACE CODE MSG" for every report, "open 0|1", "written N" for every
// write that ended, "sent N" and, with
// --receive, "received TEXT" for each cluster. Exit code 0 when the port opened and every
// frame was written in full.
#include "platform/SyncCalls.h"
#include "serial/SerialNG.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace {

using lum::serial::TSerialPortNG;

/// Runs the message loop (which serves the worker's synchronised calls) until `done` holds or
/// `milliseconds` have passed; returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: serialprobe PORT BAUD [--receive SECONDS] FRAME...\n", stderr);
        return 2;
    }
    int first = 3;
    DWORD receiveMilliseconds = 0;
    if (argc > 4 && std::string(argv[3]) == "--receive") {
        receiveMilliseconds = static_cast<DWORD>(std::atoi(argv[4])) * 1000;
        first = 5;
    }
    const std::unique_ptr<lum::platform::SyncCalls> ui = lum::platform::CreateUiThreadCalls();
    bool allWritten = true;
    {
        TSerialPortNG port(
            *ui, lum::platform::SystemComm(),
            [](TSerialPortNG&, std::uint32_t place, std::uint32_t code, const std::string& msg) {
                std::printf("report %u %u %s\n", place, code, msg.c_str());
            });
        port.OnWriteDone = [&](TSerialPortNG& sender) {
            std::printf("written %u\n", sender.WrittenBytes());
        };
        port.SetCommPort(argv[1]);
        port.SetBaudRate(static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)));
        port.SetActive(true);
        std::printf("open %d\n", port.Active() ? 1 : 0);
        int sent = 0;
        for (int i = first; i < argc && port.Active(); ++i) {
            const std::string frame = std::string(argv[i]) + "\r\n";
            if (!PumpUntil([&] { return !port.SendInProgress(); }, 5000)) {
                break;
            }
            port.SendText(frame);
            if (!PumpUntil([&] { return !port.SendInProgress(); }, 5000) ||
                port.WrittenBytes() != frame.size()) {
                allWritten = false;
            }
            ++sent;
        }
        std::printf("sent %d\n", sent);
        allWritten = allWritten && port.Active() && sent == argc - first;
        if (receiveMilliseconds > 0) {
            PumpUntil([&] { return port.ClusterCount() > 0; }, receiveMilliseconds);
            while (const auto cluster = port.TakeCluster()) {
                const auto* bytes = reinterpret_cast<const char*>(cluster->DataPtr());
                std::printf("received %s\n",
                            std::string(bytes, bytes + cluster->DataSize()).c_str());
            }
        }
        std::fflush(stdout);
    }
    std::puts("closed");
    return allWritten ? 0 : 1;
}

#pragma once
// A TSerialPortNG over the scripted comm layer and the virtual-time loop, with its reports
// and raised events recorded in order.

#include "serial/SerialNG.h"
#include "support/FakeComm.h"
#include "support/VirtualUiLoop.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lum::serial::testing {

/// The bytes of `text`, as the component sends and receives them.
inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

/// One report that reached OnProcessError.
struct SeenReport {
    std::uint32_t Place;
    std::uint32_t Code;
    std::string Msg;

    friend bool operator==(const SeenReport&, const SeenReport&) = default;
};

inline void PrintTo(const SeenReport& report, std::ostream* out) {
    *out << "{" << report.Place << ", " << report.Code << ", \"" << report.Msg << "\"}";
}

/// A component on the scripted comm layer, its loop, and what it reported and raised.
struct SerialHarness {
    SerialHarness() { MakePort(); }
    ~SerialHarness() { port.reset(); }
    SerialHarness(const SerialHarness&) = delete;
    SerialHarness& operator=(const SerialHarness&) = delete;

    /// A new component whose reports are recorded from its construction on.
    void MakePort() {
        port.reset();
        reports.clear();
        events.clear();
        port = std::make_unique<TSerialPortNG>(loop, fake,
                                               [this](TSerialPortNG&, std::uint32_t place,
                                                      std::uint32_t code, const std::string& msg) {
                                                   reports.push_back({place, code, msg});
                                               });
    }

    /// Opens the port on "COM1" and lets the worker settle into its first comm event wait.
    void Open() {
        port->SetCommPort("COM1");
        port->SetActive(true);
        loop.RunFor(250);
    }

    /// Records every plain event of the component by name, in the order raised.
    void RecordEvents() {
        const auto record = [this](TNotifyEvent& event, const char* name) {
            event = [this, name](TSerialPortNG&) { events.emplace_back(name); };
        };
        record(port->OnCommEvent, "CommEvent");
        record(port->OnCommStat, "CommStat");
        record(port->OnTxQueueEmptyEvent, "TxQueueEmpty");
        record(port->OnWriteDone, "WriteDone");
        record(port->OnBreakEvent, "Break");
        record(port->OnCTSEvent, "CTS");
        record(port->OnDSREvent, "DSR");
        record(port->OnLineErrorEvent, "LineError");
        record(port->OnRingEvent, "Ring");
        record(port->OnRIEvent, "RI");
        record(port->OnRLSDEvent, "RLSD");
        record(port->OnRxClusterEvent, "RxCluster");
        record(port->OnRxCharEvent, "RxChar");
        record(port->OnRxEventCharEvent, "RxEventChar");
    }

    /// The calls the user-interface thread made, as "Name(arg,arg)".
    [[nodiscard]] std::vector<std::string> UiCalls() const {
        std::vector<std::string> calls;
        for (const platform::virtualtime::FakeComm::Call& call : fake.Calls()) {
            if (!call.FromUi) {
                continue;
            }
            std::string text = call.Name + "(" + call.Text;
            for (std::size_t i = 0; i < call.Args.size(); ++i) {
                text += (i == 0 && call.Text.empty() ? "" : ",") + std::to_string(call.Args[i]);
            }
            calls.push_back(text + ")");
        }
        return calls;
    }

    /// The number of calls of `name`.
    [[nodiscard]] std::size_t CountCalls(const std::string& name) const {
        std::size_t count = 0;
        for (const platform::virtualtime::FakeComm::Call& call : fake.Calls()) {
            count += call.Name == name ? 1 : 0;
        }
        return count;
    }

    platform::virtualtime::VirtualUiLoop loop;
    platform::virtualtime::FakeComm fake{loop};
    std::vector<SeenReport> reports;
    std::vector<std::string> events;
    std::unique_ptr<TSerialPortNG> port;
};

/// The harness as a test fixture.
class SerialFixture : public ::testing::Test, public SerialHarness {};

} // namespace lum::serial::testing

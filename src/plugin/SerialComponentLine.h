#pragma once
// The display's line on the serial port component TSerialPortNG, as the plug-in drives it: every
// call goes to the component as it always has, and its reports become the driver's troubles
// (a failed send, read or line-event wait with a code a vanished device gives; a port that opened
// but whose queues or line state cannot be set up).

#include "driver/DisplayLine.h"
#include "platform/Comm.h"
#include "platform/SyncCalls.h"
#include "serial/SerialNG.h"

namespace lum {

/// A DisplayLine over the serial port component.
class SerialComponentLine final : public DisplayLine {
public:
    /// A closed component on "COM1" at 9600 baud, reporting everything (ErrorNoise 255), whose
    /// worker reaches the user-interface thread through `ui`; both must outlive the line.
    SerialComponentLine(platform::SyncCalls& ui, platform::Comm& comm);

    /// The component itself.
    [[nodiscard]] serial::TSerialPortNG& Component() { return port_; }

    /// The port "COM1" to "COM9" for `comPort` 1 to 9; another number keeps the port.
    void SetPort(std::int32_t comPort) override;
    void SetBaudRate(std::uint32_t rate) override { port_.SetBaudRate(rate); }
    [[nodiscard]] std::uint32_t BaudRate() const override { return port_.BaudRate(); }
    void SetFrame8N1() override;
    void SetOpen(bool open) override { port_.SetActive(open); }
    [[nodiscard]] bool IsOpen() const override { return port_.Active(); }
    void SetDtr(bool on) override { port_.SetDTRState(on); }
    [[nodiscard]] bool Dtr() const override { return port_.DTRState(); }
    void Send(std::string_view text) override { port_.SendText(text); }
    [[nodiscard]] bool SendPending() const override { return port_.SendInProgress(); }
    [[nodiscard]] std::uint32_t OutQueueBytes() const override { return port_.CommStateOutQueue(); }

private:
    /// A report of the component, told on as a trouble when it is one.
    void OnReport(std::uint32_t place, std::uint32_t code);

    serial::TSerialPortNG port_;
};

} // namespace lum

#pragma once
// The display's serial line as the display driver needs it: the line settings, open and close,
// DTR, one write at a time, the output queue for quit's waits, the end of a write for those who
// wait for it, and the troubles the driver reacts to. The plug-in's line is the serial port
// component (plugin/SerialComponentLine.h); lumd brings a line of its own. Everything is
// called on the user-interface thread, and troubles are reported there: inside the call that met
// them (a send that fails at once) or at a later turn of the loop.

#include <cstdint>
#include <functional>
#include <string_view>

namespace lum {

/// What goes wrong on a line that the driver reacts to.
enum class LineTrouble {
    DeviceGone, ///< the device has gone away (unplugged, hung up)
    /// what opened is no serial line (its device is missing behind the name); reported while
    /// SetOpen(true) runs
    NoSerialLine,
};

/// The display's serial line.
class DisplayLine {
public:
    virtual ~DisplayLine() = default;

    /// The port, by the settings' number 1-9 (each line names it as it likes); another number
    /// keeps the port. A new port reopens an open line on it.
    virtual void SetPort(std::int32_t comPort) = 0;
    /// The baud rate; an open line takes it at once.
    virtual void SetBaudRate(std::uint32_t rate) = 0;
    [[nodiscard]] virtual std::uint32_t BaudRate() const = 0;
    /// 8 data bits, one stop bit, no parity, no flow control; an open line takes it at once.
    virtual void SetFrame8N1() = 0;

    /// Opens (DTR and RTS up) or closes (DTR and RTS down) the line; failing to open leaves it
    /// closed.
    virtual void SetOpen(bool open) = 0;
    [[nodiscard]] virtual bool IsOpen() const = 0;
    /// DTR: drives the line while open, does nothing while closed. Reads true before the first
    /// open and false after a close.
    virtual void SetDtr(bool on) = 0;
    [[nodiscard]] virtual bool Dtr() const = 0;

    /// Starts writing `text` (nothing for an empty text, nor while a write is pending or the line
    /// is closed).
    virtual void Send(std::string_view text) = 0;
    /// A write has not ended yet.
    [[nodiscard]] virtual bool SendPending() const = 0;
    /// Bytes written but not yet on the wire, as last known.
    [[nodiscard]] virtual std::uint32_t OutQueueBytes() const = 0;
    /// Asks for one OnSendEnded once the pending write has ended (soon when none is pending). A
    /// line that cannot tell does nothing: the plug-in's line, whose users look again at their
    /// next tick.
    virtual void WatchSendEnd() {}

    /// Hears the line's troubles on the user-interface thread.
    std::function<void(LineTrouble)> OnTrouble;
    /// Hears on the user-interface thread, at a later turn of its loop, that a watched write has
    /// ended and the line takes the next one.
    std::function<void()> OnSendEnded;

protected:
    /// Tells OnTrouble, if set.
    void Report(LineTrouble trouble) {
        if (OnTrouble) {
            OnTrouble(trouble);
        }
    }
    /// Tells OnSendEnded, if set.
    void ReportSendEnded() {
        if (OnSendEnded) {
            OnSendEnded();
        }
    }
};

} // namespace lum

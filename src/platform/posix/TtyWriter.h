#pragma once
// A tty that is only written, driven by events rather than a polling timer: a send writes at
// once on the caller's thread; what the tty does not take then, a writer thread writes as the
// tty takes it (poll for POLLOUT). While nothing remains, the writer sleeps in poll() on nothing
// but the tty's hang-up and its own wake-up, so an idle line wakes no thread. A write that fails
// with a code a vanished device gives, or the tty hanging up, means the device has gone.
//
// A send stays pending until the tty has taken all of it and, by the line's rate (10 bits a
// byte), it has left the wire: bytes the tty takes queue behind those still on the wire. A pty
// or a serial port's kernel buffer takes kilobytes at once and a pty's queue count reads 0, so
// only the rate paces the writes to what the line carries. Asked to, the writer thread says
// when a pending send has ended, waking once at that moment.

#include "platform/posix/PosixTty.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace lum::platform::posix {

/// An open tty written without polling.
class TtyWriter {
public:
    /// Hears, once, that the device has gone; runs on the writer thread or inside Send.
    using GoneHandler = std::function<void()>;
    /// Hears that the send watched with WatchSendEnd has ended; runs on the writer thread.
    using EndHandler = std::function<void()>;

    /// Opens `path` unshared (OpenUnsharedTty) at `baudRate`, 8N1 without flow control, with DTR
    /// and RTS up (a tty without modem lines, such as a pty, goes without them). Null with
    /// `error` set to the errno value when it cannot be opened.
    [[nodiscard]] static std::unique_ptr<TtyWriter> Open(const std::string& path,
                                                         std::uint32_t baudRate, GoneHandler onGone,
                                                         EndHandler onEnd, int& error);
    /// Ends the writer thread, drops what is not yet on the wire, lowers DTR and RTS and closes.
    ~TtyWriter();
    TtyWriter(const TtyWriter&) = delete;
    TtyWriter& operator=(const TtyWriter&) = delete;

    /// Sets the rate (8N1, no flow control); 0 or the errno value.
    [[nodiscard]] int SetBaudRate(std::uint32_t baudRate);
    /// Raises or lowers a modem output line; a tty without them goes without.
    void SetModemLine(ModemLine line, bool on);
    /// Starts writing `bytes`; nothing while a send is pending or after the device has gone.
    void Send(std::string_view bytes);
    /// The last send has not ended: the tty has not taken all of it, or it is still on the wire.
    [[nodiscard]] bool Pending() const;
    /// Asks for the end handler once the pending send has ended (soon when none is pending).
    void WatchSendEnd();
    /// Bytes not yet on the wire: those still waiting for the tty, and those it holds (by the
    /// rate, or by its own count where that is more).
    [[nodiscard]] std::uint32_t OutQueue() const;

private:
    using Clock = std::chrono::steady_clock;

    TtyWriter(int fd, int wake, std::uint32_t baudRate, GoneHandler onGone, EndHandler onEnd);
    /// The writer thread: waits for the tty to take the rest, for its hang-up, or for the end of
    /// a watched send.
    void Run();
    /// Writes what remains as far as the tty takes it; false when the device has gone. Holds
    /// mutex_.
    bool WriteRest();
    /// Holds mutex_: a send has not ended at `now`.
    [[nodiscard]] bool Busy(Clock::time_point now) const;
    /// Wakes the writer thread.
    void Wake();
    /// Tells the gone handler, once.
    void Gone();

    const int fd_;
    const int wake_; ///< an eventfd that wakes the writer thread
    GoneHandler onGone_;
    EndHandler onEnd_;
    std::atomic<bool> gone_ = false;
    mutable std::mutex mutex_;
    std::string rest_;             ///< guarded by mutex_: what the tty has not taken yet
    std::uint32_t baudRate_;       ///< guarded by mutex_
    Clock::time_point wireFree_{}; ///< guarded by mutex_: when what the tty took has left the wire
    bool watching_ = false;        ///< guarded by mutex_: the end of the pending send is wanted
    bool stop_ = false;            ///< guarded by mutex_
    std::thread thread_;
};

} // namespace lum::platform::posix

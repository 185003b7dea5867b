#pragma once
// A tty that is only written, driven by events rather than a polling timer: a send writes at
// once on the caller's thread; what the tty does not take then, a writer thread writes as the
// tty takes it (poll for POLLOUT). While nothing remains, the writer sleeps in poll() on nothing
// but the tty's hang-up and its own wake-up, so an idle line wakes no thread. A write that fails
// with a code a vanished device gives, or the tty hanging up, means the device has gone.

#include "platform/posix/PosixTty.h"

#include <atomic>
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

    /// Opens `path` unshared (OpenUnsharedTty) at `baudRate`, 8N1 without flow control, with DTR
    /// and RTS up (a tty without modem lines, such as a pty, goes without them). Null with
    /// `error` set to the errno value when it cannot be opened.
    [[nodiscard]] static std::unique_ptr<TtyWriter>
    Open(const std::string& path, std::uint32_t baudRate, GoneHandler onGone, int& error);
    /// Ends the writer thread, drops what is not yet on the wire, lowers DTR and RTS and closes.
    ~TtyWriter();
    TtyWriter(const TtyWriter&) = delete;
    TtyWriter& operator=(const TtyWriter&) = delete;

    /// Sets the rate (8N1, no flow control); 0 or the errno value.
    [[nodiscard]] int SetBaudRate(std::uint32_t baudRate);
    /// Raises or lowers a modem output line; a tty without them goes without.
    void SetModemLine(ModemLine line, bool on);
    /// Starts writing `bytes`; nothing while a write is pending or after the device has gone.
    void Send(std::string_view bytes);
    /// Bytes of the last send are still waiting for the tty to take them.
    [[nodiscard]] bool Pending() const { return pending_.load(); }
    /// Bytes not yet on the wire: those the tty holds and those still waiting.
    [[nodiscard]] std::uint32_t OutQueue();

private:
    TtyWriter(int fd, int wake, GoneHandler onGone);
    /// The writer thread: waits for the tty to take the rest, or for its hang-up.
    void Run();
    /// Writes what remains as far as the tty takes it; false when the device has gone.
    bool WriteRest();
    /// Tells the gone handler, once.
    void Gone();

    const int fd_;
    const int wake_; ///< an eventfd that wakes the writer thread
    GoneHandler onGone_;
    std::atomic<bool> pending_ = false;
    std::atomic<bool> gone_ = false;
    std::mutex mutex_;
    std::string rest_;  ///< guarded by mutex_: what the tty has not taken yet
    bool stop_ = false; ///< guarded by mutex_
    std::thread thread_;
};

} // namespace lum::platform::posix

#pragma once
// One open tty with the behaviour of a Windows serial driver: an input queue of the size
// SetupComm gives, overlapped writes that end when the bytes have gone out (or at their
// time-out), overlapped reads and comm event waits, an event history, purge, and failure once
// the device has hung up. A thread per port polls the tty and ends pending operations; it
// sleeps in poll() while nothing happens.

#include "platform/Comm.h"
#include "platform/OverlappedModel.h"
#include "platform/posix/PosixTty.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace lum::platform::posix {

/// An open tty.
class Port {
public:
    /// Opens `path` unshared; null with the last error set when it cannot be opened.
    [[nodiscard]] static std::shared_ptr<Port> Open(const std::string& path);
    ~Port();
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    /// Ends pending operations as aborted and closes the tty; later calls fail.
    void Close();

    // The comm functions on this port (PosixPortCalls.cpp); each sets the last error when it
    // fails.
    bool SetupComm(std::uint32_t inQueue, std::uint32_t outQueue);
    bool GetCommState(CommDcb& dcb);
    bool SetCommState(const CommDcb& dcb);
    bool GetCommTimeouts(CommTimeouts& timeouts);
    bool SetCommTimeouts(const CommTimeouts& timeouts);
    bool SetCommMask(std::uint32_t mask);
    bool WaitCommEvent(std::uint32_t& mask, Overlapped& overlapped);
    bool PurgeComm(std::uint32_t flags);
    bool EscapeCommFunction(std::uint32_t function);
    bool ClearCommError(std::uint32_t& errors, CommStat& stat);
    bool GetCommModemStatus(std::uint32_t& status);
    bool ReadFile(std::uint8_t* buffer, std::uint32_t count, std::uint32_t& read,
                  Overlapped& overlapped);
    bool WriteFile(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t& written,
                   Overlapped& overlapped);

private:
    using Clock = std::chrono::steady_clock;
    struct PendingWrite {
        Overlapped* Record;
        const std::uint8_t* Buffer;
        std::uint32_t Count;
        std::uint32_t Done = 0;
        std::optional<Clock::time_point> Deadline;
    };
    struct PendingRead {
        Overlapped* Record;
        std::uint8_t* Buffer;
        std::uint32_t Count;
        std::optional<Clock::time_point> Deadline;
    };
    using PendingWait = model::PendingWait;

    // Opening and closing (PosixPort.cpp).
    Port(int fd, int wakeRead, int wakeWrite);
    /// Makes the I/O thread look at the port again.
    void Wake();
    /// False, with the last error set, once the port is closed or hung up.
    [[nodiscard]] bool Usable();
    /// Ends every pending operation with `error`, a pending comm event wait with an empty mask.
    void EndAllPending(std::uint32_t error);

    // The I/O thread (PosixPortIo.cpp); each step runs under the lock.
    void IoLoop();
    void TakeInput();
    void PushOutput();
    void CheckDeadlines();
    void HangUp();
    void RaiseEvents(std::uint32_t events);
    void FinishReadIfReady(bool timedOut);
    [[nodiscard]] int PollTimeout();
    [[nodiscard]] std::uint32_t CharTimeMicroseconds() const;

    /// Line errors the tty counted since the last look (PosixPortCalls.cpp).
    [[nodiscard]] std::uint32_t LineErrorsSinceLastLook();

    const int fd_;
    const int wakeRead_;
    const int wakeWrite_;
    std::mutex mutex_;
    bool closed_ = false;
    bool hungUp_ = false;
    bool noModemLines_ = false;    ///< the tty has no modem lines (a pty): inputs read as off
    bool noErrorCounters_ = false; ///< the tty keeps no receive error counters
    std::deque<std::uint8_t> input_;
    std::uint32_t inQueueSize_ = 4096;
    std::uint32_t errors_ = 0;
    TtyErrorCounts counts_;
    CommDcb dcb_;
    CommTimeouts timeouts_;
    std::uint32_t mask_ = 0;
    std::uint32_t history_ = 0;
    std::optional<PendingWrite> write_;
    std::optional<PendingRead> read_;
    std::optional<PendingWait> wait_;
    std::thread io_;
};

} // namespace lum::platform::posix

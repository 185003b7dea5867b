#pragma once
// The communications functions the serial port component needs from an operating system,
// named and shaped like the Windows functions: open a device, line settings (a DCB),
// time-outs, event masks and overlapped (asynchronous) reads, writes and comm event waits,
// purge, modem lines and break, queue status, manual-reset events and waits on them, ticks,
// pauses and the last error of the calling thread.
//
// Results follow Windows: a call that fails returns false (or an invalid handle, or
// kWaitFailed) and leaves its Windows error code in GetLastError. An overlapped operation that
// is still running fails with kErrorIoPending; GetOverlappedResult without waiting then fails
// with kErrorIoIncomplete until it has ended, and with kErrorOperationAborted when it was
// aborted by PurgeComm or by closing the handle.

#include <cstdint>
#include <span>
#include <string>

namespace lum::platform {

/// Handle of an open communications device.
using CommHandle = std::uintptr_t;
/// The handle value of "no device".
inline constexpr CommHandle kInvalidCommHandle = ~CommHandle{0};

/// Handle of a manual- or auto-reset event.
using EventHandle = void*;

/// Line settings of a port, field for field as the Windows DCB.
struct CommDcb {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0; ///< the DCB flag word (fBinary, fParity, ...), see kDcb* below
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;

    friend bool operator==(const CommDcb&, const CommDcb&) = default;
};

/// Time-outs of reads and writes in milliseconds, as the Windows COMMTIMEOUTS.
struct CommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

/// Queue status of a port, as the Windows COMSTAT (its seven flag bits in the low bits of Flags).
struct CommStat {
    std::uint32_t Flags = 0;
    std::uint32_t cbInQue = 0;
    std::uint32_t cbOutQue = 0;

    friend bool operator==(const CommStat&, const CommStat&) = default;
};

/// State of one overlapped operation, as the Windows OVERLAPPED. The caller owns the record and
/// its event; the platform writes Internal and InternalHigh while the operation runs, so the
/// record must stay in place until the operation has ended.
struct Overlapped {
    std::uintptr_t Internal = 0;
    std::uintptr_t InternalHigh = 0;
    std::uint32_t Offset = 0;
    std::uint32_t OffsetHigh = 0;
    EventHandle hEvent = nullptr;
};

/// Windows constants the component and its worker compare with or pass on.
namespace comm {
inline constexpr std::uint32_t kMaxDword = 0xFFFFFFFF;

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorInvalidFunction = 1;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorNotReady = 21;
inline constexpr std::uint32_t kErrorBadCommand = 22;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorSemTimeout = 121;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorOperationAborted = 995;
inline constexpr std::uint32_t kErrorIoIncomplete = 996;
inline constexpr std::uint32_t kErrorIoPending = 997;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

// Comm event bits (EV_*).
inline constexpr std::uint32_t kEvRxChar = 0x0001;
inline constexpr std::uint32_t kEvRxFlag = 0x0002;
inline constexpr std::uint32_t kEvTxEmpty = 0x0004;
inline constexpr std::uint32_t kEvCts = 0x0008;
inline constexpr std::uint32_t kEvDsr = 0x0010;
inline constexpr std::uint32_t kEvRlsd = 0x0020;
inline constexpr std::uint32_t kEvBreak = 0x0040;
inline constexpr std::uint32_t kEvErr = 0x0080;
inline constexpr std::uint32_t kEvRing = 0x0100;

// Line error bits (CE_*).
inline constexpr std::uint32_t kCeRxOver = 0x01;
inline constexpr std::uint32_t kCeOverrun = 0x02;
inline constexpr std::uint32_t kCeRxParity = 0x04;
inline constexpr std::uint32_t kCeFrame = 0x08;
inline constexpr std::uint32_t kCeBreak = 0x10;

// Modem status bits (MS_*_ON).
inline constexpr std::uint32_t kMsCtsOn = 0x10;
inline constexpr std::uint32_t kMsDsrOn = 0x20;
inline constexpr std::uint32_t kMsRingOn = 0x40;
inline constexpr std::uint32_t kMsRlsdOn = 0x80;

// EscapeCommFunction codes.
inline constexpr std::uint32_t kSetXoff = 1;
inline constexpr std::uint32_t kSetXon = 2;
inline constexpr std::uint32_t kSetRts = 3;
inline constexpr std::uint32_t kClrRts = 4;
inline constexpr std::uint32_t kSetDtr = 5;
inline constexpr std::uint32_t kClrDtr = 6;
inline constexpr std::uint32_t kSetBreak = 8;
inline constexpr std::uint32_t kClrBreak = 9;

// PurgeComm flags.
inline constexpr std::uint32_t kPurgeTxAbort = 0x01;
inline constexpr std::uint32_t kPurgeRxAbort = 0x02;
inline constexpr std::uint32_t kPurgeTxClear = 0x04;
inline constexpr std::uint32_t kPurgeRxClear = 0x08;

// DCB flag word bits.
inline constexpr std::uint32_t kDcbBinary = 0x0001;
inline constexpr std::uint32_t kDcbParity = 0x0002;
inline constexpr std::uint32_t kDcbOutxCtsFlow = 0x0004;
inline constexpr std::uint32_t kDcbOutxDsrFlow = 0x0008;
inline constexpr std::uint32_t kDcbDtrControlMask = 0x0030;
inline constexpr std::uint32_t kDcbDtrHandshake = 0x0020;
inline constexpr std::uint32_t kDcbDsrSensitivity = 0x0040;
inline constexpr std::uint32_t kDcbTxContinueOnXoff = 0x0080;
inline constexpr std::uint32_t kDcbOutX = 0x0100;
inline constexpr std::uint32_t kDcbInX = 0x0200;
inline constexpr std::uint32_t kDcbErrorChar = 0x0400;
inline constexpr std::uint32_t kDcbNull = 0x0800;
inline constexpr std::uint32_t kDcbRtsControlMask = 0x3000;
inline constexpr std::uint32_t kDcbRtsHandshake = 0x2000;
inline constexpr std::uint32_t kDcbAbortOnError = 0x4000;

// Parity and stop bit values of the DCB.
inline constexpr std::uint8_t kNoParity = 0;
inline constexpr std::uint8_t kOddParity = 1;
inline constexpr std::uint8_t kEvenParity = 2;
inline constexpr std::uint8_t kMarkParity = 3;
inline constexpr std::uint8_t kSpaceParity = 4;
inline constexpr std::uint8_t kOneStopBit = 0;
inline constexpr std::uint8_t kOne5StopBits = 1;
inline constexpr std::uint8_t kTwoStopBits = 2;

/// dwPlatformId of the Windows 95 family.
inline constexpr std::int32_t kPlatformWin32Windows = 1;
/// dwPlatformId of the Windows NT family.
inline constexpr std::int32_t kPlatformWin32Nt = 2;
} // namespace comm

/// The communications functions, one to one with the Windows functions of the same names.
class Comm {
public:
    virtual ~Comm() = default;

    /// Opens a device for reading and writing, unshared, for overlapped operations.
    [[nodiscard]] virtual CommHandle CreateFileA(const std::string& deviceName) = 0;
    /// Closes a device; its pending operations end as aborted.
    virtual bool CloseHandle(CommHandle handle) = 0;
    /// Sets the sizes of the driver's input and output queues.
    virtual bool SetupComm(CommHandle handle, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
    /// Reads the line settings.
    virtual bool GetCommState(CommHandle handle, CommDcb& dcb) = 0;
    /// Writes the line settings; fails with kErrorInvalidParameter for values the line cannot take.
    virtual bool SetCommState(CommHandle handle, const CommDcb& dcb) = 0;
    /// Reads the time-outs.
    virtual bool GetCommTimeouts(CommHandle handle, CommTimeouts& timeouts) = 0;
    /// Writes the time-outs.
    virtual bool SetCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) = 0;
    /// Sets the events a comm event wait ends on; ends a pending wait with an empty mask.
    virtual bool SetCommMask(CommHandle handle, std::uint32_t mask) = 0;
    /// Starts an overlapped comm event wait; `mask` is written when it ends.
    virtual bool WaitCommEvent(CommHandle handle, std::uint32_t& mask, Overlapped& overlapped) = 0;
    /// Aborts pending operations and empties queues as `flags` say.
    virtual bool PurgeComm(CommHandle handle, std::uint32_t flags) = 0;
    /// Drives a modem line, XON/XOFF or break (the kSet*, kClr* codes).
    virtual bool EscapeCommFunction(CommHandle handle, std::uint32_t function) = 0;
    /// Starts a break condition on the transmit line.
    virtual bool SetCommBreak(CommHandle handle) = 0;
    /// Ends a break condition.
    virtual bool ClearCommBreak(CommHandle handle) = 0;
    /// Takes the line errors since the last call and reads the queue status.
    virtual bool ClearCommError(CommHandle handle, std::uint32_t& errors, CommStat& stat) = 0;
    /// Reads the modem input lines (kMs* bits).
    virtual bool GetCommModemStatus(CommHandle handle, std::uint32_t& status) = 0;
    /// Starts an overlapped read into `buffer`, which must stay valid until the read has ended.
    virtual bool ReadFile(CommHandle handle, std::uint8_t* buffer, std::uint32_t count,
                          std::uint32_t& read, Overlapped& overlapped) = 0;
    /// Starts an overlapped write of `buffer`, which must stay valid until the write has ended.
    virtual bool WriteFile(CommHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                           std::uint32_t& written, Overlapped& overlapped) = 0;
    /// The outcome of an overlapped operation; with `wait` false it does not block.
    virtual bool GetOverlappedResult(CommHandle handle, Overlapped& overlapped,
                                     std::uint32_t& transferred, bool wait) = 0;

    /// Creates an unnamed event; null on failure.
    [[nodiscard]] virtual EventHandle CreateEventA(bool manualReset, bool initialState) = 0;
    /// Releases an event.
    virtual bool CloseEvent(EventHandle event) = 0;
    /// Clears an event.
    virtual bool ResetEvent(EventHandle event) = 0;
    /// Signals an event.
    virtual bool SetEvent(EventHandle event) = 0;
    /// Waits for one event: kWaitObject0, kWaitTimeout or kWaitFailed.
    [[nodiscard]] virtual std::uint32_t WaitForSingleObject(EventHandle event,
                                                            std::uint32_t milliseconds) = 0;
    /// Waits for any of the events: kWaitObject0 + index, kWaitTimeout or kWaitFailed.
    [[nodiscard]] virtual std::uint32_t WaitForMultipleObjects(std::span<const EventHandle> events,
                                                               std::uint32_t milliseconds) = 0;

    /// Milliseconds since an arbitrary start, wrapping at 2^32.
    [[nodiscard]] virtual std::uint32_t GetTickCount() = 0;
    /// Pauses the calling thread.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    /// The error code of the calling thread's last failed call.
    [[nodiscard]] virtual std::uint32_t GetLastError() = 0;
    /// dwPlatformId of the running system, or -1 when it cannot be read.
    [[nodiscard]] virtual std::int32_t PlatformId() = 0;
};

/// The running system's communications functions.
[[nodiscard]] Comm& SystemComm();

} // namespace lum::platform

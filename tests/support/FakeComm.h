#pragma once
// A scripted comm layer for tests, on the virtual time of a VirtualUiLoop. It records every
// call with its arguments, keeps the state of one simulated device (line settings, time-outs,
// event mask, modem status, line errors, input bytes), completes writes and reads at once or
// when the test says, raises comm events, and fails any chosen call with a chosen error. The
// scripting lives in FakeCommScript.cpp, the device in FakeComm.cpp; its events and overlapped
// records follow the model the POSIX layer uses too (platform/OverlappedModel.h).

#include "platform/Comm.h"
#include "platform/OverlappedModel.h"
#include "support/VirtualUiLoop.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace lum::platform::virtualtime {

/// The fake comm functions.
class FakeComm final : public Comm {
public:
    /// One recorded call: the function's name, its arguments after the handle, a text argument
    /// (the device name of CreateFileA), and whether the user-interface thread made it.
    struct Call {
        std::string Name;
        std::vector<std::uint64_t> Args;
        std::string Text;
        bool FromUi = true;
    };
    /// When writes and reads end: at once, when the test says, or (writes only) after the
    /// bytes' time on the wire at the line's baud rate, 10 bits a byte.
    enum class Completion { AtOnce, Pending, WireTime };
    /// One write that has ended: when it started, and its bytes.
    struct Write {
        std::uint64_t At = 0;
        std::vector<std::uint8_t> Bytes;
    };

    explicit FakeComm(VirtualUiLoop& loop);
    ~FakeComm() override;
    FakeComm(const FakeComm&) = delete;
    FakeComm& operator=(const FakeComm&) = delete;

    // Scripting and inspection (test thread).

    /// Every call so far.
    [[nodiscard]] std::vector<Call> Calls() const;
    /// The names of the calls so far made by the user-interface thread.
    [[nodiscard]] std::vector<std::string> UiCallNames() const;
    /// Forgets the recorded calls.
    void ClearCalls();
    /// Makes the next `times` calls of `name` fail with `error` (times < 0: every call).
    void Fail(const std::string& name, std::uint32_t error, int times = -1);
    /// Ends the failures of `name`.
    void Unfail(const std::string& name);
    /// Runs `action` at the start of the next call of `name`, on the calling thread.
    void OnNextCall(const std::string& name, std::function<void()> action);
    /// Error code CreateEventA leaves behind when it succeeds (ERROR_ALREADY_EXISTS, say).
    void SetCreateEventError(std::uint32_t error);
    /// Value PlatformId answers (2 unless set).
    void SetPlatformId(std::int32_t id);
    /// Modem status GetCommModemStatus answers.
    void SetModemStatus(std::uint32_t status);
    /// CE_ flags the next ClearCommError answers (then cleared, like the driver does).
    void SetLineErrors(std::uint32_t errors);
    /// Output queue count ClearCommError answers.
    void SetOutQueue(std::uint32_t count);
    /// Bytes arriving in the input queue.
    void Receive(std::span<const std::uint8_t> bytes);
    /// When writes end; AtOnce unless set.
    void SetWriteCompletion(Completion completion);
    /// When reads end; AtOnce unless set.
    void SetReadCompletion(Completion completion);
    /// Ends the pending write after `bytes` bytes, with `error` (0: success).
    void CompleteWrite(std::uint32_t bytes, std::uint32_t error = 0);
    /// Ends the pending read with the queued bytes it can take, or with `error`.
    void CompleteRead(std::uint32_t error = 0);
    /// Raises comm events: ends the pending comm event wait with the enabled ones, or keeps
    /// them for the next WaitCommEvent, which then ends at once.
    void RaiseCommEvent(std::uint32_t mask);
    [[nodiscard]] bool WritePending() const;
    [[nodiscard]] bool ReadPending() const;
    [[nodiscard]] bool EventWaitPending() const;
    /// Bytes of every write that has ended, in order.
    [[nodiscard]] std::vector<std::uint8_t> Written() const;
    /// Every write that has ended, in order, with the time it started.
    [[nodiscard]] std::vector<Write> Writes() const;
    /// Line settings last written (or the device's initial ones).
    [[nodiscard]] CommDcb Dcb() const;
    /// Time-outs last written.
    [[nodiscard]] CommTimeouts Timeouts() const;
    /// Number of bytes in the input queue.
    [[nodiscard]] std::size_t InputQueued() const;
    /// Events that are neither closed nor leaked.
    [[nodiscard]] std::size_t OpenEvents() const;

    // The comm functions.
    [[nodiscard]] CommHandle CreateFileA(const std::string& deviceName) override;
    bool CloseHandle(CommHandle handle) override;
    bool SetupComm(CommHandle handle, std::uint32_t inQueue, std::uint32_t outQueue) override;
    bool GetCommState(CommHandle handle, CommDcb& dcb) override;
    bool SetCommState(CommHandle handle, const CommDcb& dcb) override;
    bool GetCommTimeouts(CommHandle handle, CommTimeouts& timeouts) override;
    bool SetCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) override;
    bool SetCommMask(CommHandle handle, std::uint32_t mask) override;
    bool WaitCommEvent(CommHandle handle, std::uint32_t& mask, Overlapped& overlapped) override;
    bool PurgeComm(CommHandle handle, std::uint32_t flags) override;
    bool EscapeCommFunction(CommHandle handle, std::uint32_t function) override;
    bool SetCommBreak(CommHandle handle) override;
    bool ClearCommBreak(CommHandle handle) override;
    bool ClearCommError(CommHandle handle, std::uint32_t& errors, CommStat& stat) override;
    bool GetCommModemStatus(CommHandle handle, std::uint32_t& status) override;
    bool ReadFile(CommHandle handle, std::uint8_t* buffer, std::uint32_t count, std::uint32_t& read,
                  Overlapped& overlapped) override;
    bool WriteFile(CommHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                   std::uint32_t& written, Overlapped& overlapped) override;
    bool GetOverlappedResult(CommHandle handle, Overlapped& overlapped, std::uint32_t& transferred,
                             bool wait) override;
    [[nodiscard]] EventHandle CreateEventA(bool manualReset, bool initialState) override;
    bool CloseEvent(EventHandle event) override;
    bool ResetEvent(EventHandle event) override;
    bool SetEvent(EventHandle event) override;
    [[nodiscard]] std::uint32_t WaitForSingleObject(EventHandle event,
                                                    std::uint32_t milliseconds) override;
    [[nodiscard]] std::uint32_t WaitForMultipleObjects(std::span<const EventHandle> events,
                                                       std::uint32_t milliseconds) override;
    [[nodiscard]] std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    [[nodiscard]] std::uint32_t GetLastError() override;
    [[nodiscard]] std::int32_t PlatformId() override;

private:
    struct PendingWrite {
        Overlapped* Record = nullptr;
        const std::uint8_t* Buffer = nullptr;
        std::uint32_t Count = 0;
        std::uint64_t At = 0;
        std::optional<std::uint64_t> Due; ///< WireTime: when it ends by itself
    };
    struct PendingRead {
        Overlapped* Record = nullptr;
        std::uint8_t* Buffer = nullptr;
        std::uint32_t Count = 0;
    };
    using PendingWait = model::PendingWait;
    struct Failure {
        std::uint32_t Error = 0;
        int Times = -1;
    };

    // Scripting (FakeCommScript.cpp).
    /// Runs the action waiting for the call `name`, then takes the lock.
    [[nodiscard]] std::unique_lock<std::mutex> Begin(const char* name);
    /// Records the call; false (with the last error set) when it is to fail.
    [[nodiscard]] bool Enter(const char* name, std::vector<std::uint64_t> args,
                             std::string text = {});
    /// Enter for a call on a device handle, which fails for a handle that is not open.
    [[nodiscard]] bool EnterOnHandle(const char* name, CommHandle handle,
                                     std::vector<std::uint64_t> args);
    /// Keeps the bytes of a write that has ended.
    void RecordWrite(std::uint64_t at, const std::uint8_t* buffer, std::uint32_t count);

    // The device (FakeComm.cpp); the caller holds the lock unless said otherwise.
    /// Sets the calling thread's last error.
    static void Fails(std::uint32_t error);
    /// Ends an operation and signals its event.
    void Finish(Overlapped& record, std::uint32_t error, std::uint32_t bytes);
    /// Ends the pending write after `bytes` bytes with `error`, keeping what was written.
    void EndWrite(std::uint32_t bytes, std::uint32_t error);
    /// Ends a WireTime write whose time has come by `now`.
    void EndDueWrite(std::uint64_t now);
    /// Ends the pending read with the queued bytes it can take, or with `error`.
    void EndRead(std::uint32_t error);
    /// Ends the pending comm event wait with the enabled events of `mask`, or keeps them.
    void RaiseEvents(std::uint32_t mask);
    /// Signals an event that is still open.
    void Signal(EventHandle event);
    /// Waits in virtual time for any of `events` (takes the lock itself).
    std::uint32_t Wait(std::span<const EventHandle> events, std::uint32_t milliseconds);
    /// Takes the first signalled event (takes the lock itself).
    [[nodiscard]] int SignalledIndex(std::span<const EventHandle> events);
    /// Ends the pending write and/or read as aborted, as PurgeComm `flags` say.
    void AbortPending(std::uint32_t flags);

    VirtualUiLoop& loop_;
    mutable std::mutex mutex_; ///< guards everything below

    // What the test scripts and what it reads back.
    std::vector<Call> calls_;
    std::map<std::string, Failure> failures_;
    std::map<std::string, std::function<void()>> actions_;
    std::uint32_t createEventError_ = 0;
    std::int32_t platformId_ = comm::kPlatformWin32Nt;
    Completion writeCompletion_ = Completion::AtOnce;
    Completion readCompletion_ = Completion::AtOnce;
    std::vector<std::uint8_t> written_;
    std::vector<Write> writes_;

    // The simulated device.
    std::set<CommHandle> open_;
    CommHandle nextHandle_ = 0x100;
    CommDcb dcb_;
    CommTimeouts timeouts_;
    std::uint32_t mask_ = 0;
    std::uint32_t raisedEvents_ = 0;
    std::uint32_t modemStatus_ = 0;
    std::uint32_t lineErrors_ = 0;
    std::uint32_t outQueue_ = 0;
    std::vector<std::uint8_t> input_;
    std::optional<PendingWrite> pendingWrite_;
    std::optional<PendingRead> pendingRead_;
    std::optional<PendingWait> pendingWait_;
    std::set<model::EventState*> events_;
};

} // namespace lum::platform::virtualtime

// FakeComm: the simulated device behind the comm functions: its line settings, queues, event
// mask and pending operations on the shared overlapped and event model.
#include "support/FakeComm.h"

#include <algorithm>

namespace lum::platform::virtualtime {

namespace {

using model::EventState;
using model::StateOf;

thread_local std::uint32_t lastError = 0;

/// A device's line settings before anything was written: recognisable reserved fields, so
/// tests can see they are kept as read.
CommDcb InitialDcb() {
    CommDcb dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 1200;
    dcb.Flags = 0xFFFF;
    dcb.wReserved = 0x1111;
    dcb.XonLim = 7;
    dcb.XoffLim = 7;
    dcb.ByteSize = 7;
    dcb.Parity = comm::kEvenParity;
    dcb.StopBits = comm::kTwoStopBits;
    dcb.EofChar = 26;
    dcb.wReserved1 = 0x2222;
    return dcb;
}

} // namespace

void FakeComm::Fails(std::uint32_t error) {
    lastError = error;
}

FakeComm::FakeComm(VirtualUiLoop& loop) : loop_(loop), dcb_(InitialDcb()) {}

FakeComm::~FakeComm() {
    for (EventState* event : events_) {
        delete event;
    }
}

void FakeComm::EndWrite(std::uint32_t bytes, std::uint32_t error) {
    if (!pendingWrite_) {
        return;
    }
    const PendingWrite write = *pendingWrite_;
    pendingWrite_.reset();
    bytes = std::min(bytes, write.Count);
    // Read only now: a buffer released before the write ended shows up under the sanitizer.
    RecordWrite(write.At, write.Buffer, bytes);
    Finish(*write.Record, error, bytes);
}

void FakeComm::EndDueWrite(std::uint64_t now) {
    if (pendingWrite_ && pendingWrite_->Due && *pendingWrite_->Due <= now) {
        EndWrite(pendingWrite_->Count, 0);
    }
}

void FakeComm::EndRead(std::uint32_t error) {
    if (!pendingRead_) {
        return;
    }
    const PendingRead read = *pendingRead_;
    pendingRead_.reset();
    std::uint32_t bytes = 0;
    if (error == 0) {
        bytes = model::TakeQueued(input_, read.Buffer, read.Count);
    }
    Finish(*read.Record, error, bytes);
}

void FakeComm::RaiseEvents(std::uint32_t mask) {
    if (pendingWait_ && (mask & mask_) != 0) {
        const PendingWait wait = *pendingWait_;
        pendingWait_.reset();
        *wait.Mask = mask & mask_;
        Finish(*wait.Record, 0, 0);
        return;
    }
    raisedEvents_ |= mask;
}

void FakeComm::Finish(Overlapped& record, std::uint32_t error, std::uint32_t bytes) {
    model::MarkEnded(record, error, bytes);
    Signal(record.hEvent);
}

void FakeComm::Signal(EventHandle event) {
    auto* fakeEvent = static_cast<EventState*>(event);
    if (events_.contains(fakeEvent)) {
        fakeEvent->Signalled = true;
    }
}

void FakeComm::AbortPending(std::uint32_t flags) {
    if ((flags & comm::kPurgeTxAbort) != 0 && pendingWrite_) {
        Finish(*pendingWrite_->Record, comm::kErrorOperationAborted, 0);
        pendingWrite_.reset();
    }
    if ((flags & comm::kPurgeRxAbort) != 0 && pendingRead_) {
        Finish(*pendingRead_->Record, comm::kErrorOperationAborted, 0);
        pendingRead_.reset();
    }
}

CommHandle FakeComm::CreateFileA(const std::string& deviceName) {
    const auto lock = Begin("CreateFileA");
    if (!Enter("CreateFileA", {}, deviceName)) {
        return kInvalidCommHandle;
    }
    const CommHandle handle = nextHandle_++;
    open_.insert(handle);
    return handle;
}

bool FakeComm::CloseHandle(CommHandle handle) {
    const auto lock = Begin("CloseHandle");
    if (!EnterOnHandle("CloseHandle", handle, {})) {
        return false;
    }
    open_.erase(handle);
    AbortPending(comm::kPurgeTxAbort | comm::kPurgeRxAbort);
    if (pendingWait_) {
        Finish(*pendingWait_->Record, comm::kErrorOperationAborted, 0);
        pendingWait_.reset();
    }
    return true;
}

bool FakeComm::SetupComm(CommHandle handle, std::uint32_t inQueue, std::uint32_t outQueue) {
    const auto lock = Begin("SetupComm");
    return EnterOnHandle("SetupComm", handle, {inQueue, outQueue});
}

bool FakeComm::GetCommState(CommHandle handle, CommDcb& dcb) {
    const auto lock = Begin("GetCommState");
    if (!EnterOnHandle("GetCommState", handle, {})) {
        return false;
    }
    dcb = dcb_;
    return true;
}

bool FakeComm::SetCommState(CommHandle handle, const CommDcb& dcb) {
    const auto lock = Begin("SetCommState");
    if (!EnterOnHandle("SetCommState", handle, {dcb.BaudRate})) {
        return false;
    }
    dcb_ = dcb;
    return true;
}

bool FakeComm::GetCommTimeouts(CommHandle handle, CommTimeouts& timeouts) {
    const auto lock = Begin("GetCommTimeouts");
    if (!EnterOnHandle("GetCommTimeouts", handle, {})) {
        return false;
    }
    timeouts = timeouts_;
    return true;
}

bool FakeComm::SetCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) {
    const auto lock = Begin("SetCommTimeouts");
    if (!EnterOnHandle("SetCommTimeouts", handle, {timeouts.WriteTotalTimeoutConstant})) {
        return false;
    }
    timeouts_ = timeouts;
    return true;
}

bool FakeComm::SetCommMask(CommHandle handle, std::uint32_t mask) {
    const auto lock = Begin("SetCommMask");
    if (!EnterOnHandle("SetCommMask", handle, {mask})) {
        return false;
    }
    mask_ = mask;
    if (pendingWait_) {
        *pendingWait_->Mask = 0;
        Finish(*pendingWait_->Record, 0, 0);
        pendingWait_.reset();
    }
    return true;
}

bool FakeComm::WaitCommEvent(CommHandle handle, std::uint32_t& mask, Overlapped& overlapped) {
    const auto lock = Begin("WaitCommEvent");
    if (!EnterOnHandle("WaitCommEvent", handle, {})) {
        return false;
    }
    if (mask_ == 0 || pendingWait_) {
        Fails(comm::kErrorInvalidParameter);
        return false;
    }
    model::MarkPending(overlapped);
    if ((raisedEvents_ & mask_) != 0) {
        mask = raisedEvents_ & mask_;
        raisedEvents_ = 0;
        model::MarkEnded(overlapped, 0, 0);
        return true;
    }
    pendingWait_ = PendingWait{&overlapped, &mask};
    Fails(comm::kErrorIoPending);
    return false;
}

bool FakeComm::PurgeComm(CommHandle handle, std::uint32_t flags) {
    const auto lock = Begin("PurgeComm");
    if (!EnterOnHandle("PurgeComm", handle, {flags})) {
        return false;
    }
    AbortPending(flags);
    if ((flags & comm::kPurgeRxClear) != 0) {
        input_.clear();
    }
    return true;
}

bool FakeComm::EscapeCommFunction(CommHandle handle, std::uint32_t function) {
    const auto lock = Begin("EscapeCommFunction");
    return EnterOnHandle("EscapeCommFunction", handle, {function});
}

bool FakeComm::SetCommBreak(CommHandle handle) {
    const auto lock = Begin("SetCommBreak");
    return EnterOnHandle("SetCommBreak", handle, {});
}

bool FakeComm::ClearCommBreak(CommHandle handle) {
    const auto lock = Begin("ClearCommBreak");
    return EnterOnHandle("ClearCommBreak", handle, {});
}

bool FakeComm::ClearCommError(CommHandle handle, std::uint32_t& errors, CommStat& stat) {
    const std::uint64_t now = loop_.Now();
    const auto lock = Begin("ClearCommError");
    if (!EnterOnHandle("ClearCommError", handle, {})) {
        return false;
    }
    EndDueWrite(now);
    errors = lineErrors_;
    lineErrors_ = 0;
    const std::uint32_t sending = pendingWrite_ && pendingWrite_->Due ? pendingWrite_->Count : 0;
    stat = CommStat{0, static_cast<std::uint32_t>(input_.size()), outQueue_ + sending};
    return true;
}

bool FakeComm::GetCommModemStatus(CommHandle handle, std::uint32_t& status) {
    const auto lock = Begin("GetCommModemStatus");
    if (!EnterOnHandle("GetCommModemStatus", handle, {})) {
        return false;
    }
    status = modemStatus_;
    return true;
}

bool FakeComm::ReadFile(CommHandle handle, std::uint8_t* buffer, std::uint32_t count,
                        std::uint32_t& read, Overlapped& overlapped) {
    const auto lock = Begin("ReadFile");
    if (!EnterOnHandle("ReadFile", handle, {count})) {
        return false;
    }
    model::MarkPending(overlapped);
    if (readCompletion_ == Completion::Pending) {
        pendingRead_ = PendingRead{&overlapped, buffer, count};
        Fails(comm::kErrorIoPending);
        return false;
    }
    read = model::TakeQueued(input_, buffer, count);
    model::MarkEnded(overlapped, 0, read);
    return true;
}

bool FakeComm::WriteFile(CommHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                         std::uint32_t& written, Overlapped& overlapped) {
    const std::uint64_t now = loop_.Now();
    const auto lock = Begin("WriteFile");
    if (!EnterOnHandle("WriteFile", handle, {count})) {
        return false;
    }
    model::MarkPending(overlapped);
    if (writeCompletion_ != Completion::AtOnce) {
        pendingWrite_ = PendingWrite{&overlapped, buffer, count, now, std::nullopt};
        if (writeCompletion_ == Completion::WireTime) {
            constexpr std::uint64_t kBitsPerByte = 10;
            const std::uint64_t baud = std::max<std::uint32_t>(dcb_.BaudRate, 1);
            pendingWrite_->Due = now + (count * kBitsPerByte * 1000 + baud - 1) / baud;
        }
        Fails(comm::kErrorIoPending);
        return false;
    }
    RecordWrite(now, buffer, count);
    written = count;
    model::MarkEnded(overlapped, 0, count);
    return true;
}

bool FakeComm::GetOverlappedResult(CommHandle /*handle*/, Overlapped& overlapped,
                                   std::uint32_t& transferred, bool /*wait*/) {
    const std::uint64_t now = loop_.Now();
    const auto lock = Begin("GetOverlappedResult");
    if (!Enter("GetOverlappedResult", {})) {
        return false;
    }
    EndDueWrite(now);
    const std::uint32_t error = model::Outcome(overlapped, transferred);
    if (error != comm::kErrorSuccess) {
        Fails(error);
        return false;
    }
    return true;
}

EventHandle FakeComm::CreateEventA(bool manualReset, bool initialState) {
    const auto lock = Begin("CreateEventA");
    if (!Enter("CreateEventA", {manualReset, initialState})) {
        return nullptr;
    }
    auto* event = new EventState{manualReset, initialState};
    events_.insert(event);
    Fails(createEventError_);
    return event;
}

bool FakeComm::CloseEvent(EventHandle event) {
    const auto lock = Begin("CloseEvent");
    if (!Enter("CloseEvent", {}) || events_.erase(static_cast<EventState*>(event)) == 0) {
        return false;
    }
    delete &StateOf(event);
    return true;
}

bool FakeComm::ResetEvent(EventHandle event) {
    const auto lock = Begin("ResetEvent");
    if (!Enter("ResetEvent", {})) {
        return false;
    }
    StateOf(event).Signalled = false;
    return true;
}

bool FakeComm::SetEvent(EventHandle event) {
    const auto lock = Begin("SetEvent");
    if (!Enter("SetEvent", {})) {
        return false;
    }
    Signal(event);
    return true;
}

int FakeComm::SignalledIndex(std::span<const EventHandle> events) {
    const std::lock_guard lock(mutex_);
    return model::TakeSignalled(events);
}

std::uint32_t FakeComm::Wait(std::span<const EventHandle> events, std::uint32_t milliseconds) {
    int index = SignalledIndex(events);
    const std::uint64_t deadline = loop_.Now() + milliseconds;
    const std::function<bool()> ready = [&] {
        const std::lock_guard lock(mutex_);
        return model::AnySignalled(events);
    };
    for (std::uint64_t now = loop_.Now(); index < 0 && now < deadline; now = loop_.Now()) {
        // A write that ends by itself wakes its waiter when its time comes.
        std::uint64_t wake = deadline;
        {
            const std::lock_guard lock(mutex_);
            if (pendingWrite_ && pendingWrite_->Due) {
                wake = std::min(wake, std::max(*pendingWrite_->Due, now));
            }
        }
        if (loop_.OnUiThread()) {
            static_cast<void>(loop_.Pause(wake - now, &ready));
        } else {
            static_cast<void>(loop_.Block(&ready, wake));
        }
        const std::uint64_t woke = loop_.Now();
        {
            const std::lock_guard lock(mutex_);
            EndDueWrite(woke);
        }
        index = SignalledIndex(events);
    }
    return index < 0 ? comm::kWaitTimeout : comm::kWaitObject0 + static_cast<std::uint32_t>(index);
}

std::uint32_t FakeComm::WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) {
    {
        const auto lock = Begin("WaitForSingleObject");
        if (!Enter("WaitForSingleObject", {milliseconds})) {
            return comm::kWaitFailed;
        }
    }
    return Wait(std::span(&event, 1), milliseconds);
}

std::uint32_t FakeComm::WaitForMultipleObjects(std::span<const EventHandle> events,
                                               std::uint32_t milliseconds) {
    {
        const auto lock = Begin("WaitForMultipleObjects");
        if (!Enter("WaitForMultipleObjects", {events.size(), milliseconds})) {
            return comm::kWaitFailed;
        }
    }
    return Wait(events, milliseconds);
}

std::uint32_t FakeComm::GetTickCount() {
    return static_cast<std::uint32_t>(loop_.Now());
}

void FakeComm::Sleep(std::uint32_t milliseconds) {
    {
        const auto lock = Begin("Sleep");
        static_cast<void>(Enter("Sleep", {milliseconds}));
    }
    if (loop_.OnUiThread()) {
        static_cast<void>(loop_.Pause(milliseconds));
    } else {
        static_cast<void>(loop_.Block(nullptr, loop_.Now() + milliseconds));
    }
}

std::uint32_t FakeComm::GetLastError() {
    return lastError;
}

std::int32_t FakeComm::PlatformId() {
    const auto lock = Begin("PlatformId");
    return platformId_;
}

} // namespace lum::platform::virtualtime

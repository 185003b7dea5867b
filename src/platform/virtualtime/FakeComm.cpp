#include "platform/virtualtime/FakeComm.h"

#include <algorithm>
#include <cstring>

namespace lum::platform::virtualtime {

namespace {

/// Internal value of an overlapped record whose operation is still running.
constexpr std::uintptr_t kStatusPending = 0x103;

thread_local std::uint32_t lastError = 0;

void Fails(std::uint32_t error) {
    lastError = error;
}

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

FakeComm::FakeComm(VirtualUiLoop& loop) : loop_(loop), dcb_(InitialDcb()) {}

FakeComm::~FakeComm() {
    for (Event* event : events_) {
        delete event;
    }
}

std::vector<FakeComm::Call> FakeComm::Calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeComm::UiCallNames() const {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const Call& call : calls_) {
        if (call.FromUi) {
            names.push_back(call.Name);
        }
    }
    return names;
}

void FakeComm::ClearCalls() {
    const std::lock_guard lock(mutex_);
    calls_.clear();
}

void FakeComm::Fail(const std::string& name, std::uint32_t error, int times) {
    const std::lock_guard lock(mutex_);
    failures_[name] = Failure{error, times};
}

void FakeComm::Unfail(const std::string& name) {
    const std::lock_guard lock(mutex_);
    failures_.erase(name);
}

void FakeComm::OnNextCall(const std::string& name, std::function<void()> action) {
    const std::lock_guard lock(mutex_);
    actions_[name] = std::move(action);
}

std::unique_lock<std::mutex> FakeComm::Begin(const char* name) {
    std::unique_lock lock(mutex_);
    const auto found = actions_.find(name);
    if (found != actions_.end()) {
        const std::function<void()> action = std::move(found->second);
        actions_.erase(found);
        lock.unlock();
        action();
        lock.lock();
    }
    return lock;
}

void FakeComm::SetCreateEventError(std::uint32_t error) {
    const std::lock_guard lock(mutex_);
    createEventError_ = error;
}

void FakeComm::SetPlatformId(std::int32_t id) {
    const std::lock_guard lock(mutex_);
    platformId_ = id;
}

void FakeComm::SetModemStatus(std::uint32_t status) {
    const std::lock_guard lock(mutex_);
    modemStatus_ = status;
}

void FakeComm::SetLineErrors(std::uint32_t errors) {
    const std::lock_guard lock(mutex_);
    lineErrors_ = errors;
}

void FakeComm::SetOutQueue(std::uint32_t count) {
    const std::lock_guard lock(mutex_);
    outQueue_ = count;
}

void FakeComm::Receive(std::span<const std::uint8_t> bytes) {
    const std::lock_guard lock(mutex_);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
}

void FakeComm::SetWriteCompletion(Completion completion) {
    const std::lock_guard lock(mutex_);
    writeCompletion_ = completion;
}

void FakeComm::SetReadCompletion(Completion completion) {
    const std::lock_guard lock(mutex_);
    readCompletion_ = completion;
}

void FakeComm::CompleteWrite(std::uint32_t bytes, std::uint32_t error) {
    const std::lock_guard lock(mutex_);
    EndWrite(bytes, error);
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

void FakeComm::RecordWrite(std::uint64_t at, const std::uint8_t* buffer, std::uint32_t count) {
    written_.insert(written_.end(), buffer, buffer + count);
    writes_.push_back(Write{at, std::vector<std::uint8_t>(buffer, buffer + count)});
}

void FakeComm::CompleteRead(std::uint32_t error) {
    const std::lock_guard lock(mutex_);
    if (!pendingRead_) {
        return;
    }
    const PendingRead read = *pendingRead_;
    pendingRead_.reset();
    std::uint32_t bytes = 0;
    if (error == 0) {
        bytes = std::min<std::uint32_t>(read.Count, static_cast<std::uint32_t>(input_.size()));
        std::copy_n(input_.begin(), bytes, read.Buffer);
        input_.erase(input_.begin(), input_.begin() + bytes);
    }
    Finish(*read.Record, error, bytes);
}

void FakeComm::RaiseCommEvent(std::uint32_t mask) {
    const std::lock_guard lock(mutex_);
    if (pendingWait_ && (mask & mask_) != 0) {
        const PendingWait wait = *pendingWait_;
        pendingWait_.reset();
        *wait.Mask = mask & mask_;
        Finish(*wait.Record, 0, 0);
        return;
    }
    raisedEvents_ |= mask;
}

bool FakeComm::WritePending() const {
    const std::lock_guard lock(mutex_);
    return pendingWrite_.has_value();
}

bool FakeComm::ReadPending() const {
    const std::lock_guard lock(mutex_);
    return pendingRead_.has_value();
}

bool FakeComm::EventWaitPending() const {
    const std::lock_guard lock(mutex_);
    return pendingWait_.has_value();
}

std::vector<std::uint8_t> FakeComm::Written() const {
    const std::lock_guard lock(mutex_);
    return written_;
}

std::vector<FakeComm::Write> FakeComm::Writes() const {
    const std::lock_guard lock(mutex_);
    return writes_;
}

CommDcb FakeComm::Dcb() const {
    const std::lock_guard lock(mutex_);
    return dcb_;
}

CommTimeouts FakeComm::Timeouts() const {
    const std::lock_guard lock(mutex_);
    return timeouts_;
}

std::size_t FakeComm::InputQueued() const {
    const std::lock_guard lock(mutex_);
    return input_.size();
}

std::size_t FakeComm::OpenEvents() const {
    const std::lock_guard lock(mutex_);
    return events_.size();
}

bool FakeComm::Enter(const char* name, std::vector<std::uint64_t> args, std::string text) {
    calls_.push_back(Call{name, std::move(args), std::move(text), loop_.OnUiThread()});
    const auto failure = failures_.find(name);
    if (failure == failures_.end()) {
        return true;
    }
    Fails(failure->second.Error);
    if (failure->second.Times > 0 && --failure->second.Times == 0) {
        failures_.erase(failure);
    }
    return false;
}

bool FakeComm::EnterOnHandle(const char* name, CommHandle handle, std::vector<std::uint64_t> args) {
    if (!Enter(name, std::move(args))) {
        return false;
    }
    if (!open_.contains(handle)) {
        Fails(comm::kErrorInvalidHandle);
        return false;
    }
    return true;
}

void FakeComm::Finish(Overlapped& record, std::uint32_t error, std::uint32_t bytes) {
    record.Internal = error;
    record.InternalHigh = bytes;
    Signal(record.hEvent);
}

void FakeComm::Signal(EventHandle event) {
    auto* fakeEvent = static_cast<Event*>(event);
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
    static_cast<Event*>(overlapped.hEvent)->Signalled = false;
    if ((raisedEvents_ & mask_) != 0) {
        mask = raisedEvents_ & mask_;
        raisedEvents_ = 0;
        overlapped.Internal = 0;
        return true;
    }
    overlapped.Internal = kStatusPending;
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
    static_cast<Event*>(overlapped.hEvent)->Signalled = false;
    if (readCompletion_ == Completion::Pending) {
        overlapped.Internal = kStatusPending;
        pendingRead_ = PendingRead{&overlapped, buffer, count};
        Fails(comm::kErrorIoPending);
        return false;
    }
    read = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(input_.size()));
    std::copy_n(input_.begin(), read, buffer);
    input_.erase(input_.begin(), input_.begin() + read);
    overlapped.Internal = 0;
    overlapped.InternalHigh = read;
    return true;
}

bool FakeComm::WriteFile(CommHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                         std::uint32_t& written, Overlapped& overlapped) {
    const std::uint64_t now = loop_.Now();
    const auto lock = Begin("WriteFile");
    if (!EnterOnHandle("WriteFile", handle, {count})) {
        return false;
    }
    static_cast<Event*>(overlapped.hEvent)->Signalled = false;
    if (writeCompletion_ != Completion::AtOnce) {
        overlapped.Internal = kStatusPending;
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
    overlapped.Internal = 0;
    overlapped.InternalHigh = count;
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
    if (overlapped.Internal == kStatusPending) {
        Fails(comm::kErrorIoIncomplete);
        return false;
    }
    if (overlapped.Internal != 0) {
        Fails(static_cast<std::uint32_t>(overlapped.Internal));
        return false;
    }
    transferred = static_cast<std::uint32_t>(overlapped.InternalHigh);
    return true;
}

EventHandle FakeComm::CreateEventA(bool manualReset, bool initialState) {
    const auto lock = Begin("CreateEventA");
    if (!Enter("CreateEventA", {manualReset, initialState})) {
        return nullptr;
    }
    auto* event = new Event{manualReset, initialState};
    events_.insert(event);
    Fails(createEventError_);
    return event;
}

bool FakeComm::CloseEvent(EventHandle event) {
    const auto lock = Begin("CloseEvent");
    if (!Enter("CloseEvent", {}) || events_.erase(static_cast<Event*>(event)) == 0) {
        return false;
    }
    delete static_cast<Event*>(event);
    return true;
}

bool FakeComm::ResetEvent(EventHandle event) {
    const auto lock = Begin("ResetEvent");
    if (!Enter("ResetEvent", {})) {
        return false;
    }
    static_cast<Event*>(event)->Signalled = false;
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
    for (std::size_t i = 0; i < events.size(); ++i) {
        auto* event = static_cast<Event*>(events[i]);
        if (event->Signalled) {
            if (!event->Manual) {
                event->Signalled = false;
            }
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::uint32_t FakeComm::Wait(std::span<const EventHandle> events, std::uint32_t milliseconds) {
    int index = SignalledIndex(events);
    const std::uint64_t deadline = loop_.Now() + milliseconds;
    const std::function<bool()> ready = [&] {
        const std::lock_guard lock(mutex_);
        return std::any_of(events.begin(), events.end(),
                           [](EventHandle event) { return static_cast<Event*>(event)->Signalled; });
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

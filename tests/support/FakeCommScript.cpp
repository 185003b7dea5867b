// FakeComm: what a test scripts and inspects: recorded calls, failures and actions to come,
// the results and timing of writes, reads and comm events, and the device state it sets.
#include "support/FakeComm.h"

namespace lum::platform::virtualtime {

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

void FakeComm::RecordWrite(std::uint64_t at, const std::uint8_t* buffer, std::uint32_t count) {
    written_.insert(written_.end(), buffer, buffer + count);
    writes_.push_back(Write{at, std::vector<std::uint8_t>(buffer, buffer + count)});
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

void FakeComm::CompleteRead(std::uint32_t error) {
    const std::lock_guard lock(mutex_);
    EndRead(error);
}

void FakeComm::RaiseCommEvent(std::uint32_t mask) {
    const std::lock_guard lock(mutex_);
    RaiseEvents(mask);
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

} // namespace lum::platform::virtualtime

#include "platform/posix/PosixSync.h"

#include "platform/OverlappedModel.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lum::platform::posix {

namespace {

using model::EventState;
using model::StateOf;

std::mutex& SyncLock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& SyncChanged() {
    static std::condition_variable changed;
    return changed;
}

thread_local std::uint32_t lastError = 0;

/// Signals `event`; the caller holds the lock.
void SignalLocked(EventHandle event) {
    if (event != nullptr) {
        StateOf(event).Signalled = true;
        SyncChanged().notify_all();
    }
}

} // namespace

EventHandle CreateEvent(bool manualReset, bool initialState) {
    return new EventState{manualReset, initialState};
}

bool CloseEvent(EventHandle event) {
    if (event == nullptr) {
        return Fail(comm::kErrorInvalidHandle);
    }
    delete &StateOf(event);
    return true;
}

bool SetEvent(EventHandle event) {
    if (event == nullptr) {
        return Fail(comm::kErrorInvalidHandle);
    }
    const std::lock_guard lock(SyncLock());
    SignalLocked(event);
    return true;
}

bool ResetEvent(EventHandle event) {
    if (event == nullptr) {
        return Fail(comm::kErrorInvalidHandle);
    }
    const std::lock_guard lock(SyncLock());
    StateOf(event).Signalled = false;
    return true;
}

std::uint32_t WaitAny(std::span<const EventHandle> events, std::uint32_t milliseconds) {
    for (EventHandle event : events) {
        if (event == nullptr) {
            Fail(comm::kErrorInvalidHandle);
            return comm::kWaitFailed;
        }
    }
    int index = -1;
    // Takes the first signalled event (clearing an auto-reset one); false when none is.
    const auto signalled = [&] {
        index = model::TakeSignalled(events);
        return index >= 0;
    };
    std::unique_lock lock(SyncLock());
    if (milliseconds == comm::kInfinite) {
        SyncChanged().wait(lock, signalled);
    } else {
        SyncChanged().wait_for(lock, std::chrono::milliseconds(milliseconds), signalled);
    }
    return index < 0 ? comm::kWaitTimeout : comm::kWaitObject0 + static_cast<std::uint32_t>(index);
}

void StartPending(Overlapped& overlapped) {
    const std::lock_guard lock(SyncLock());
    model::MarkPending(overlapped);
}

void Complete(Overlapped& overlapped, std::uint32_t error, std::uint32_t bytes) {
    const std::lock_guard lock(SyncLock());
    model::MarkEnded(overlapped, error, bytes);
    SignalLocked(overlapped.hEvent);
}

bool OverlappedResult(Overlapped& overlapped, std::uint32_t& transferred) {
    const std::lock_guard lock(SyncLock());
    const std::uint32_t error = model::Outcome(overlapped, transferred);
    return error == comm::kErrorSuccess || Fail(error);
}

void SetLastError(std::uint32_t error) {
    lastError = error;
}

std::uint32_t LastError() {
    return lastError;
}

std::uint32_t WindowsError(int error) {
    switch (error) {
    case 0:
        return comm::kErrorSuccess;
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return comm::kErrorFileNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
        return comm::kErrorAccessDenied;
    case EBADF:
        return comm::kErrorInvalidHandle;
    case ENOMEM:
        return comm::kErrorNotEnoughMemory;
    case EINVAL:
        return comm::kErrorInvalidParameter;
    case ENOTTY:
        return comm::kErrorInvalidFunction;
    default:
        return comm::kErrorGenFailure;
    }
}

bool FailWithErrno(int error) {
    return Fail(WindowsError(error));
}

bool Fail(std::uint32_t error) {
    lastError = error;
    return false;
}

} // namespace lum::platform::posix

#include "platform/posix/PosixSync.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lum::platform::posix {

namespace {

/// Internal value of an overlapped record whose operation is still running.
constexpr std::uintptr_t kStatusPending = 0x103;

struct Event {
    bool Manual = true;
    bool Signalled = false;
};

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
        static_cast<Event*>(event)->Signalled = true;
        SyncChanged().notify_all();
    }
}

} // namespace

EventHandle CreateEvent(bool manualReset, bool initialState) {
    return new Event{manualReset, initialState};
}

bool CloseEvent(EventHandle event) {
    if (event == nullptr) {
        return Fail(comm::kErrorInvalidHandle);
    }
    delete static_cast<Event*>(event);
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
    static_cast<Event*>(event)->Signalled = false;
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
        for (std::size_t i = 0; i < events.size(); ++i) {
            auto* event = static_cast<Event*>(events[i]);
            if (event->Signalled) {
                if (!event->Manual) {
                    event->Signalled = false;
                }
                index = static_cast<int>(i);
                return true;
            }
        }
        return false;
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
    overlapped.Internal = kStatusPending;
    overlapped.InternalHigh = 0;
    if (overlapped.hEvent != nullptr) {
        static_cast<Event*>(overlapped.hEvent)->Signalled = false;
    }
}

void Complete(Overlapped& overlapped, std::uint32_t error, std::uint32_t bytes) {
    const std::lock_guard lock(SyncLock());
    overlapped.Internal = error;
    overlapped.InternalHigh = bytes;
    SignalLocked(overlapped.hEvent);
}

bool OverlappedResult(Overlapped& overlapped, std::uint32_t& transferred) {
    const std::lock_guard lock(SyncLock());
    if (overlapped.Internal == kStatusPending) {
        return Fail(comm::kErrorIoIncomplete);
    }
    if (overlapped.Internal != comm::kErrorSuccess) {
        return Fail(static_cast<std::uint32_t>(overlapped.Internal));
    }
    transferred = static_cast<std::uint32_t>(overlapped.InternalHigh);
    return true;
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

#pragma once
// The Windows model of events and overlapped operations, for the comm layers that emulate it
// (the POSIX ports and the scripted fake): an event is a flag that is manual- or auto-reset; an
// overlapped record holds STATUS_PENDING while its operation runs and then the operation's
// error code and byte count. Nothing here locks: each layer calls these under its own lock.

#include "platform/Comm.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace lum::platform::model {

/// Internal value of an overlapped record whose operation is still running.
inline constexpr std::uintptr_t kStatusPending = 0x103;

/// What an emulated event handle points at.
struct EventState {
    bool Manual = true;
    bool Signalled = false;
};

/// The state behind an emulated event handle.
[[nodiscard]] inline EventState& StateOf(EventHandle event) {
    return *static_cast<EventState*>(event);
}

/// Takes the first signalled event of `events`, clearing it when it is auto-reset: its index,
/// or -1 when none is signalled.
[[nodiscard]] int TakeSignalled(std::span<const EventHandle> events);
/// True when any of `events` is signalled.
[[nodiscard]] bool AnySignalled(std::span<const EventHandle> events);

/// Marks the operation of `record` as running and clears its event.
void MarkPending(Overlapped& record);
/// Records the end of the operation of `record` with `error` (0: success) after `bytes` bytes;
/// the caller signals the event.
void MarkEnded(Overlapped& record, std::uint32_t error, std::uint32_t bytes);
/// The outcome of `record` as GetOverlappedResult without waiting: 0 with `transferred` set, or
/// the error the call fails with (kErrorIoIncomplete while the operation runs).
[[nodiscard]] std::uint32_t Outcome(const Overlapped& record, std::uint32_t& transferred);

/// A pending comm event wait: its record and the mask it writes when it ends.
struct PendingWait {
    Overlapped* Record = nullptr;
    std::uint32_t* Mask = nullptr;
};

/// Moves up to `count` bytes from the front of the input queue `queue` into `buffer`; returns
/// how many it moved.
template <typename Queue>
std::uint32_t TakeQueued(Queue& queue, std::uint8_t* buffer, std::uint32_t count) {
    const auto bytes = static_cast<std::uint32_t>(std::min<std::size_t>(count, queue.size()));
    std::copy_n(queue.begin(), bytes, buffer);
    queue.erase(queue.begin(), queue.begin() + bytes);
    return bytes;
}

} // namespace lum::platform::model

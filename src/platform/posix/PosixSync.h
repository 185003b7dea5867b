#pragma once
// Windows-style events, waits, overlapped status and last error on POSIX threads, shared by
// the POSIX comm layer and its ports. One lock guards every event and every overlapped record,
// so a wait for any of several events needs no more than one condition variable.

#include "platform/Comm.h"

#include <cstdint>
#include <span>

namespace lum::platform::posix {

/// Creates an event.
[[nodiscard]] EventHandle CreateEvent(bool manualReset, bool initialState);
/// Releases an event.
bool CloseEvent(EventHandle event);
/// Signals an event.
bool SetEvent(EventHandle event);
/// Clears an event.
bool ResetEvent(EventHandle event);
/// Waits for any of `events`: kWaitObject0 + index, kWaitTimeout or kWaitFailed.
[[nodiscard]] std::uint32_t WaitAny(std::span<const EventHandle> events,
                                    std::uint32_t milliseconds);

/// Marks an overlapped operation as running and clears its event.
void StartPending(Overlapped& overlapped);
/// Ends an overlapped operation with `error` (0: success) after `bytes` bytes, signalling its
/// event.
void Complete(Overlapped& overlapped, std::uint32_t error, std::uint32_t bytes);
/// The outcome of an overlapped operation, as GetOverlappedResult without waiting.
bool OverlappedResult(Overlapped& overlapped, std::uint32_t& transferred);

/// Sets the calling thread's last error.
void SetLastError(std::uint32_t error);
/// The calling thread's last error.
[[nodiscard]] std::uint32_t LastError();
/// The Windows error code for an errno value.
[[nodiscard]] std::uint32_t WindowsError(int error);
/// Sets the last error from `error` (an errno value) and returns false.
bool FailWithErrno(int error);
/// Sets the last error to `error` (a Windows code) and returns false.
bool Fail(std::uint32_t error);

} // namespace lum::platform::posix

// TSerialPortNG: starting writes.
#include "serial/SerialNG.h"

#include <algorithm>
#include <limits>

namespace lum::serial {

namespace comm = platform::comm;

std::uint32_t TSerialPortNG::WriteTimeout(std::uint32_t count) const {
    // Computed wide and capped, so that a long write at a slow rate cannot wrap around to a
    // short time-out that would cut it off.
    const std::uint64_t milliseconds =
        static_cast<std::uint64_t>(WTOCharDelayTime_) * count / 1000 + WTOExtraDelayTime_;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(milliseconds, std::numeric_limits<std::uint32_t>::max()));
}

void TSerialPortNG::SendData(const std::uint8_t* buffer, std::uint32_t count) {
    if (shared_.SendInProgress) {
        Report(SerialReport::SendWhilePending, 0);
        return;
    }
    StartWrite(buffer, count);
}

void TSerialPortNG::StartWrite(const std::uint8_t* buffer, std::uint32_t count) {
    const platform::CommHandle handle = shared_.ComHandle;
    const platform::CommTimeouts timeouts{comm::kMaxDword, 0, 0, 0, WriteTimeout(count)};
    if (!comm_.SetCommTimeouts(handle, timeouts)) {
        Report(SerialReport::SendTimeoutsFailed, comm_.GetLastError());
    }
    shared_.BytesToWrite = count;
    // As the system's own write call does: a write that fails or goes pending shows no count
    // of an earlier one.
    shared_.WrittenBytes = 0;
    std::uint32_t written = 0;
    if (comm_.WriteFile(handle, buffer, count, written, shared_.WriteOverlapped)) {
        shared_.WrittenBytes = written;
        OnWriteDone(*this);
        return;
    }
    const std::uint32_t error = comm_.GetLastError();
    if (error == comm::kErrorIoPending) {
        shared_.SendInProgress = true;
        return;
    }
    Report(SerialReport::WriteFailed, error);
    ResetOverlappedEvent(shared_.WriteOverlapped);
    shared_.SendInProgress = false;
}

void TSerialPortNG::SendText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    const auto count = static_cast<std::uint32_t>(
        std::min<std::size_t>(text.size(), std::numeric_limits<std::uint32_t>::max()));
    // Decided once: the worker may end the pending write at any moment, and a write must never
    // start on the caller's bytes, which do not outlive this call.
    if (shared_.SendInProgress) {
        Report(SerialReport::SendWhilePending, 0);
        return;
    }
    shared_.SendCopy.assign(text.begin(), text.begin() + count);
    StartWrite(shared_.SendCopy.data(), count);
    if (!shared_.SendInProgress) {
        shared_.ReleaseSendCopy();
    }
}

} // namespace lum::serial

// The emulated events and overlapped records.
#include "platform/OverlappedModel.h"

namespace lum::platform::model {

int TakeSignalled(std::span<const EventHandle> events) {
    for (std::size_t i = 0; i < events.size(); ++i) {
        EventState& event = StateOf(events[i]);
        if (event.Signalled) {
            if (!event.Manual) {
                event.Signalled = false;
            }
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool AnySignalled(std::span<const EventHandle> events) {
    return std::any_of(events.begin(), events.end(),
                       [](EventHandle event) { return StateOf(event).Signalled; });
}

void MarkPending(Overlapped& record) {
    record.Internal = kStatusPending;
    record.InternalHigh = 0;
    if (record.hEvent != nullptr) {
        StateOf(record.hEvent).Signalled = false;
    }
}

void MarkEnded(Overlapped& record, std::uint32_t error, std::uint32_t bytes) {
    record.Internal = error;
    record.InternalHigh = bytes;
}

std::uint32_t Outcome(const Overlapped& record, std::uint32_t& transferred) {
    if (record.Internal == kStatusPending) {
        return comm::kErrorIoIncomplete;
    }
    if (record.Internal != comm::kErrorSuccess) {
        return static_cast<std::uint32_t>(record.Internal);
    }
    transferred = static_cast<std::uint32_t>(record.InternalHigh);
    return comm::kErrorSuccess;
}

} // namespace lum::platform::model

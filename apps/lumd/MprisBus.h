#pragma once
// What every sd-bus call of lumd's MPRIS source holds until the end of its scope: the error it
// may fill and the reply it may get.

#include <cstring>
#include <string>
#include <systemd/sd-bus.h>

namespace lum::lumd {

/// An sd_bus_error freed at the end of the scope.
struct BusError {
    sd_bus_error Error = SD_BUS_ERROR_NULL;
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&Error); }
    /// The error's message, or the text of the errno value of the call's negative `result`.
    [[nodiscard]] std::string Text(int result) const {
        return Error.message != nullptr ? Error.message : std::strerror(-result);
    }
};

/// A reply freed at the end of the scope.
struct BusReply {
    sd_bus_message* Message = nullptr;
    BusReply() = default;
    BusReply(const BusReply&) = delete;
    BusReply& operator=(const BusReply&) = delete;
    ~BusReply() { sd_bus_message_unref(Message); }
};

} // namespace lum::lumd

#pragma once
// The copy of a port's line and modem status that the worker keeps for the user-interface
// thread: the worker stores each status read, the component's getters read the fields.

#include "platform/Comm.h"

#include <atomic>
#include <cstdint>

namespace lum::serial {

/// What storing a modem status read changed.
struct TModemChange {
    bool RingChanged = false; ///< the ring indicator differs from the last read
    /// The ring indicator went off on a system that raises no EV_RING then (the Windows 95
    /// family), so the worker raises it itself.
    bool RingEnded = false;
};

/// The status of the last status read. Written by the worker only.
struct TStatusMirror {
    /// Stores the modem status `status` (MS_ bits) read on the system `platformId`.
    TModemChange StoreModemStatus(std::uint32_t status, std::int32_t platformId);
    /// Stores the line errors and queue status of a ClearCommError; true when any changed.
    [[nodiscard]] bool StoreCommStat(std::uint32_t errors, const platform::CommStat& stat);

    std::atomic<bool> CTSState{false};
    std::atomic<bool> DSRState{false};
    std::atomic<bool> RLSDState{false};
    std::atomic<bool> RingState{false};
    std::atomic<std::uint32_t> ModemState{0};
    std::atomic<std::uint32_t> CommError{0};
    std::atomic<std::uint8_t> CommStateFlags{0}; ///< the seven COMSTAT flag bits
    std::atomic<std::uint32_t> CommStateInQueue{0};
    std::atomic<std::uint32_t> CommStateOutQueue{0};
};

} // namespace lum::serial

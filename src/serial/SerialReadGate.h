#pragma once
// When the worker starts a read of the bytes in the input queue, and how many it takes: at once
// for a read request, a full cluster or a line error that spoils the bytes; otherwise once the
// queued bytes have had their time on the line since the queue was last empty or read.

#include <cstdint>

namespace lum::serial {

/// What the decision to read looks at.
struct TReadGateInput {
    std::uint32_t InQueue = 0;           ///< bytes queued (more than none)
    std::uint32_t SinceLastRead = 0;     ///< ms since the queue was last empty or read
    std::uint32_t LineErrors = 0;        ///< CE_ flags seen since then
    bool ReadRequest = false;            ///< the owner asks for a read at once
    std::uint16_t ClusterSize = 0;       ///< queued bytes that make a read at once
    std::uint32_t RTOCharDelayTime = 0;  ///< microseconds per received character
    std::uint16_t RTOExtraDelayTime = 0; ///< ms added to the bytes' time
};

/// True when the worker reads the queued bytes now.
[[nodiscard]] bool ReadNow(const TReadGateInput& input);
/// Bytes one read takes: the queued ones, at most the driver's input queue size (and at least 1).
[[nodiscard]] std::uint32_t ReadSizeFor(std::uint32_t inQueue, std::uint16_t rxQueueSize);

} // namespace lum::serial

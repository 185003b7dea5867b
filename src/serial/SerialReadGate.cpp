// The worker's read gating.
#include "serial/SerialReadGate.h"

#include "platform/Comm.h"

#include <algorithm>

namespace lum::serial {

namespace comm = platform::comm;

namespace {

/// Line errors that make the worker read the queued bytes at once.
constexpr std::uint32_t kReadNowErrors =
    comm::kCeRxOver | comm::kCeOverrun | comm::kCeRxParity | comm::kCeFrame | comm::kCeBreak;

} // namespace

bool ReadNow(const TReadGateInput& input) {
    const double queuedTime =
        static_cast<double>(static_cast<std::uint64_t>(input.InQueue) * input.RTOCharDelayTime) /
            1000.0 +
        input.RTOExtraDelayTime;
    return input.ReadRequest || input.InQueue >= input.ClusterSize ||
           static_cast<double>(input.SinceLastRead) > queuedTime ||
           (input.LineErrors & kReadNowErrors) != 0;
}

std::uint32_t ReadSizeFor(std::uint32_t inQueue, std::uint16_t rxQueueSize) {
    return std::min<std::uint32_t>(inQueue, std::max<std::uint32_t>(rxQueueSize, 1));
}

} // namespace lum::serial

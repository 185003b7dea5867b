// TStatusMirror: storing status reads.
#include "serial/SerialStatusMirror.h"

namespace lum::serial {

namespace comm = platform::comm;

TModemChange TStatusMirror::StoreModemStatus(std::uint32_t status, std::int32_t platformId) {
    const std::uint32_t previous = ModemState;
    const TModemChange change{
        ((status ^ previous) & comm::kMsRingOn) != 0,
        platformId == comm::kPlatformWin32Windows && (status & comm::kMsRingOn) == 0 &&
            (previous & comm::kMsRingOn) != 0,
    };
    ModemState = status;
    CTSState = (status & comm::kMsCtsOn) != 0;
    DSRState = (status & comm::kMsDsrOn) != 0;
    RLSDState = (status & comm::kMsRlsdOn) != 0;
    RingState = (status & comm::kMsRingOn) != 0;
    return change;
}

bool TStatusMirror::StoreCommStat(std::uint32_t errors, const platform::CommStat& stat) {
    const auto flags = static_cast<std::uint8_t>(stat.Flags & 0xFF);
    if (CommError == errors && CommStateFlags == flags && CommStateInQueue == stat.cbInQue &&
        CommStateOutQueue == stat.cbOutQue) {
        return false;
    }
    CommError = errors;
    CommStateFlags = flags;
    CommStateInQueue = stat.cbInQue;
    CommStateOutQueue = stat.cbOutQue;
    return true;
}

} // namespace lum::serial

#include "plugin/DeviceLoss.h"

#include "platform/Comm.h"
#include "serial/SerialReports.h"

#include <algorithm>
#include <iterator>

namespace lum {
namespace {

using serial::SerialReport;

// The reports of the line's traffic that carry an error code (the wait reports carry a wait
// result, and a write time-out may be a slow line).
constexpr SerialReport kTrafficReports[] = {
    SerialReport::WriteFailed, SerialReport::WriteResultFailed, SerialReport::ClearErrorFailed,
    SerialReport::ReadFailed,  SerialReport::ModemStatusFailed, SerialReport::WaitCommEventFailed,
    SerialReport::ReadAborted, SerialReport::ReadResultFailed,
};

// The codes Windows gives for I/O on a device that has vanished; the POSIX comm layer maps a
// hang-up and EIO to the second and ENXIO and ENODEV to the fifth. Wine gives the last one for
// a tty that has hung up or gone (EIO).
constexpr std::uint32_t kDeviceGoneCodes[] = {
    platform::comm::kErrorBadCommand,         platform::comm::kErrorGenFailure,
    platform::comm::kErrorAccessDenied,       platform::comm::kErrorOperationAborted,
    platform::comm::kErrorDeviceNotConnected, platform::comm::kErrorSemTimeout,
    platform::comm::kErrorNotReady,
};

} // namespace

bool IsDeviceLoss(std::uint32_t place, std::uint32_t code) {
    const bool traffic =
        std::any_of(std::begin(kTrafficReports), std::end(kTrafficReports),
                    [place](SerialReport id) { return serial::ReportOf(id).Place == place; });
    return traffic && std::find(std::begin(kDeviceGoneCodes), std::end(kDeviceGoneCodes), code) !=
                          std::end(kDeviceGoneCodes);
}

bool IsNoSerialLine(std::uint32_t place) {
    return place == serial::ReportOf(SerialReport::SetupQueuesFailed).Place ||
           place == serial::ReportOf(SerialReport::GetStateFailed).Place;
}

} // namespace lum

#include "tools/lumhost/posix/PortOpenReport.h"

#include "platform/posix/PortOpenFailures.h"
#include "tools/common/InputEcho.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

namespace lum::host {
namespace {

std::string Reason(int error) {
    switch (error) {
    case ENOTTY:
        return "not a terminal";
    case EWOULDBLOCK:
    case EBUSY:
        return "in use by another program";
    default:
        return std::strerror(error);
    }
}

} // namespace

void SayFirstPortOpenFailure() {
    static std::atomic_bool said = false;
    platform::posix::SetPortOpenFailureHandler([](const std::string& path, int error) {
        if (!said.exchange(true)) {
            std::cerr << "lumhost: " << tools::EchoInput(path)
                      << ": cannot open the display's port: " << Reason(error) << '\n';
        }
    });
}

} // namespace lum::host

#include "apps/lumd/MpdAddress.h"

#include "apps/lumd/HostPort.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace lum::lumd {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

} // namespace

bool MpdAddress::IsLocalSocket() const {
    return !Host.empty() && (Host.front() == '/' || Host.front() == '@');
}

std::string MpdAddress::Text() const {
    if (IsLocalSocket()) {
        return Host;
    }
    return HostPortText(Host, Port);
}

MpdEnvironment MpdEnvironment::FromProcess() {
    return {Variable("MPD_HOST"), Variable("MPD_PORT")};
}

MpdAddress ParseMpdAddress(std::optional<std::string_view> given,
                           const MpdEnvironment& environment) {
    std::string origin = "the MPD address";
    std::string_view text = "localhost";
    if (given && !given->empty()) {
        text = *given;
    } else if (environment.Host) {
        text = *environment.Host;
        origin = "MPD_HOST";
    }
    const std::string whole(text);
    const auto quoted = [&] { return "'" + whole + "' (" + origin + ")"; };

    MpdAddress address;
    if (const auto at = text.find('@'); at != std::string_view::npos && at > 0) {
        address.Password = std::string(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    if (!text.empty() && (text.front() == '/' || text.front() == '@')) {
        address.Host = std::string(text);
        return address;
    }
    HostPort split = SplitHostPort(text, quoted());
    address.Host = std::move(split.Host);
    if (split.Port) {
        address.Port = *split.Port;
    } else if (environment.Port) {
        address.Port = ParsePort(*environment.Port, "MPD_PORT");
    }
    return address;
}

} // namespace lum::lumd

#include "apps/lumd/MpdAddress.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace lum::lumd {
namespace {

constexpr unsigned kHighestPort = 65535;

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

unsigned ParsePort(std::string_view text, std::string_view origin) {
    const auto bad = [&] {
        return std::invalid_argument("bad port '" + std::string(text) + "' in " +
                                     std::string(origin) + " (1-65535)");
    };
    if (text.empty() || text.size() > 5 ||
        !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
        throw bad();
    }
    unsigned port = 0;
    for (const char digit : text) {
        port = port * 10 + static_cast<unsigned>(digit - '0');
    }
    if (port == 0 || port > kHighestPort) {
        throw bad();
    }
    return port;
}

} // namespace

bool MpdAddress::IsLocalSocket() const {
    return !Host.empty() && (Host.front() == '/' || Host.front() == '@');
}

std::string MpdAddress::Text() const {
    if (IsLocalSocket()) {
        return Host;
    }
    const bool v6 = Host.find(':') != std::string::npos;
    return (v6 ? "[" + Host + "]" : Host) + ":" + std::to_string(Port);
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
    std::optional<std::string_view> port;
    if (!text.empty() && (text.front() == '/' || text.front() == '@')) {
        address.Host = std::string(text);
    } else if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            throw std::invalid_argument("no ']' after the IPv6 address in " + quoted());
        }
        address.Host = std::string(text.substr(1, close - 1));
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                throw std::invalid_argument("unexpected text after ']' in " + quoted());
            }
            port = rest.substr(1);
        }
    } else if (const auto colon = text.find(':');
               colon != std::string_view::npos &&
               text.find(':', colon + 1) == std::string_view::npos) {
        address.Host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
    } else {
        address.Host = std::string(text);
    }
    if (address.Host.empty()) {
        throw std::invalid_argument("no host in " + quoted());
    }
    if (port) {
        address.Port = ParsePort(*port, quoted());
    } else if (environment.Port && !address.IsLocalSocket()) {
        address.Port = ParsePort(*environment.Port, "MPD_PORT");
    }
    return address;
}

} // namespace lum::lumd

#include "apps/lumd/HostPort.h"

#include <algorithm>
#include <stdexcept>

namespace lum::lumd {
namespace {

constexpr unsigned kHighestPort = 65535;

} // namespace

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

HostPort SplitHostPort(std::string_view text, const std::string& quoted) {
    HostPort split;
    std::optional<std::string_view> port;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string_view::npos) {
            throw std::invalid_argument("no ']' after the IPv6 address in " + quoted);
        }
        split.Host = std::string(text.substr(1, close - 1));
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') {
                throw std::invalid_argument("unexpected text after ']' in " + quoted);
            }
            port = rest.substr(1);
        }
    } else if (const auto colon = text.find(':');
               colon != std::string_view::npos &&
               text.find(':', colon + 1) == std::string_view::npos) {
        split.Host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
    } else {
        split.Host = std::string(text);
    }
    if (split.Host.empty()) {
        throw std::invalid_argument("no host in " + quoted);
    }
    if (port) {
        split.Port = ParsePort(*port, quoted);
    }
    return split;
}

std::string HostPortText(const std::string& host, unsigned port) {
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace lum::lumd

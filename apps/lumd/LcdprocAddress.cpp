#include "apps/lumd/LcdprocAddress.h"

#include "apps/lumd/HostPort.h"

namespace lum::lumd {

std::string LcdprocAddress::Text() const {
    return HostPortText(Host, Port);
}

LcdprocAddress ParseLcdprocAddress(std::string_view text) {
    LcdprocAddress address;
    if (text.empty()) {
        return address;
    }
    HostPort split = SplitHostPort(text, "'" + std::string(text) + "' (the LCDproc address)");
    address.Host = std::move(split.Host);
    address.Port = split.Port.value_or(kLcdprocDefaultPort);
    return address;
}

} // namespace lum::lumd

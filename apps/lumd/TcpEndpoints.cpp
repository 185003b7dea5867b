#include "apps/lumd/TcpEndpoints.h"

#include <cstring>
#include <netdb.h>

namespace lum::lumd {

std::vector<Endpoint> TcpEndpoints(const std::string& host, unsigned port, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int failed = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    std::vector<Endpoint> endpoints;
    if (failed != 0) {
        error = ::gai_strerror(failed);
        return endpoints;
    }
    for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
        if (each->ai_addrlen <= sizeof(sockaddr_storage)) {
            Endpoint endpoint;
            endpoint.Family = each->ai_family;
            std::memcpy(&endpoint.Address, each->ai_addr, each->ai_addrlen);
            endpoint.Length = each->ai_addrlen;
            endpoints.push_back(endpoint);
        }
    }
    ::freeaddrinfo(found);
    return endpoints;
}

} // namespace lum::lumd

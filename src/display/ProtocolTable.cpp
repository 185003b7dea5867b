#include "display/ProtocolTable.h"

#include <stdexcept>

namespace lum {

std::string ProtocolNames() {
    std::string names;
    for (const ProtocolRow& row : kDisplayProtocols) {
        names += names.empty() ? "" : ", ";
        names += row.Name;
    }
    return names;
}

std::unique_ptr<DisplayProtocol> MakeDisplayProtocol(std::string_view name,
                                                     const ProtocolOptions& options) {
    for (const ProtocolRow& row : kDisplayProtocols) {
        if (row.Name != name) {
            continue;
        }
        const char* refused = options.CharacterTable && !row.TakesCharacterTable ? "character table"
                              : options.InternationalSet && !row.TakesInternationalSet
                                  ? "international character set"
                                  : nullptr;
        if (refused != nullptr) {
            throw std::invalid_argument("protocol " + std::string(name) + " has no " + refused +
                                        " to choose");
        }
        return row.Make(options);
    }
    throw std::invalid_argument("unknown protocol '" + std::string(name) + "': one of " +
                                ProtocolNames());
}

} // namespace lum

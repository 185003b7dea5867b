#include "tools/common/InputEcho.h"

#include "tools/common/EscapedText.h"

namespace lum::tools {

std::string EchoInput(std::string_view input) {
    return EchoInput(input, input.size());
}

std::string EchoInput(std::string_view start, std::size_t totalBytes) {
    if (totalBytes <= kMaxEchoBytes && start.size() == totalBytes) {
        return EscapeText(start);
    }
    return EscapeText(start.substr(0, kMaxEchoBytes)) + "... (" + std::to_string(totalBytes) +
           " bytes, cut)";
}

} // namespace lum::tools

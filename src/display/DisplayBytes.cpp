#include "display/DisplayBytes.h"

#include "common/Decimal.h"
#include "common/LumError.h"
#include "common/TableOrder.h"

#include <cassert>
#include <cstdint>
#include <iterator>

namespace lum {

static_assert(RowsInEnumOrder<&DisplaySequenceEntry::Sequence>(kDisplaySequences),
              "each sequence stands at the index of its name");

std::string BrightnessBytes(int step) {
    assert(step >= 1 && step <= static_cast<int>(std::size(kBrightnessSteps)));
    return std::string(1, kBrightnessSteps[static_cast<std::size_t>(step - 1)].Byte);
}

std::string InitCommandBytes(std::string_view initCommand) {
    if (initCommand.empty()) {
        return {};
    }
    const auto value = ParseDecimal(initCommand);
    if (!value) {
        throw LumError(messages::kNotAnInteger, initCommand);
    }
    return std::string(1, static_cast<char>(static_cast<std::uint32_t>(*value) & 0xFF));
}

} // namespace lum

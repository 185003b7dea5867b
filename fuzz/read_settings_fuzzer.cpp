// Fuzzes the settings file reader with the fuzzed bytes as a file's contents: DecodeSettings, then
// StoreLoadedSettings as the start-up does. It must never crash and fail only with the reader's
// two messages; values it reads must write back to no more bytes and read back unchanged, and
// once stored every integer lies in its field's range and the texts are as read.

#include "common/LumError.h"
#include "settings/Settings.h"
#include "settings/SettingsFields.h"
#include "settings/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every stored integer of `settings` inside the range its rule maps it into.
bool IntegersInRange(lum::Settings& settings) {
    for (const lum::SettingsField& field : lum::StoredFields(settings)) {
        const auto* value = std::get_if<std::int32_t*>(&field.Value);
        if (value != nullptr && field.Rule != lum::IntegerRule::None &&
            (**value < field.Min || **value > field.Max)) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lum::Settings asRead;
    try {
        asRead = lum::DecodeSettings(std::span(data, size));
    } catch (const lum::LumError& error) {
        Check(error.Format() == lum::messages::kStreamReadError ||
              error.Format() == lum::messages::kInvalidPropertyValue);
        return 0;
    }

    const auto written = lum::EncodeSettings(asRead);
    Check(written.size() <= size);
    Check(lum::DecodeSettings(written) == asRead);

    lum::Settings stored;
    lum::StoreLoadedSettings(asRead, stored);
    Check(IntegersInRange(stored));
    Check(stored.Separator == asRead.Separator && stored.InitCommand == asRead.InitCommand);
    for (int set = 1; set <= lum::kTextSetCount; ++set) {
        for (int line = 1; line <= lum::kLinesPerSet; ++line) {
            Check(stored.Slot(set, line).Template == asRead.Slot(set, line).Template);
        }
    }
    return 0;
}

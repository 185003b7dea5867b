#include "apps/lumd/SettingsApply.h"

#include "common/LumError.h"
#include "settings/SettingsFile.h"
#include "tools/common/EscapedText.h"
#include "tools/common/FileProblems.h"

namespace lum::lumd {

std::variant<Settings, SettingsProblem> ReadSettingsFile(const std::string& path) {
    try {
        if (std::optional<Settings> asRead = LoadSettingsFile(path)) {
            return *std::move(asRead);
        }
        throw LumError(messages::kCannotOpenFile, path);
    } catch (const LumError& error) {
        return SettingsProblem{
            tools::EscapeText(path) + ": " +
            tools::ConsoleText(error.Format(), tools::EscapeText(error.Argument())) + " (" +
            tools::LoadFailureCause(path, error) + ")"};
    }
}

} // namespace lum::lumd

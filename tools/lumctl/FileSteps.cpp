#include "tools/lumctl/FileSteps.h"

#include "settings/SettingsFile.h"
#include "tools/common/EscapedText.h"
#include "tools/common/FileProblems.h"

#include <iostream>

namespace lum::tools {

std::string Describe(const FileFailure& failure) {
    const std::string& path = failure.Path;
    const std::string cause = failure.Step == FileStep::Load ? LoadFailureCause(path, failure.Error)
                              : failure.Step == FileStep::Save
                                  ? SaveFailureCause(path, failure.Error)
                                  : ReadFailureCause(path);
    return EscapeText(path) + ": " +
           ConsoleText(failure.Error.Format(), EscapeText(failure.Error.Argument())) + " (" +
           cause + ")";
}

Settings LoadAsPluginDoes(const std::string& path) {
    return Step(path, FileStep::Load, [&path] {
        const auto asRead = LoadSettingsFile(path);
        if (!asRead) {
            throw LumError(messages::kCannotOpenFile, path);
        }
        Settings settings;
        StoreLoadedSettings(*asRead, settings);
        return settings;
    });
}

Settings LoadForReading(const std::string& path) {
    try {
        return LoadAsPluginDoes(path);
    } catch (const FileFailure& failure) {
        const auto bytes = failure.Error.Format() == messages::kCannotOpenFile
                               ? ReadPlainFile(path, kMaxSettingsFileBytes)
                               : std::nullopt;
        if (!bytes) {
            throw;
        }
        Settings settings;
        Step(path, FileStep::Load, [&] { StoreLoadedSettings(DecodeSettings(*bytes), settings); });
        std::cerr << "lumctl: note: " << Describe(failure)
                  << "; the values follow as read without write access\n";
        return settings;
    }
}

void Save(const std::string& path, const Settings& settings) {
    Step(path, FileStep::Save, [&] { SaveSettingsFile(path, settings); });
}

} // namespace lum::tools

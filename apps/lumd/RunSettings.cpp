#include "apps/lumd/RunSettings.h"

#include "apps/lumd/SettingsApply.h"
#include "apps/lumd/config/ConfigRead.h"

namespace lum::lumd {

RunSettings::RunSettings(std::string configFile, std::string settingsFile, GivenValues given,
                         MpdEnvironment environment, Log& log)
    : binary_(!settingsFile.empty()), fileGiven_(binary_ || !configFile.empty()),
      file_(binary_              ? std::move(settingsFile)
            : configFile.empty() ? std::string(kDefaultConfigFile)
                                 : std::move(configFile)),
      given_(std::move(given)), environment_(std::move(environment)), log_(log) {}

std::variant<RunValues, std::vector<std::string>> RunSettings::Read() {
    LumdConfig config;
    try {
        if (binary_) {
            auto read = ReadSettingsFile(file_);
            if (auto* problem = std::get_if<SettingsProblem>(&read)) {
                return std::vector{std::move(problem->Message)};
            }
            config.Display = std::get<Settings>(std::move(read));
        } else if (auto read = ReadConfigFile(file_)) {
            config = *std::move(read);
        } else if (fileGiven_) {
            return std::vector{file_ + ": cannot be read: no such file"};
        } else {
            log_.Info("no " + file_ + ": the configuration's defaults");
        }
        return CombineValues(config, file_, given_, environment_);
    } catch (const ConfigError& error) {
        return error.Problems();
    }
}

std::optional<RunValues> RunSettings::Start() {
    auto read = Read();
    if (auto* problems = std::get_if<std::vector<std::string>>(&read)) {
        for (const std::string& problem : *problems) {
            log_.Error(problem);
        }
        return std::nullopt;
    }
    running_ = std::get<RunValues>(read);
    return running_;
}

std::optional<RunValues> RunSettings::Reread() {
    auto read = Read();
    if (auto* problems = std::get_if<std::vector<std::string>>(&read)) {
        problems->back() += "; the running settings stay";
        for (const std::string& problem : *problems) {
            log_.Error(problem);
        }
        return std::nullopt;
    }
    RunValues values = std::get<RunValues>(std::move(read));
    RunValues startOnly = values;
    startOnly.Display = running_.Display;
    startOnly.Rules = running_.Rules;
    if (startOnly != running_) {
        log_.Warning("SIGHUP: the player, the display's port and its protocol change only when "
                     "lumd starts again");
    }
    log_.Info("SIGHUP: settings read again from " + file_);
    running_.Display = values.Display;
    running_.Rules = values.Rules;
    return values;
}

} // namespace lum::lumd

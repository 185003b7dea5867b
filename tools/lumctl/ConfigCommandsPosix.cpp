// lumctl export and import: the plug-in's settings file as lumd's configuration file and back,
// through the configuration's one key table.

#include "apps/lumd/config/ConfigRead.h"
#include "apps/lumd/config/ConfigSchema.h"
#include "apps/lumd/config/ConfigWrite.h"
#include "tools/common/EscapedText.h"
#include "tools/lumctl/FileSteps.h"
#include "tools/lumctl/LumctlCommand.h"

#include <iostream>

namespace lum::tools {
namespace {

using lumd::LumdConfig;

int Export(const std::vector<std::string>& words) {
    LumdConfig config;
    config.Display = LoadForReading(words[0]);
    if (config.Display.DisplayOff) {
        std::cerr << "lumctl: note: " << EscapeText(words[0])
                  << " has the display switched off: lumd shows nothing until "
                     "display.switched-on is true\n";
    }
    std::cout << lumd::WriteConfig(
        config, lumd::WriteStyle::Export,
        "lumd's configuration (see lumd.conf(5)), made by lumctl export from " +
            EscapeText(words[0]) +
            ". The plug-in's values are set; lumd's own (the player, the display's port) stand "
            "as comments showing their defaults.");
    return 0;
}

int Import(const std::vector<std::string>& words) {
    const std::string& path = words[0];
    std::optional<LumdConfig> config;
    try {
        config = lumd::ReadConfigFile(path);
    } catch (const lumd::ConfigError& error) {
        for (const std::string& problem : error.Problems()) {
            std::cerr << "lumctl: " << problem << '\n';
        }
        return kExitBadInput;
    }
    if (!config) {
        std::cerr << "lumctl: " << EscapeText(path) << ": cannot be read: no such file\n";
        return kExitFileError;
    }
    if (!config->Own.Protocol.empty()) {
        std::cerr << "lumctl: " << config->Place("display.protocol") << ": display.protocol: \""
                  << config->Own.Protocol
                  << "\" is lumd's own; the plug-in's file takes \"plain\", \"cr\" or \"ba63\"\n";
        return kExitBadInput;
    }
    std::string ownKeys;
    for (const lumd::ConfigKey& key : lumd::kConfigKeys) {
        if (key.Field.empty() && !config->Place(key.FullName()).empty()) {
            ownKeys += (ownKeys.empty() ? "" : ", ") + key.FullName();
        }
    }
    if (!ownKeys.empty()) {
        std::cerr << "lumctl: note: " << ownKeys << ": lumd's own, not in the plug-in's file\n";
    }
    Save(words[1], config->Display);
    return 0;
}

// clang-format off
const LumctlCommand kConfigCommands[] = {
    // Name     Required                  Most Run      Usage
    {"export", {"FILE"},                  1,   Export, "FILE   (lumd's configuration, on standard output)"},
    {"import", {"CONFIG", "FILE"},        2,   Import, "CONFIG FILE"},
};
// clang-format on

} // namespace

std::span<const LumctlCommand> ConfigCommands() {
    return kConfigCommands;
}

} // namespace lum::tools

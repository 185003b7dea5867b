#pragma once
// A lumctl command that takes words alone ("lumctl dump FILE"): its name, the words it needs
// (as the usage names them) and how many it takes at most, what runs it, and its usage line.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lum::tools {

/// One command of lumctl's table.
struct LumctlCommand {
    std::string Name;
    std::vector<std::string> Required;
    std::size_t Most;
    int (*Run)(const std::vector<std::string>& words);
    std::string_view Usage; ///< the words after "lumctl NAME"
};

/// The commands on lumd's configuration file (export, import), where lumd runs; none elsewhere.
[[nodiscard]] std::span<const LumctlCommand> ConfigCommands();

/// The exit codes of lumctl.
inline constexpr int kExitFileError = 1;
inline constexpr int kExitBadInput = 2;

} // namespace lum::tools

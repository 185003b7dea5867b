#pragma once
// Reading lumd's configuration file (TOML, with toml++). The file is only read, never written;
// every key is optional and takes the place of its default. What cannot be used is said as
//
//   FILE:LINE:COLUMN: KEY: VALUE is not ALLOWED     display.baud: 9601 is not one of 2400, ...
//   FILE:LINE:COLUMN: unknown key KEY (did you mean NEAREST?)
//   FILE:LINE:COLUMN: TOML's own message            a syntax error
//
// each problem of the file once, in the order of the file.

#include "apps/lumd/config/LumdConfig.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lum::lumd {

/// A configuration that cannot be used: each problem, a line of its own.
class ConfigError : public std::runtime_error {
public:
    explicit ConfigError(std::vector<std::string> problems);

    [[nodiscard]] const std::vector<std::string>& Problems() const { return problems_; }

private:
    std::vector<std::string> problems_;
};

/// The longest configuration file read: far beyond any real one.
inline constexpr std::size_t kMaxConfigFileBytes = 1024 * 1024;

/// The configuration `text` holds, read as the file `name`. Raises ConfigError.
[[nodiscard]] LumdConfig ParseConfig(std::string_view text, const std::string& name);

/// The configuration in the file at `path` (a plain file, opened for reading only); nothing when
/// no file is there. Raises ConfigError for a file that cannot be read or used.
[[nodiscard]] std::optional<LumdConfig> ReadConfigFile(const std::string& path);

} // namespace lum::lumd

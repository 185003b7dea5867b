#pragma once
// Where a lumd run's settings come from: its configuration file (the one given, else
// /etc/lumd.conf, which may be missing: then the defaults), or the plug-in's settings file given
// instead; read at the start and again on SIGHUP, the command line's values on top each time.

#include "apps/lumd/Log.h"
#include "apps/lumd/RunConfig.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lum::lumd {

/// The file of one run and what was read from it last.
class RunSettings {
public:
    /// `configFile` and `settingsFile` as the command line gives them (empty: not given; at most
    /// one of them), `given` its values; messages go to `log`, which must outlive this.
    RunSettings(std::string configFile, std::string settingsFile, GivenValues given,
                MpdEnvironment environment, Log& log);

    /// What the run starts with; nothing after the log says why the file cannot be used.
    [[nodiscard]] std::optional<RunValues> Start();

    /// The values read again, of which a running lumd takes the display's settings and rules;
    /// nothing after the log says why the file cannot be used (the running settings stay). What
    /// only a start takes (the player, the display's port, a protocol of lumd's own) is said to
    /// wait for the next start when it changed.
    [[nodiscard]] std::optional<RunValues> Reread();

    /// The file read: the configuration or the settings file.
    [[nodiscard]] const std::string& File() const { return file_; }

private:
    /// The values read, or why they cannot be used, a line a problem.
    [[nodiscard]] std::variant<RunValues, std::vector<std::string>> Read();

    bool binary_;    ///< the plug-in's settings file rather than a configuration
    bool fileGiven_; ///< named on the command line, so it must be there
    std::string file_;
    GivenValues given_;
    MpdEnvironment environment_;
    Log& log_;
    RunValues running_{};
};

} // namespace lum::lumd

#pragma once
// lumd's configuration written as a TOML file with a comment on each key (what it means and what
// it takes), in the order of the key table: what lumctl export prints and the example file.

#include "apps/lumd/config/LumdConfig.h"

#include <string>
#include <string_view>

namespace lum::lumd {

/// Which keys a written file sets; the others stand as comments showing their value.
enum class WriteStyle {
    Export,  ///< the plug-in's values set, lumd's own commented (the plug-in's file has none)
    Example, ///< every key commented, the text sets too
};

/// `config` as a commented TOML file; `heading` (lines without '#') opens it as a comment.
[[nodiscard]] std::string WriteConfig(const LumdConfig& config, WriteStyle style,
                                      std::string_view heading);

/// `text` as comment lines ("# ...") of at most 100 characters, words kept whole.
[[nodiscard]] std::string CommentLines(std::string_view text);

} // namespace lum::lumd

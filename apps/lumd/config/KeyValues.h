#pragma once
// Each kind of key both ways: a TOML value stored into a configuration, and a configuration's
// value written as TOML text, side by side so that what one writes the other reads back.

#include "apps/lumd/config/ConfigSchema.h"
#include "apps/lumd/config/LumdConfig.h"

#include <optional>
#include <string>
#include <toml++/toml.h>

namespace lum::lumd {

/// A value a key cannot take: what is wrong and, for a part of an array or table, the part's key
/// behind the key's own ("[2].scroll") and its place.
struct ValueProblem {
    std::string What;
    std::string PartKey{};
    std::optional<toml::source_position> PartAt{};
    bool UnknownKey = false; ///< the part is a key the table does not take; What is the hint
};

/// What `key` takes, in words: "a whole number from 8 to 80", "one of 2400, 4800, ...".
[[nodiscard]] std::string AllowedValues(const ConfigKey& key);

/// Stores the value `node` gives `key` into `config`; `setIndex` is the text set (0-3) of a key
/// of [[set]]. Raises ValueProblem.
void StoreValue(const ConfigKey& key, const toml::node& node, std::size_t setIndex,
                LumdConfig& config);

/// A key's value as TOML text (a Lines value over several lines).
struct KeyText {
    std::string Text;
    bool LeftOut = false; ///< no value writes it, the key's absence does (baud: none chosen);
                          ///< Text is then what lumd uses instead
};

/// `key`'s value in `config`; `setIndex` is the text set (0-3) of a key of [[set]].
[[nodiscard]] KeyText ValueText(const ConfigKey& key, const LumdConfig& config,
                                std::size_t setIndex);

/// Whether `node` can be the array of the text sets: empty, or of tables.
[[nodiscard]] bool IsSetArray(const toml::node& node);

/// How many text sets a file writes for `settings`: up to the last that holds a line.
[[nodiscard]] std::size_t SetsToWrite(const Settings& settings);

/// Empties every text set: a file that gives sets gives all it wants.
void EmptySets(Settings& settings);

/// A value as the file writes it, for messages: numbers and words as they are, texts quoted and
/// escaped, cut after 40 characters; arrays and tables by their kind.
[[nodiscard]] std::string ValueForMessage(const toml::node& node);

} // namespace lum::lumd

#include "apps/lumd/config/ConfigRead.h"

#include "apps/lumd/config/ConfigSchema.h"
#include "apps/lumd/config/KeyValues.h"
#include "apps/lumd/config/NearestName.h"
#include "tools/common/FileProblems.h"

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <vector>

namespace lum::lumd {
namespace {

/// One problem and where it stands, for putting them in the file's order.
struct Problem {
    toml::source_position At;
    std::string Text;
};

/// "[display]", or "[[set]]" for the array of tables.
std::string SectionHeader(const ConfigSection& section) {
    return section.IsArray ? "[[" + std::string(section.Name) + "]]"
                           : "[" + std::string(section.Name) + "]";
}

/// The reading of one file: its name, the problems found so far and the configuration.
class Reading {
public:
    explicit Reading(std::string name) : name_(std::move(name)) {}

    void CheckSections(const toml::table& root);
    void StoreKeys(const toml::table& root);
    [[nodiscard]] LumdConfig Result();

private:
    std::string Place(const toml::source_position& at) const {
        return name_ + ":" + std::to_string(at.line) + ":" + std::to_string(at.column);
    }
    void Add(const toml::source_position& at, std::string text) {
        problems_.push_back({at, Place(at) + ": " + std::move(text)});
    }
    void CheckKeys(const ConfigSection& section, const toml::table& table,
                   const std::string& prefix);
    void UnknownKey(const ConfigSection* section, const toml::key& key, const toml::node& node,
                    const std::string& prefix);
    void Store(const ConfigKey& key, const toml::node& node, std::size_t setIndex,
               const std::string& keyText);

    std::string name_;
    std::vector<Problem> problems_;
    LumdConfig config_;
};

void Reading::CheckSections(const toml::table& root) {
    for (const auto& [name, node] : root) {
        const ConfigSection* section = FindSection(name.str());
        if (section == nullptr) {
            UnknownKey(nullptr, name, node, "");
            continue;
        }
        const std::string header = SectionHeader(*section);
        if (!section->IsArray) {
            if (const auto* table = node.as_table()) {
                CheckKeys(*section, *table, std::string(section->Name) + ".");
            } else {
                Add(node.source().begin, std::string(name.str()) + ": " + ValueForMessage(node) +
                                             " is not a section " + header);
            }
            continue;
        }
        const auto* array = node.as_array();
        if (!IsSetArray(node)) {
            Add(node.source().begin, std::string(name.str()) + ": " + ValueForMessage(node) +
                                         " is not an array of tables " + header);
            continue;
        }
        for (std::size_t i = 0; i < array->size(); ++i) {
            const std::string prefix =
                std::string(section->Name) + "[" + std::to_string(i + 1) + "].";
            if (i == kTextSetCount) {
                Add(array->get(i)->source().begin, std::string(name.str()) + ": at most " +
                                                       std::to_string(kTextSetCount) +
                                                       " text sets");
                break;
            }
            CheckKeys(*section, *array->get(i)->as_table(), prefix);
        }
    }
}

void Reading::CheckKeys(const ConfigSection& section, const toml::table& table,
                        const std::string& prefix) {
    for (const auto& [name, node] : table) {
        if (FindKey(section.Name, name.str()) == nullptr) {
            UnknownKey(&section, name, node, prefix);
        }
    }
}

// A section's key: the nearest of the same section, else the key of that name in another
// section, else what the section takes. A top-level table: the nearest section; a top-level value:
// the key of that name in a section.
void Reading::UnknownKey(const ConfigSection* section, const toml::key& key, const toml::node& node,
                         const std::string& prefix) {
    const std::string_view name = key.str();
    const bool isSection = section == nullptr && (node.is_table() || node.is_array_of_tables());
    std::vector<std::string> near;
    std::string takes;
    for (const ConfigSection& known : kConfigSections) {
        if (isSection) {
            near.emplace_back(known.Name);
            takes += (takes.empty() ? "" : ", ") + SectionHeader(known);
        }
    }
    std::string elsewhere;
    for (const ConfigKey& known : kConfigKeys) {
        if (section != nullptr && known.Section == section->Name) {
            near.emplace_back(known.Name);
            takes += (takes.empty() ? "" : ", ") + std::string(known.Name);
        } else if (known.Name == name && elsewhere.empty()) {
            elsewhere = known.FullName();
        }
    }
    std::string hint;
    if (const auto nearest = NearestName(name, near)) {
        hint = isSection ? " (did you mean [" + *nearest + "]?)"
                         : " (did you mean " + prefix + *nearest + "?)";
    } else if (!elsewhere.empty() && !isSection) {
        hint = " (did you mean " + elsewhere + "?)";
    } else if (section != nullptr) {
        hint = "; " + SectionHeader(*section) + " takes " + takes;
    } else {
        hint = isSection ? "; the sections are " + takes : "; every key stands in a section";
    }
    Add(key.source().begin, (isSection ? "unknown section [" + std::string(name) + "]"
                                       : "unknown key " + prefix + std::string(name)) +
                                hint);
}

void Reading::StoreKeys(const toml::table& root) {
    if (const toml::node* sets = root.get("set"); sets != nullptr && IsSetArray(*sets)) {
        EmptySets(config_.Display);
    }
    for (const ConfigKey& key : kConfigKeys) {
        const toml::node* section = root.get(key.Section);
        if (const auto* table = section == nullptr ? nullptr : section->as_table()) {
            if (const toml::node* node = table->get(key.Name)) {
                Store(key, *node, 0, key.FullName());
            }
            continue;
        }
        if (section == nullptr || !IsSetArray(*section)) {
            continue;
        }
        const auto* array = section->as_array();
        for (std::size_t i = 0; i < std::min<std::size_t>(array->size(), kTextSetCount); ++i) {
            if (const toml::node* node = array->get(i)->as_table()->get(key.Name)) {
                Store(key, *node, i,
                      std::string(key.Section) + "[" + std::to_string(i + 1) + "]." +
                          std::string(key.Name));
            }
        }
    }
}

void Reading::Store(const ConfigKey& key, const toml::node& node, std::size_t setIndex,
                    const std::string& keyText) {
    config_.Places[keyText] = Place(node.source().begin);
    try {
        StoreValue(key, node, setIndex, config_);
    } catch (const ValueProblem& problem) {
        const std::string partKey = keyText + problem.PartKey;
        Add(problem.PartAt.value_or(node.source().begin),
            problem.UnknownKey ? "unknown key " + partKey + problem.What
                               : partKey + ": " + problem.What);
    }
}

LumdConfig Reading::Result() {
    if (problems_.empty()) {
        return std::move(config_);
    }
    std::ranges::stable_sort(problems_, [](const Problem& a, const Problem& b) {
        return std::tie(a.At.line, a.At.column) < std::tie(b.At.line, b.At.column);
    });
    std::vector<std::string> texts;
    for (Problem& problem : problems_) {
        texts.push_back(std::move(problem.Text));
    }
    throw ConfigError(std::move(texts));
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

} // namespace

ConfigError::ConfigError(std::vector<std::string> problems)
    : std::runtime_error(Joined(problems)), problems_(std::move(problems)) {}

LumdConfig ParseConfig(std::string_view text, const std::string& name) {
    toml::table root;
    try {
        root = toml::parse(text, name);
    } catch (const toml::parse_error& error) {
        const auto at = error.source().begin;
        throw ConfigError({name + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
                           ": " + std::string(error.description())});
    }
    Reading reading(name);
    reading.CheckSections(root);
    reading.StoreKeys(root);
    return reading.Result();
}

std::optional<LumdConfig> ReadConfigFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error))) {
        return std::nullopt;
    }
    const auto bytes = tools::ReadPlainFile(path, kMaxConfigFileBytes);
    if (!bytes) {
        const auto size = fs::file_size(path, error);
        throw ConfigError({path + ": cannot be read: " +
                           (!error && size > kMaxConfigFileBytes
                                ? std::to_string(size) + " bytes, far more than any configuration"
                                : tools::ReadFailureCause(path))});
    }
    return ParseConfig(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path);
}

} // namespace lum::lumd

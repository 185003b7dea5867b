// lumd_config_doc: what the configuration's key table writes for people, so that the example file
// and the manual's list of keys come from the table the reader uses.
//
//   lumd_config_doc example       the example configuration: every key a comment with its default
//   lumd_config_doc page FILE     the scdoc FILE with the part between its key-list marks written
//                                 anew from the table
//
// Both go to standard output; the build's config-docs target writes them into the source tree
// and a test checks that the files there are what the table writes.

#include "apps/lumd/config/ConfigSchema.h"
#include "apps/lumd/config/ConfigWrite.h"
#include "apps/lumd/config/KeyValues.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using namespace lum::lumd;

constexpr std::string_view kBeginMark = "; The keys, written from lumd's key table: begin";
constexpr std::string_view kEndMark = "; The keys, written from lumd's key table: end";

/// scdoc text with its markup characters taken as they are.
std::string Plain(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '*' || c == '_' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    }
    return out;
}

/// What the settings field a key maps to is called, or that the value is lumd's own.
std::string MapsTo(const ConfigKey& key) {
    if (key.Field.empty()) {
        return "lumd's own.";
    }
    return "lumctl's *" + Plain(key.Field) + "*" +
           (key.Kind == KeyKind::SwitchedOn ? ", inverted." : ".");
}

/// The manual's list of keys, a subsection a section.
std::string KeyList() {
    const LumdConfig defaults;
    std::string out;
    for (const ConfigSection& section : kConfigSections) {
        out += "\n## " + std::string(section.IsArray ? "[[" : "[") + std::string(section.Name) +
               (section.IsArray ? "]]" : "]") + "\n\n" + Plain(section.Meaning) + "\n";
        for (const ConfigKey& key : kConfigKeys) {
            if (key.Section != section.Name) {
                continue;
            }
            const KeyText value = ValueText(key, defaults, 0);
            const bool oneLine = value.Text.find('\n') == std::string::npos;
            out += "\n*" + std::string(key.Name) + "*" +
                   (oneLine ? " (default: " + Plain(value.Text) + ")" : "") + "\n\t" +
                   Plain(key.Meaning) + " Takes " + Plain(AllowedValues(key)) + ". Maps to " +
                   MapsTo(key) + "\n";
        }
    }
    return out;
}

int Page(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "lumd_config_doc: " << path << ": cannot be read\n";
        return 1;
    }
    bool inside = false;
    bool marked = false;
    for (std::string line; std::getline(in, line);) {
        if (line == kEndMark) {
            inside = false;
        }
        if (!inside) {
            std::cout << line << '\n';
        }
        if (line == kBeginMark) {
            inside = marked = true;
            std::cout << KeyList().substr(1);
        }
    }
    if (!marked) {
        std::cerr << "lumd_config_doc: " << path << ": no line '" << kBeginMark << "'\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "example" && argc == 2) {
        std::cout << WriteConfig(
            LumdConfig{}, WriteStyle::Example,
            "lumd's configuration (TOML; see lumd.conf(5)). Every key is optional: each stands "
            "here as a comment with its default; remove the '#' before a key to set it (for the "
            "text sets, before [[set]] too). lumd needs no more than the display's port "
            "(display.port) or LCDd's address (display.lcdproc), and [source] for a player other "
            "than MPD on this machine.");
        return 0;
    }
    if (mode == "page" && argc == 3) {
        return Page(argv[2]);
    }
    std::cerr << "usage: lumd_config_doc example | page FILE\n";
    return 2;
}

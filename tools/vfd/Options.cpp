#include "tools/vfd/Options.h"

#include "tools/vfd/CharacterDisplay.h"

#include <charconv>

namespace lum::vfd {

std::optional<Options> ParseOptions(int argc, char** argv, std::string& problem) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        // The option's value as a number in min-max; a wrong one is the problem.
        const auto number = [&](long min, long max) -> long {
            long parsed = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), parsed);
            if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
                parsed < min || parsed > max) {
                problem = option + " " + value + ": must be " + std::to_string(min) + "-" +
                          std::to_string(max);
            }
            return parsed;
        };
        if (option == "--help" || option == "-h") {
            options.Help = true;
            return options;
        }
        if (option == "--pty") {
            options.Pty = true;
            continue;
        }
        if (option == "--dump") {
            options.Dump = true;
            continue;
        }
        if (option == "--quiet") {
            options.Quiet = true;
            continue;
        }
        bool known = true;
        if (option == "--link") {
            options.Link = value;
        } else if (option == "--device") {
            options.Device = value;
        } else if (option == "--baud") {
            options.Baud = static_cast<unsigned>(number(50, 4'000'000));
        } else if (option == "--file") {
            options.File = value;
        } else if (option == "--width") {
            options.Width = static_cast<int>(number(kMinColumns, kMaxColumns));
        } else if (option == "--lines") {
            options.Lines = static_cast<int>(number(kMinLines, kMaxLines));
        } else if (option == "--snapshot") {
            options.Snapshot = value;
        } else if (option == "--log") {
            options.Log = value;
        } else if (option == "--seconds") {
            options.Seconds = static_cast<double>(number(1, 86'400));
        } else {
            known = false;
        }
        if (!known) {
            problem = option + ": unknown option";
        } else if (!hasValue) {
            problem = option + ": missing value";
        }
        if (!problem.empty()) {
            return std::nullopt;
        }
        ++i;
    }
    if (static_cast<int>(options.Pty) + static_cast<int>(!options.Device.empty()) +
            static_cast<int>(!options.File.empty()) !=
        1) {
        problem = "give exactly one of --pty, --device and --file";
        return std::nullopt;
    }
    if (!options.Link.empty() && !options.Pty) {
        problem = "--link " + options.Link + ": only with --pty";
        return std::nullopt;
    }
    return options;
}

const char* UsageText() {
    return "usage: vfd --pty [--link PATH] | --device PATH [--baud N] | --file PATH\n"
           "           [--width W] [--lines N] [--snapshot FILE.png] [--log FILE]\n"
           "           [--dump] [--quiet] [--seconds S]\n";
}

} // namespace lum::vfd

#include "tools/vfd/Options.h"

#include "tools/common/CommandLine.h"
#include "tools/vfd/CharacterDisplay.h"

namespace lum::vfd {

const std::string_view kVfdUsage =
    "usage: vfd --pty [--link PATH] | --device PATH [--baud N] | --file PATH\n"
    "           [--width W] [--lines N] [--snapshot FILE.png] [--log FILE]\n"
    "           [--dump] [--quiet] [--seconds S] [--charset NAME]\n"
    "       vfd --help | --version\n"
    "  --charset NAME  the display's character set: ascii, cp437, cp850, cp858, cp1252\n"
    "                  (the default) or latin1\n";

Options ParseOptions(std::span<const std::string> arguments) {
    using tools::Text;
    using tools::WholeNumberInto;
    Options options;
    tools::CommandLine line;
    line.Flag("--pty", options.Pty);
    line.Value("--link", Text(options.Link));
    line.Value("--device", Text(options.Device));
    line.Value("--baud", WholeNumberInto(options.Baud, 50, 4'000'000));
    line.Value("--file", Text(options.File));
    line.Value("--width", WholeNumberInto(options.Width, kMinColumns, kMaxColumns));
    line.Value("--lines", WholeNumberInto(options.Lines, kMinLines, kMaxLines));
    line.Value("--snapshot", Text(options.Snapshot));
    line.Value("--log", Text(options.Log));
    line.Flag("--dump", options.Dump);
    line.Flag("--quiet", options.Quiet);
    line.Value("--seconds", WholeNumberInto(options.Seconds, 1, 86'400));
    line.Value("--charset", [&options](const std::string& name) {
        options.Charset = DisplayCharset::Find(name);
        if (options.Charset == nullptr) {
            throw tools::BadValue("must be one of " + DisplayCharset::Names());
        }
    });
    options.Help = !line.Parse(arguments);
    options.Version = line.VersionAsked();
    if (options.Help) {
        return options;
    }
    if (static_cast<int>(options.Pty) + static_cast<int>(!options.Device.empty()) +
            static_cast<int>(!options.File.empty()) !=
        1) {
        throw tools::CommandLineError("give exactly one of --pty, --device and --file");
    }
    if (!options.Link.empty() && !options.Pty) {
        throw tools::CommandLineError(
            tools::OptionProblem("--link", options.Link, "only with --pty"));
    }
    return options;
}

} // namespace lum::vfd

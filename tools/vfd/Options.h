#pragma once
// vfd's command line:
//
//   vfd --pty [--link PATH] | --device PATH [--baud N] | --file PATH
//       [--width W] [--lines N] [--snapshot FILE.png] [--log FILE] [--dump] [--quiet]
//       [--seconds S] [--charset NAME]
//   vfd --help | --version
//
// NAME is the display's character set (common/DisplayCharset.h), cp1252 unless given.

#include "common/DisplayCharset.h"

#include <span>
#include <string>
#include <string_view>

namespace lum::vfd {

/// What the command line asks for.
struct Options {
    bool Help = false;    ///< the usage or the version is asked for
    bool Version = false; ///< the version is
    bool Pty = false;
    std::string Link;
    std::string Device;
    unsigned Baud = 9600;
    std::string File;
    int Width = 20;
    int Lines = 2;
    std::string Snapshot;
    std::string Log;
    bool Dump = false;
    bool Quiet = false;
    double Seconds = 0;
    /// How the display shows its bytes.
    const DisplayCharset* Charset = DisplayCharset::Find("cp1252");
};

/// The options of `arguments` (without the program's name). Raises tools::CommandLineError.
[[nodiscard]] Options ParseOptions(std::span<const std::string> arguments);

/// The usage text, ending with a line break.
extern const std::string_view kVfdUsage;

} // namespace lum::vfd

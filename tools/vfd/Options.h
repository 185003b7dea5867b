#pragma once
// vfd's command line.

#include <optional>
#include <string>

namespace lum::vfd {

/// What the command line asks for.
struct Options {
    bool Help = false;
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
};

/// The options of `argv`, or none with `problem` naming the option at fault and why.
[[nodiscard]] std::optional<Options> ParseOptions(int argc, char** argv, std::string& problem);

/// The usage text.
[[nodiscard]] const char* UsageText();

} // namespace lum::vfd

// lumctl: reads, writes and edits the plug-in's binary settings file, reads ID3v1 tags, and
// previews what the display shows.
//
//   lumctl defaults FILE             write a file holding the start values
//   lumctl dump FILE                 print every value as Name=value, as the plug-in loads it
//   lumctl write FILE                write the file from Name=value lines on standard input
//   lumctl set FILE Name=value...    change values of an existing file
//   lumctl id3 FILE                  print the file's ID3v1 tag as Name=value
//   lumctl preview [options]         print the frame of each refresh tick (see Usage)
//   lumctl export FILE               print the file as lumd's configuration (Linux)
//   lumctl import CONFIG FILE        write the file from lumd's configuration (Linux)
//   lumctl --help | --version        print the usage or the version
//
// Exit codes: 0 done; 1 the file could not be loaded or saved, or has no tag or an unreadable
// one; 2 bad command line or bad text input. A failure names the file and its cause beside the
// plug-in's own message; bytes from the user are escaped as in the dump.

#include "common/LumError.h"
#include "display/ExtractID3.h"
#include "tools/common/CommandLine.h"
#include "tools/common/EscapedText.h"
#include "tools/common/FileProblems.h"
#include "tools/lumctl/FileSteps.h"
#include "tools/lumctl/Id3Command.h"
#include "tools/lumctl/LumctlCommand.h"
#include "tools/lumctl/PreviewCommand.h"
#include "tools/lumctl/PreviewOptions.h"
#include "tools/lumctl/SettingsText.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace {

using lum::Settings;
using lum::tools::EscapeText;
using lum::tools::FileFailure;
using lum::tools::FileStep;
using lum::tools::kExitBadInput;
using lum::tools::kExitFileError;
using lum::tools::LoadAsPluginDoes;
using lum::tools::LumctlCommand;
using lum::tools::Save;
using lum::tools::Step;
using Args = std::vector<std::string>;

constexpr const char* kUsage =
    "usage: lumctl defaults FILE\n"
    "       lumctl dump FILE\n"
    "       lumctl write FILE   (Name=value lines on standard input)\n"
    "       lumctl set FILE Name=value...\n"
    "       lumctl id3 FILE\n"
    "       lumctl preview [--settings FILE] [--ticks N] [--title TEXT] [--file PATH]\n"
    "                      [--state stop|play|pause] [--position-ms N] [--length-s N]\n"
    "                      [--playlist-pos N] [--now YYYY-MM-DDTHH:MM:SS]\n"
    "                      [--active-set 1-5] [--banner] [--rotate-every N]\n"
    "                      [--set Name=value]...\n";

/// The usage with the commands of this platform's lumctl.
std::string Usage() {
    std::string usage = kUsage;
    for (const LumctlCommand& command : lum::tools::ConfigCommands()) {
        usage += "       lumctl " + command.Name + " " + std::string(command.Usage) + "\n";
    }
    return usage + "       lumctl --help | --version\n";
}

int Defaults(const Args& args) {
    Save(args[0], Settings{});
    return 0;
}

// Prints the values as the plug-in loads them, also those of a file it cannot open.
int Dump(const Args& args) {
    std::cout << lum::tools::SettingsToText(lum::tools::LoadForReading(args[0]));
    return 0;
}

int Write(const Args& args) {
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    Settings settings;
    try {
        settings = lum::tools::SettingsFromText(text);
    } catch (const lum::tools::TextInputError& error) {
        std::cerr << "lumctl: line " << error.Line << ": " << error.Message << '\n';
        return kExitBadInput;
    }
    Save(args[0], settings);
    return 0;
}

int Set(const Args& args) {
    Settings settings = LoadAsPluginDoes(args[0]);
    if (auto problem = lum::tools::ApplyAssignments(settings, Args(args.begin() + 1, args.end()))) {
        std::cerr << "lumctl: " << *problem << '\n';
        return kExitBadInput;
    }
    Save(args[0], settings);
    return 0;
}

int Id3(const Args& args) {
    const std::string& path = args[0];
    lum::TID3Info tag;
    if (!Step(path, FileStep::Read, [&] { return lum::ReadId3Tag(path, tag); })) {
        std::cerr << "lumctl: " << EscapeText(path) << ": no ID3v1 tag at its end\n";
        return kExitFileError;
    }
    std::cout << lum::tools::Id3ToText(tag);
    return 0;
}

int Preview(const lum::tools::PreviewOptions& options) {
    Settings settings = options.SettingsFile ? LoadAsPluginDoes(*options.SettingsFile) : Settings{};
    if (auto problem = lum::tools::ApplyAssignments(settings, options.Assignments)) {
        std::cerr << "lumctl: " << *problem << '\n';
        return kExitBadInput;
    }
    Step(options.File, FileStep::Read, [&] {
        lum::tools::RunPreview(options, settings, [](const std::string& frame) {
            std::cout << EscapeText(frame) << '\n';
        });
    });
    return 0;
}

// The commands that take words alone.
// clang-format off
const LumctlCommand kCommands[] = {
    // Name       Required                Most      Run       Usage
    {"defaults", {"FILE"},               1,        Defaults, "FILE"},
    {"dump",     {"FILE"},               1,        Dump,     "FILE"},
    {"write",    {"FILE"},               1,        Write,    "FILE"},
    {"set",      {"FILE", "Name=value"}, SIZE_MAX, Set,      "FILE Name=value..."},
    {"id3",      {"FILE"},               1,        Id3,      "FILE"},
};
// clang-format on

} // namespace

int main(int argc, char** argv) {
    Args words;
    lum::tools::PreviewOptions preview;
    lum::tools::CommandLine line;
    std::vector<const LumctlCommand*> commands;
    for (const auto& table :
         {std::span<const LumctlCommand>(kCommands), lum::tools::ConfigCommands()}) {
        for (const LumctlCommand& command : table) {
            line.Command(command.Name).Words(words, command.Required, command.Most);
            commands.push_back(&command);
        }
    }
    lum::tools::DeclarePreviewOptions(line.Command("preview"), preview);
    try {
        if (!line.Parse(Args(argv + std::min(argc, 1), argv + argc))) {
            std::cout << (line.VersionAsked() ? lum::tools::VersionLine("lumctl") : Usage());
            return 0;
        }
    } catch (const lum::tools::CommandLineError& error) {
        return lum::tools::RefuseCommandLine("lumctl", error, Usage());
    }
    try {
        const auto command = std::ranges::find_if(
            commands, [&line](const LumctlCommand* c) { return c->Name == line.CommandGiven(); });
        return command == commands.end() ? Preview(preview) : (*command)->Run(words);
    } catch (const FileFailure& failure) {
        std::cerr << "lumctl: " << lum::tools::Describe(failure) << '\n';
        return kExitFileError;
    }
}

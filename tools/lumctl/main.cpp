// lumctl: reads, writes and edits the plug-in's binary settings file, reads ID3v1 tags, and
// previews what the display shows.
//
//   lumctl defaults FILE             write a file holding the start values
//   lumctl dump FILE                 print every value as Name=value, as the plug-in loads it
//   lumctl write FILE                write the file from Name=value lines on standard input
//   lumctl set FILE Name=value...    change values of an existing file
//   lumctl id3 FILE                  print the file's ID3v1 tag as Name=value
//   lumctl preview [options]         print the frame of each refresh tick (see Usage)
//   lumctl --help                    print the usage
//
// Exit codes: 0 done; 1 the file could not be loaded or saved, or has no tag or an unreadable
// one; 2 bad command line or bad text input. A failure names the file and its cause beside the
// plug-in's own message; bytes from the user are escaped as in the dump.

#include "common/LumError.h"
#include "display/ExtractID3.h"
#include "settings/SettingsFile.h"
#include "tools/common/CommandLine.h"
#include "tools/common/EscapedText.h"
#include "tools/common/FileProblems.h"
#include "tools/lumctl/Id3Command.h"
#include "tools/lumctl/PreviewCommand.h"
#include "tools/lumctl/PreviewOptions.h"
#include "tools/lumctl/SettingsText.h"

#include <algorithm>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using lum::Settings;
using lum::tools::EscapeText;
using Args = std::vector<std::string>;

constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

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
    "                      [--set Name=value]...\n"
    "       lumctl --help\n";

// Which of the plug-in's file operations failed, for the cause beside its message.
enum class FileStep { Load, Save, Read };

// A file step that failed with one of the plug-in's errors.
struct FileFailure {
    std::string Path;
    FileStep Step;
    lum::LumError Error;
};

// "FILE: the plug-in's message (cause)".
std::string Describe(const FileFailure& failure) {
    const std::string& path = failure.Path;
    const std::string cause =
        failure.Step == FileStep::Load   ? lum::tools::LoadFailureCause(path, failure.Error)
        : failure.Step == FileStep::Save ? lum::tools::SaveFailureCause(path, failure.Error)
                                         : lum::tools::ReadFailureCause(path);
    return EscapeText(path) + ": " +
           lum::tools::ConsoleText(failure.Error.Format(), EscapeText(failure.Error.Argument())) +
           " (" + cause + ")";
}

// Runs a file step of the plug-in's code, turning its error into a FileFailure for `path`.
template <typename Action> auto Step(const std::string& path, FileStep step, Action action) {
    try {
        return action();
    } catch (const lum::LumError& error) {
        throw FileFailure{path, step, error};
    }
}

Settings LoadAsPluginDoes(const std::string& path) {
    return Step(path, FileStep::Load, [&path] {
        const auto asRead = lum::LoadSettingsFile(path);
        if (!asRead) {
            throw lum::LumError(lum::messages::kCannotOpenFile, path);
        }
        Settings settings;
        lum::StoreLoadedSettings(*asRead, settings);
        return settings;
    });
}

void Save(const std::string& path, const Settings& settings) {
    Step(path, FileStep::Save, [&] { lum::SaveSettingsFile(path, settings); });
}

int Defaults(const Args& args) {
    Save(args[0], Settings{});
    return 0;
}

// Prints the values as the plug-in loads them. A file the plug-in cannot open, because it opens
// its settings for writing as well, is still shown: dumping only reads.
int Dump(const Args& args) {
    const std::string& path = args[0];
    Settings settings;
    try {
        settings = LoadAsPluginDoes(path);
    } catch (const FileFailure& failure) {
        const auto bytes = failure.Error.Format() == lum::messages::kCannotOpenFile
                               ? lum::tools::ReadPlainFile(path, lum::kMaxSettingsFileBytes)
                               : std::nullopt;
        if (!bytes) {
            throw;
        }
        Step(path, FileStep::Load,
             [&] { lum::StoreLoadedSettings(lum::DecodeSettings(*bytes), settings); });
        std::cerr << "lumctl: note: " << Describe(failure)
                  << "; the values follow as read without write access\n";
    }
    std::cout << lum::tools::SettingsToText(settings);
    return 0;
}

int Write(const Args& args) {
    const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
    Settings settings;
    try {
        settings = lum::tools::SettingsFromText(text);
    } catch (const lum::tools::TextInputError& error) {
        std::cerr << "lumctl: line " << error.Line << ": " << error.Message << '\n';
        return kExitUsage;
    }
    Save(args[0], settings);
    return 0;
}

int Set(const Args& args) {
    Settings settings = LoadAsPluginDoes(args[0]);
    if (auto problem = lum::tools::ApplyAssignments(settings, Args(args.begin() + 1, args.end()))) {
        std::cerr << "lumctl: " << *problem << '\n';
        return kExitUsage;
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
        return kExitUsage;
    }
    Step(options.File, FileStep::Read, [&] {
        lum::tools::RunPreview(options, settings, [](const std::string& frame) {
            std::cout << EscapeText(frame) << '\n';
        });
    });
    return 0;
}

// The commands that take words alone, with the words each takes after its name: the ones it
// needs (as the usage names them), and how many at most.
const struct Command {
    std::string Name;
    std::vector<std::string> Required;
    std::size_t Most;
    int (*Run)(const Args&);
} kCommands[] = {
    {"defaults", {"FILE"}, 1, Defaults}, {"dump", {"FILE"}, 1, Dump},
    {"write", {"FILE"}, 1, Write},       {"set", {"FILE", "Name=value"}, SIZE_MAX, Set},
    {"id3", {"FILE"}, 1, Id3},
};

} // namespace

int main(int argc, char** argv) {
    Args words;
    lum::tools::PreviewOptions preview;
    lum::tools::CommandLine line;
    for (const Command& command : kCommands) {
        line.Command(command.Name).Words(words, command.Required, command.Most);
    }
    lum::tools::DeclarePreviewOptions(line.Command("preview"), preview);
    try {
        if (!line.Parse(Args(argv + std::min(argc, 1), argv + argc))) {
            std::cout << kUsage;
            return 0;
        }
    } catch (const lum::tools::CommandLineError& error) {
        return lum::tools::RefuseCommandLine("lumctl", error, kUsage);
    }
    try {
        const auto* command =
            std::find_if(std::begin(kCommands), std::end(kCommands),
                         [&line](const Command& c) { return c.Name == line.CommandGiven(); });
        return command == std::end(kCommands) ? Preview(preview) : command->Run(words);
    } catch (const FileFailure& failure) {
        std::cerr << "lumctl: " << Describe(failure) << '\n';
        return kExitFileError;
    }
}

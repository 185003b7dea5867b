// lumctl: reads, writes and edits the plug-in's binary settings file, reads ID3v1 tags, and
// previews what the display shows.
//
//   lumctl defaults FILE             write a file holding the start values
//   lumctl dump FILE                 print every value as Name=value, as the plug-in loads it
//   lumctl write FILE                write the file from Name=value lines on standard input
//   lumctl set FILE Name=value...    change values of an existing file
//   lumctl id3 FILE                  print the file's ID3v1 tag as Name=value
//   lumctl preview [options]         print the frame of each refresh tick (see Usage)
//
// Exit codes: 0 done; 1 the file could not be loaded or saved, or a tag could not be read (the
// plug-in's own message); 2 bad command line or bad text input.

#include "common/LumError.h"
#include "display/ExtractID3.h"
#include "settings/SettingsFile.h"
#include "tools/common/EscapedText.h"
#include "tools/lumctl/Id3Command.h"
#include "tools/lumctl/PreviewCommand.h"
#include "tools/lumctl/SettingsText.h"

#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using lum::Settings;

constexpr int kExitFileError = 1;
constexpr int kExitUsage = 2;

int Usage() {
    std::cerr
        << "usage: lumctl defaults FILE\n"
           "       lumctl dump FILE\n"
           "       lumctl write FILE   (Name=value lines on standard input)\n"
           "       lumctl set FILE Name=value...\n"
           "       lumctl id3 FILE\n"
           "       lumctl preview [--settings FILE] [--ticks N] [--title TEXT] [--file PATH]\n"
           "                      [--state stop|play|pause] [--position-ms N] [--length-s N]\n"
           "                      [--playlist-pos N] [--now YYYY-MM-DDTHH:MM:SS]\n"
           "                      [--active-set N] [--banner] [--rotate-every N]\n"
           "                      [--set Name=value]...\n";
    return kExitUsage;
}

Settings LoadAsPluginDoes(const std::string& path) {
    const auto asRead = lum::LoadSettingsFile(path);
    if (!asRead) {
        throw lum::LumError(lum::messages::kCannotOpenFile, path);
    }
    Settings settings;
    lum::StoreLoadedSettings(*asRead, settings);
    return settings;
}

int Preview(const std::vector<std::string>& args) {
    auto parsed = lum::tools::ParsePreviewOptions(args);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << "lumctl: " << *problem << '\n';
        return Usage();
    }
    const auto& options = std::get<lum::tools::PreviewOptions>(parsed);
    Settings settings = options.SettingsFile ? LoadAsPluginDoes(*options.SettingsFile) : Settings{};
    for (const std::string& assignment : options.Assignments) {
        if (auto problem = lum::tools::ApplyAssignment(settings, assignment)) {
            std::cerr << "lumctl: " << assignment << ": " << *problem << '\n';
            return kExitUsage;
        }
    }
    for (const std::string& frame : lum::tools::RunPreview(options, settings)) {
        std::cout << lum::tools::EscapeText(frame) << '\n';
    }
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "preview") {
        return Preview(std::vector<std::string>(args.begin() + 1, args.end()));
    }
    if (args.size() < 2) {
        return Usage();
    }
    const std::string& command = args[0];
    const std::string& path = args[1];
    if (command == "defaults" && args.size() == 2) {
        lum::SaveSettingsFile(path, Settings{});
        return 0;
    }
    if (command == "id3" && args.size() == 2) {
        lum::TID3Info tag;
        lum::ReadId3Tag(path, tag);
        std::cout << lum::tools::Id3ToText(tag);
        return 0;
    }
    if (command == "dump" && args.size() == 2) {
        std::cout << lum::tools::SettingsToText(LoadAsPluginDoes(path));
        return 0;
    }
    if (command == "write" && args.size() == 2) {
        const std::string text{std::istreambuf_iterator<char>(std::cin), {}};
        Settings settings;
        try {
            settings = lum::tools::SettingsFromText(text);
        } catch (const lum::tools::TextInputError& error) {
            std::cerr << "lumctl: line " << error.Line << ": " << error.Message << '\n';
            return kExitUsage;
        }
        lum::SaveSettingsFile(path, settings);
        return 0;
    }
    if (command == "set" && args.size() >= 3) {
        Settings settings = LoadAsPluginDoes(path);
        for (std::size_t i = 2; i < args.size(); ++i) {
            if (auto problem = lum::tools::ApplyAssignment(settings, args[i])) {
                std::cerr << "lumctl: " << args[i] << ": " << *problem << '\n';
                return kExitUsage;
            }
        }
        lum::SaveSettingsFile(path, settings);
        return 0;
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lum::LumError& error) {
        std::cerr << lum::tools::ConsoleText(error.Format(), error.Argument()) << '\n';
        return kExitFileError;
    }
}

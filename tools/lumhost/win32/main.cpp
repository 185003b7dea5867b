// lumhost: a stand-in for the media player. It loads plugins\gen_lum.dll below its own folder,
// drives it as the player would, and simulates playing the entries of an extended M3U playlist.
//
//   lumhost [--auto-dismiss] PLAYLIST.m3u
//
// Commands on standard input, one a line: play, pause, stop, next, prev, seek <ms>,
// select <n>, config, sleep <ms>, quit. End of input counts as quit. Events on standard output:
// "loaded <description>", "command <id>", "messagebox <text>" (with --auto-dismiss), "exit".
// A bad playlist or a missing plug-in is a message on standard error and exit code 2.

#include "plugin/PluginRecord.h"
#include "tools/common/EscapedText.h"
#include "tools/lumhost/HostCommand.h"
#include "tools/lumhost/Playlist.h"
#include "tools/lumhost/win32/EventLog.h"
#include "tools/lumhost/win32/HostWindow.h"
#include "tools/lumhost/win32/MessageBoxDismisser.h"

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <io.h>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <windows.h>

namespace {

using namespace lum::host;

constexpr int kExitBadSetup = 2;

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? path : std::string(buffer, length);
}

std::string OwnFolder() {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return FolderOf(std::string(buffer, length));
}

std::optional<std::vector<PlaylistEntry>> LoadPlaylist(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::cerr << "lumhost: cannot open playlist " << path << '\n';
        return std::nullopt;
    }
    // One byte more than a playlist may hold, so that the parser sees a longer file as too long.
    std::string text(kMaxPlaylistBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) {
        std::cerr << "lumhost: cannot read playlist " << path << '\n';
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(file.gcount()));
    try {
        return ParsePlaylist(text, FolderOf(path));
    } catch (const PlaylistError& error) {
        std::cerr << "lumhost: bad playlist " << path << ": " << error.Message << '\n';
        return std::nullopt;
    }
}

// Reads commands until quit or end of input; each runs on the window's thread.
void ReadCommands(HostWindow& host) {
    std::string line;
    while (std::getline(std::cin, line)) {
        const auto parsed = ParseHostCommand(line);
        const std::string shown =
            lum::tools::EscapeText(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
        if (const auto* problem = std::get_if<HostCommandProblem>(&parsed)) {
            if (*problem == HostCommandProblem::BadArgument) {
                std::cerr << "lumhost: bad argument: " << shown << '\n';
            } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
                std::cerr << "lumhost: unknown command: " << shown << '\n';
            }
            continue;
        }
        const auto& command = std::get<HostCommand>(parsed);
        if (command.Kind == HostCommandKind::Sleep) {
            std::this_thread::sleep_for(std::chrono::milliseconds(command.Argument));
            continue;
        }
        if (const std::string refused = host.RunCommand(command); !refused.empty()) {
            std::cerr << "lumhost: bad argument: " << shown << " (" << refused << ")\n";
        }
        if (command.Kind == HostCommandKind::Quit) {
            return;
        }
    }
    (void)host.RunCommand(HostCommand{HostCommandKind::Quit});
}

} // namespace

int main(int argc, char** argv) {
    // Event lines end in LF alone, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    bool autoDismiss = false;
    std::string playlistPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--auto-dismiss") {
            autoDismiss = true;
        } else if (playlistPath.empty() && !arg.starts_with("--")) {
            playlistPath = arg;
        } else {
            playlistPath.clear();
            break;
        }
    }
    if (playlistPath.empty()) {
        std::cerr << "usage: lumhost [--auto-dismiss] PLAYLIST.m3u\n";
        return kExitBadSetup;
    }
    auto entries = LoadPlaylist(FullPath(playlistPath));
    if (!entries) {
        return kExitBadSetup;
    }

    const std::string pluginPath = OwnFolder() + "plugins\\gen_lum.dll";
    const HMODULE module = LoadLibraryA(pluginPath.c_str());
    if (module == nullptr) {
        std::cerr << "lumhost: cannot load plug-in " << pluginPath << " (error " << GetLastError()
                  << ")\n";
        return kExitBadSetup;
    }
    const auto getPlugin = reinterpret_cast<lum::PluginRecord* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "winampGetGeneralPurposePlugin")));
    if (getPlugin == nullptr) {
        std::cerr << "lumhost: " << pluginPath << " has no winampGetGeneralPurposePlugin\n";
        FreeLibrary(module);
        return kExitBadSetup;
    }

    HostWindow host(SimulatedPlayer(std::move(*entries)));
    if (!host.Create("lumhost - " + playlistPath)) {
        std::cerr << "lumhost: cannot create the host window\n";
        FreeLibrary(module);
        return kExitBadSetup;
    }
    if (autoDismiss) {
        DismissMessageBoxesOfThisThread();
    }
    lum::PluginRecord* record = getPlugin();
    host.AttachPlugin(module, record);
    EmitEvent("loaded " + lum::tools::EscapeText(record->description));

    // The reader blocks on standard input; it is left to end with the process.
    std::thread(ReadCommands, std::ref(host)).detach();

    // The flag, not only WM_QUIT, ends the loop: a quit that arrives while a message box of the
    // plug-in is open posts WM_QUIT into the box's own loop.
    MSG message;
    while (!host.Finished() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EmitEvent("exit");
    return 0;
}

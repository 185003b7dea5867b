// lumhost: a stand-in for the media player. It loads plugins\gen_lum.dll below its own folder,
// drives it as the player would, and simulates playing the entries of an extended M3U playlist.
//
//   lumhost [--auto-dismiss] PLAYLIST.m3u
//   lumhost --help
//
// Commands on standard input, one a line: play, pause, stop, next, prev, seek <ms>,
// select <n>, config, sleep <ms>, quit. End of input counts as quit. Events on standard output:
// "loaded <description>", "command <id>", "messagebox <text>" (with --auto-dismiss), "exit".
// A bad command line, a bad playlist or a missing plug-in is a message on standard error and
// exit code 2; --help prints the usage on standard output.

#include "host/PluginRecord.h"
#include "tools/common/CommandLine.h"
#include "tools/common/EscapedText.h"
#include "tools/lumhost/CommandReader.h"
#include "tools/lumhost/EventLog.h"
#include "tools/lumhost/PlaylistFile.h"
#include "tools/lumhost/win32/HostWindow.h"
#include "tools/lumhost/win32/MessageBoxDismisser.h"

#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <iostream>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace {

using namespace lum::host;

constexpr int kExitBadSetup = 2;

constexpr const char* kUsage = "usage: lumhost [--auto-dismiss] PLAYLIST.m3u\n"
                               "       lumhost --help | --version\n";
constexpr const char* kHelp =
    "Loads plugins\\gen_lum.dll below this program's folder and plays the extended M3U\n"
    "playlist to it as the player would.\n"
    "  --auto-dismiss  closes each of the plug-in's message boxes with OK and reports it\n"
    "Commands on standard input, one a line: play, pause, stop, next, prev, seek MS, select N,\n"
    "config, sleep MS, windows, click NAME, key NAME KEY, settext NAME TEXT, check NAME on|off,\n"
    "select NAME N, page NAME N, echo WORD, resources, quit (end of input quits too).\n"
    "A bad command line, playlist or plug-in ends with exit code 2.\n";

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? path : std::string(buffer, length);
}

std::string OwnFolder() {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    const std::string path(buffer, length);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

// Reads commands until quit or end of input; each runs on the window's thread.
void ReadCommandsFor(HostWindow& host) {
    ReadCommands(std::cin,
                 [&host](const HostCommand& command) { return host.RunCommand(command); });
}

} // namespace

int main(int argc, char** argv) {
    // Event lines end in LF alone, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    bool autoDismiss = false;
    std::vector<std::string> playlist;
    lum::tools::CommandLine line;
    line.Flag("--auto-dismiss", autoDismiss);
    line.Words(playlist, {"PLAYLIST.m3u"}, 1);
    try {
        if (!line.Parse(std::vector<std::string>(argv + std::min(argc, 1), argv + argc))) {
            std::cout << (line.VersionAsked() ? lum::tools::VersionLine("lumhost")
                                              : std::string(kUsage) + kHelp);
            return 0;
        }
    } catch (const lum::tools::CommandLineError& error) {
        return lum::tools::RefuseCommandLine("lumhost", error, kUsage);
    }
    const std::string& playlistPath = playlist.front();
    auto entries = LoadPlaylistFile(FullPath(playlistPath), PathStyle::Windows);
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
    std::thread(ReadCommandsFor, std::ref(host)).detach();

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

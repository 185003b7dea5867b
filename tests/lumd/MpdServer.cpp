#include "MpdServer.h"

#include "TestMusic.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace lum::lumd::testing {

std::vector<std::string> MpdServer::Programs() {
    std::vector<std::string> programs = MusicPrograms();
    programs.insert(programs.end(), {"mpd", "mpc"});
    return programs;
}

MpdServer::MpdServer(int seconds, const std::string& password, unsigned port)
    : music_(folder_.Path() + "/music"), socket_(folder_.Path() + "/socket"),
      port_(port != 0 ? port : FreeTcpPort()), password_(password),
      config_(folder_.Path() + "/mpd.conf") {
    std::filesystem::create_directory(music_);
    MakeTestMusic(music_, StandardTracks(), seconds);
    std::ofstream config(config_);
    config << "music_directory \"" << music_ << "\"\n"
           << "db_file \"" << folder_.Path() << "/database\"\n"
           << "log_file \"" << folder_.Path() << "/mpd.log\"\n"
           << "bind_to_address \"" << socket_ << "\"\n"
           << "bind_to_address \"127.0.0.1\"\n"
           << "port \"" << port_ << "\"\n"
           << "metadata_to_use \"+comment\"\n" // off by default
           << "audio_output {\n  type \"null\"\n  name \"silence\"\n  mixer_type \"none\"\n}\n";
    if (!password.empty()) {
        config << "password \"" << password << "@read,add,control,admin\"\n"
               << "default_permissions \"\"\n";
    }
    config.close();
    Launch();
    Mpc({"update", "--wait"});
}

void MpdServer::Launch() {
    server_ = std::make_unique<Child>(std::vector<std::string>{"mpd", "--no-daemon", config_},
                                      folder_.Path() + "/mpd.out");
    const bool up = WaitFor(
        [this] {
            return RunCommand({"mpc", "-q", "-h",
                               (password_.empty() ? "" : password_ + "@") + socket_, "status"})
                           .ExitCode == 0 ||
                   !server_->Running();
        },
        std::chrono::seconds(10));
    if (!up || !server_->Running()) {
        throw std::runtime_error("mpd did not start (see " + folder_.Path() + "/mpd.out)");
    }
}

std::string MpdServer::Mpc(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {"mpc", "-h",
                                     (password_.empty() ? "" : password_ + "@") + socket_};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const CommandResult result = RunCommand(argv);
    if (result.ExitCode != 0) {
        throw std::runtime_error("mpc " + arguments.front() + " failed: " + result.Output);
    }
    return result.Output;
}

void MpdServer::PlayStandardTracks() {
    Mpc({"clear"});
    std::vector<std::string> add = {"add"};
    for (const TestTrack& track : StandardTracks()) {
        add.push_back(track.File);
    }
    Mpc(add);
    Mpc({"play", "1"});
}

void MpdServer::Kill() {
    server_->Stop(SIGKILL, std::chrono::seconds(5));
}

void MpdServer::Restart() {
    std::filesystem::remove(socket_);
    Launch();
}

} // namespace lum::lumd::testing

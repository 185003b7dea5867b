#pragma once
// A private MPD for one test: its own folder with the test music, a configuration with a null
// audio output (which still plays in real time), a local socket and a free TCP port on 127.0.0.1,
// and an optional password. mpc drives it.

#include "Processes.h"

#include <memory>
#include <string>
#include <vector>

namespace lum::lumd::testing {

/// One running MPD and its folder.
class MpdServer {
public:
    /// The programs the server and its driving need.
    [[nodiscard]] static std::vector<std::string> Programs();

    /// Writes the music (`seconds` long each) and the configuration, starts the server, waits for
    /// its socket and scans the music; raises std::runtime_error when it does not come up.
    /// `password`, when not empty, is required for everything; `port` 0 picks a free one.
    explicit MpdServer(int seconds = 30, const std::string& password = {}, unsigned port = 0);

    [[nodiscard]] const std::string& Socket() const { return socket_; }
    [[nodiscard]] unsigned Port() const { return port_; }
    [[nodiscard]] const std::string& MusicFolder() const { return music_; }

    /// Runs mpc on the local socket with `arguments`; raises std::runtime_error when it fails.
    std::string Mpc(const std::vector<std::string>& arguments);
    /// Fills the queue with the standard tracks in order and starts the first.
    void PlayStandardTracks();

    /// Kills the server at once (SIGKILL).
    void Kill();
    /// Starts the server again on the same socket, port and music; waits until it answers.
    void Restart();

private:
    void Launch();

    TempFolder folder_;
    std::string music_;
    std::string socket_;
    unsigned port_ = 0;
    std::string password_;
    std::string config_;
    std::unique_ptr<Child> server_;
};

} // namespace lum::lumd::testing

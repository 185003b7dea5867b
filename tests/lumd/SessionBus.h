#pragma once
// A private D-Bus session bus for one test, with mpv players on it: dbus-daemon listens on a
// socket in the test's folder and DBUS_SESSION_BUS_ADDRESS points there for the test and every
// program it starts. Each mpv plays the test music with no audio device and announces itself over
// MPRIS through the mpv-mpris script; playerctl drives it.

#include "Processes.h"

#include <memory>
#include <string>
#include <vector>

namespace lum::lumd::testing {

/// The mpv-mpris script as Debian installs it.
inline constexpr const char* kMprisScript = "/usr/lib/mpv-mpris/mpris.so";

/// A private session bus and the music its players play (also over HTTP, with python3).
class SessionBus {
public:
    /// The programs the bus and its players need.
    [[nodiscard]] static std::vector<std::string> Programs();
    /// What is missing for these tests (programs and the mpv-mpris script); empty when nothing.
    [[nodiscard]] static std::string Missing();

    /// Makes the music (`seconds` long each), starts the bus and points the environment at it;
    /// raises std::runtime_error when the bus does not come up.
    explicit SessionBus(int seconds = 30);
    /// Ends the players and the bus and restores DBUS_SESSION_BUS_ADDRESS.
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    [[nodiscard]] const std::string& MusicFolder() const { return music_; }
    [[nodiscard]] const std::string& Folder() const { return folder_.Path(); }

    /// Starts an mpv playing `entries` (file names in the music folder or URLs), paused or not,
    /// and waits until its MPRIS name is on the bus; returns its index for StopPlayer.
    std::size_t StartPlayer(const std::vector<std::string>& entries, bool paused = false);
    /// Ends player `index` (SIGTERM: it leaves the bus).
    void StopPlayer(std::size_t index);
    /// Runs playerctl with `arguments` on the first player; raises std::runtime_error on failure.
    std::string Playerctl(const std::vector<std::string>& arguments);
    /// The number of MPRIS players playerctl sees.
    [[nodiscard]] std::size_t PlayerCount();
    /// Serves the music folder over HTTP on 127.0.0.1; returns the URL of `file` in it.
    std::string ServeOverHttp(const std::string& file);
    /// Ends the bus daemon (the players lose their bus).
    void StopBus();
    /// Starts the bus daemon again on the same address.
    void StartBus();

private:
    TempFolder folder_;
    std::string music_;
    std::string previousAddress_;
    bool hadAddress_ = false;
    std::string address_;
    std::unique_ptr<Child> daemon_;
    std::unique_ptr<Child> web_;
    std::vector<std::unique_ptr<Child>> players_;
};

} // namespace lum::lumd::testing

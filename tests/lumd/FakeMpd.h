#pragma once
// A scripted stand-in for MPD on a local socket, for what a real MPD never does. It serves one
// connection at a time (lumd never holds two): it greets, answers "status", "currentsong" and
// "config" from the song it is told to play and its music folder, "OK" to anything else, holds
// "idle" until the song changes or "noidle" comes; a test's script may answer any command its own
// way (a huge line, a close in the middle, no answer at all, "changed:" lines without end). It
// notes when it accepted each connection.

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lum::lumd::testing {

/// The current song as the fake reports it.
struct FakeSong {
    std::string Uri{};
    std::string Album{};
    std::string Track{}; ///< the track tag; empty: none
};

/// What the fake does after a scripted answer.
enum class FakeThen {
    Listen, ///< reads the next command
    Close,  ///< closes the connection
    Hang,   ///< says nothing more until the client goes
    Flood,  ///< sends "changed: player" lines until the client goes
};

/// A scripted answer.
struct FakeReply {
    std::string Bytes{};
    FakeThen Then = FakeThen::Listen;
};

/// The script: the answer to `command` (a line without its break; the empty line stands for the
/// greeting) on the connection numbered `connection` from 1; none: the fake answers as MPD would.
using FakeScript =
    std::function<std::optional<FakeReply>(const std::string& command, int connection)>;

/// A fake MPD listening on a local socket.
class FakeMpd {
public:
    /// Listens on `socket`; `musicFolder` is the "config" answer; raises std::runtime_error
    /// when the socket cannot be had.
    FakeMpd(std::string socket, std::string musicFolder, FakeSong song, FakeScript script = {});
    ~FakeMpd();
    FakeMpd(const FakeMpd&) = delete;
    FakeMpd& operator=(const FakeMpd&) = delete;

    [[nodiscard]] const std::string& Socket() const { return socket_; }
    /// Makes `song` the current one under a new song id; an idling client hears of it.
    void Play(FakeSong song);
    /// When each connection was accepted.
    [[nodiscard]] std::vector<std::chrono::steady_clock::time_point> Connects() const;

private:
    void Accept();
    void Serve(int fd, int number);
    [[nodiscard]] std::string Answer(const std::string& command);

    std::string socket_;
    std::string music_;
    FakeScript script_;
    int listener_ = -1;
    int stop_[2] = {-1, -1}; ///< a pipe written once to end every wait
    mutable std::mutex mutex_;
    FakeSong song_;
    int songId_ = 1;
    std::vector<std::chrono::steady_clock::time_point> connects_;
    std::thread thread_;
};

} // namespace lum::lumd::testing

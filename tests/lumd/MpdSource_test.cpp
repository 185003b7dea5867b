// MpdSource against a real MPD that the test starts and drives with mpc.
#include "CaseName.h"
#include "MpdServer.h"
#include "SourceSteps.h"
#include "SourceWatch.h"
#include "TestMusic.h"
#include "apps/lumd/MpdSource.h"

#include <gtest/gtest.h>
#include <ostream>
#include <thread>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;

// A private MPD, a source on it and what the source publishes and logs.
class MpdSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
            GTEST_SKIP() << "missing: " << missing;
        }
        server_ = std::make_unique<MpdServer>();
    }

    // Starts a source on `address` (the server's socket unless given).
    StartResult StartSource(std::optional<MpdAddress> address = std::nullopt,
                            std::string musicFolder = {}) {
        MpdSourceOptions options;
        options.Address = address.value_or(MpdAddress{server_->Socket()});
        options.MusicDirectory = std::move(musicFolder);
        options.OnChange = watch_.Callback();
        source_ = std::make_unique<MpdSource>(options, log_.Sink());
        watch_.Watch(*source_);
        return StartAndWait(*source_);
    }

    MpdAddress Tcp() const { return MpdAddress{"127.0.0.1", server_->Port()}; }

    bool Sees(const std::function<bool(const TrackSnapshot&)>& wanted,
              std::chrono::milliseconds timeout = kSourcePatience) {
        return WaitFor([&] { return wanted(source_->Current()); }, timeout);
    }

    std::unique_ptr<MpdServer> server_;
    LogCapture log_;
    SourceWatch watch_;
    std::unique_ptr<MpdSource> source_;
};

TEST_F(MpdSourceTest, ShowsThePlayingEntryAsALocalFile) {
    server_->PlayStandardTracks();
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    const TestTrack& first = StandardTracks()[0];
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(first))));
    const TrackSnapshot now = source_->Current();
    EXPECT_TRUE(now.Connected);
    EXPECT_EQ(source_->PlayStateNumber(PlayState::Playing), 1);
    EXPECT_EQ(source_->ListPosition(), 0);
    EXPECT_EQ(source_->LengthSeconds(), 30);
    // The server told its music folder over the local socket: the engine reads the file's tag,
    // and has the server's for a file without one.
    EXPECT_EQ(source_->EntryFileName(0), server_->MusicFolder() + "/" + first.File);
    ASSERT_NE(source_->PlayerTag(), nullptr);
    EXPECT_EQ(source_->PlayerTag()->Album, first.Album);
}

struct EntryFileCase {
    const char* Name;
    friend void PrintTo(const EntryFileCase& c, std::ostream* out) { *out << c.Name; }
    bool OverTcp;
    const char* MusicFolder; ///< "<music>" stands for the server's folder
    bool Local;
};

class MpdEntryFile : public MpdSourceTest, public ::testing::WithParamInterface<EntryFileCase> {};

TEST_P(MpdEntryFile, IsLocalOnlyWhereTheFileIsFoundAndHasTheServersTag) {
    const EntryFileCase& c = GetParam();
    std::string folder = c.MusicFolder;
    if (folder == "<music>") {
        folder = server_->MusicFolder();
    }
    server_->Mpc({"add", StandardTracks()[2].File});
    server_->Mpc({"play"});
    ASSERT_EQ(StartSource(c.OverTcp ? Tcp() : MpdAddress{server_->Socket()}, folder).Outcome,
              StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[2]))));
    const std::string local = server_->MusicFolder() + "/" + StandardTracks()[2].File;
    EXPECT_EQ(source_->EntryFileName(0), c.Local ? local : "");
    ASSERT_NE(source_->PlayerTag(), nullptr);
    EXPECT_EQ(source_->PlayerTag()->Track, 3);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MpdEntryFile, ::testing::Values(
    EntryFileCase{"SocketAsksTheServer",     false, "",             true},
    EntryFileCase{"TcpWithoutFolder",        true,  "",             false},
    EntryFileCase{"TcpWithFolder",           true,  "<music>",      true},
    EntryFileCase{"FolderWithoutTheFile",    false, "/nonexistent", false}),
    CaseName());
// clang-format on

TEST_F(MpdSourceTest, RemoteFilesShowTheServersTagsInWindows1252) {
    server_->Mpc({"add", StandardTracks()[2].File});
    server_->Mpc({"play"});
    ASSERT_EQ(StartSource(Tcp()).Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs("M\xF6tley Cr\xFC"
                             "e - \xC4rger \xFC"
                             "ber 5 \x80 und ? mit Sto\xDF am Ende")));
    const TID3Info* tag = source_->PlayerTag();
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->Artist, "M\xF6tley Cr\xFC"
                           "e");
    EXPECT_EQ(tag->Title, "\xC4rger \xFC"
                          "ber 5 \x80 und ? mit Sto\xDF ");
    EXPECT_EQ(tag->Album, "Ein Album mit einem sehr lange");
    EXPECT_EQ(tag->Year, "1999");
    EXPECT_EQ(tag->Comment, "Kommentar \xE4\xF6\xFC");
    EXPECT_EQ(tag->Track, 3);
    EXPECT_EQ(tag->Genre, 75); // Polka
}

// libmpdclient drops the connection on a line longer than its buffer: the song is read again
// without its tags, so its title falls back to the file name, and the next song has its tags.
TEST_F(MpdSourceTest, ATitleTooLongForTheProtocolShowsTheFileNameAndNoOutage) {
    TestTrack track = StandardTracks()[0];
    track.File = "long.mp3";
    track.Title = std::string(5000, 'x');
    MakeTestMusic(server_->MusicFolder(), {track}, 30);
    server_->Mpc({"update", "--wait"});
    server_->Mpc({"add", track.File});
    server_->Mpc({"add", StandardTracks()[1].File});
    server_->Mpc({"-q", "play"}); // mpc fails to show the playing song's status too
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    EXPECT_TRUE(Sees(TitleIs("long.mp3"), 3s));
    server_->Mpc({"-q", "next"});
    EXPECT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[1])), 3s));
    EXPECT_TRUE(log_.Lines(LogLevel::Warning).empty()) << log_.Lines(LogLevel::Warning)[0];
}

TEST_F(MpdSourceTest, ServerChangesReachTheSourceAtOnce) {
    server_->PlayStandardTracks();
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0]))));
    ExpectStepsFollowed(
        watch_, PlayerCommandSteps([this](const std::string& word) { server_->Mpc({word}); }),
        kSourcePromptly);
}

TEST_F(MpdSourceTest, PositionRunsOnWithoutAskingTheServer) {
    server_->PlayStandardTracks();
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(StateIs(PlayState::Playing)));
    // A player may report more as it settles (mpv: the length, the first position).
    ASSERT_TRUE(watch_.WaitQuiet(300ms, kSourcePatience));
    ExpectPositionRunsOnQuietly(watch_, *source_);
    // The interpolated position agrees with the server's own to the second it reports.
    const std::string status = server_->Mpc({"status", "%currenttime%"});
    const int serverSeconds = std::stoi(status.substr(status.find(':') + 1));
    EXPECT_NEAR(source_->PositionMs() / 1000.0, serverSeconds, 1.0);
}

TEST_F(MpdSourceTest, TransportCommandsReachTheServer) {
    server_->PlayStandardTracks();
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0]))));
    std::vector<SourceStep> steps = TransportSteps(*source_);
    steps.push_back(
        {"play", [this] { source_->Send(TransportCommand::Play); }, StateIs(PlayState::Playing)});
    ExpectStepsFollowed(watch_, steps);
    EXPECT_TRUE(log_.Lines(LogLevel::Warning).empty());
}

TEST_F(MpdSourceTest, ServerRestartReadsStoppedThenComesBackQuietly) {
    server_->PlayStandardTracks();
    ASSERT_EQ(StartSource().Outcome, StartOutcome::Ready);
    ASSERT_TRUE(Sees(StateIs(PlayState::Playing)));

    server_->Kill();
    ASSERT_TRUE(Sees([](const TrackSnapshot& s) {
        return !s.Connected && s.State == PlayState::Stopped && !s.HasEntry;
    })) << "the loss did not show";
    // Down for two attempts: they come a second apart.
    ASSERT_TRUE(
        WaitFor([&] { return log_.Times(LogLevel::Debug, "cannot be reached").size() >= 2; }, 3s));
    const auto attempts = log_.Times(LogLevel::Debug, "cannot be reached");
    EXPECT_NEAR(std::chrono::duration<double>(attempts[1] - attempts[0]).count(), 1.0, 0.2);

    server_->Restart();
    const auto back = Clock::now();
    ASSERT_TRUE(Sees([](const TrackSnapshot& s) { return s.Connected; }, 2s))
        << "not back within 2 s of the server";
    server_->PlayStandardTracks();
    EXPECT_TRUE(Sees(TitleIs(DisplayTitle(StandardTracks()[0])), 1s));
    EXPECT_LT(Clock::now() - back, 2s + 1s);

    EXPECT_EQ(log_.Lines(LogLevel::Warning).size(), 1U);
    EXPECT_EQ(log_.Lines(LogLevel::Warning, "connection lost").size(), 1U);
    EXPECT_EQ(log_.Lines(LogLevel::Info, "connected").size(), 1U);
    EXPECT_TRUE(log_.Lines(LogLevel::Error).empty());
}

TEST_F(MpdSourceTest, UnreachableServerIsWaitedFor) {
    const unsigned port = FreeTcpPort();
    const StartResult result = StartSource(MpdAddress{"127.0.0.1", port});
    EXPECT_EQ(result.Outcome, StartOutcome::Waiting);
    EXPECT_NE(
        result.Message.find("MPD at 127.0.0.1:" + std::to_string(port) + " cannot be reached"),
        std::string::npos)
        << result.Message;
    EXPECT_FALSE(source_->Current().Connected);

    MpdServer late(30, {}, port);
    EXPECT_TRUE(Sees([](const TrackSnapshot& s) { return s.Connected; }, 2s));
    EXPECT_EQ(log_.Lines(LogLevel::Info, "connected").size(), 1U);
    EXPECT_TRUE(log_.Lines(LogLevel::Warning).empty());
    source_.reset();
}

struct PasswordCase {
    const char* Name;
    friend void PrintTo(const PasswordCase& c, std::ostream* out) { *out << c.Name; }
    const char* Password;
    StartOutcome Outcome;
    const char* Message;
};

class MpdPassword : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(MpdPassword, DecidesTheStart) {
    if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    const PasswordCase& c = GetParam();
    MpdServer server(30, "s3cret");
    LogCapture log;
    MpdSourceOptions options;
    options.Address = MpdAddress{server.Socket(), 0, c.Password};
    MpdSource source(options, log.Sink());
    const StartResult result = StartAndWait(source);
    EXPECT_EQ(result.Outcome, c.Outcome);
    EXPECT_EQ(result.Message, c.Message[0] == '\0' ? "" : "MPD at " + server.Socket() + c.Message);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MpdPassword, ::testing::Values(
    PasswordCase{"Right",   "s3cret", StartOutcome::Ready,   ""},
    PasswordCase{"Wrong",   "guess",  StartOutcome::Refused, " refuses the password"},
    PasswordCase{"Missing", "",       StartOutcome::Refused,
                 " wants a password (give it as PASSWORD@HOST): you don't have permission for \"status\""}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd::testing

// lumd's own rules for the display against a real MPD, on the display's pty: the characters of
// real tags in each character set, read back by the virtual display's model; and the rest: the
// resting screen dimmed after the player has stopped, then blank, woken by play at once with the
// configured brightness.
#include "LumdBed.h"
#include "MpdServer.h"
#include "TestMusic.h"
#include "common/DisplayCharset.h"
#include "tools/vfd/CharacterDisplay.h"
#include "tools/vfd/TerminalView.h"

#include <gtest/gtest.h>

namespace lum::lumd::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// What the display shows for `frame` on a display of `charset`: its bytes fed to the virtual
/// display's model, each line read back in UTF-8 without the blanks after it.
std::vector<std::string> Shown(const LineEvent& frame, const std::string& charset) {
    vfd::CharacterDisplay display(kTestWidth, kTestLines);
    for (const std::string& line : frame.Lines) {
        for (const char byte : line) {
            display.Feed(static_cast<std::uint8_t>(byte));
        }
    }
    std::vector<std::string> lines;
    for (const std::string& cells : display.Text()) {
        std::string text = vfd::ShownText(cells, *DisplayCharset::Find(charset));
        lines.push_back(text.substr(0, text.find_last_not_of(' ') + 1));
    }
    return lines;
}

/// A private MPD playing one track tagged with `track`'s texts.
std::unique_ptr<MpdServer> PlayingTrack(const TestTrack& track) {
    auto server = std::make_unique<MpdServer>();
    MakeTestMusic(server->MusicFolder(), {track}, 30);
    server->Mpc({"update", "--wait"});
    server->Mpc({"clear"});
    server->Mpc({"add", track.File});
    server->Mpc({"play"});
    return server;
}

TEST(LumdDisplayRules, ShowsTheCharactersOfRealTagsInTheDisplaysSet) {
    if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    // MusicBrainz's punctuation, Icelandic, Czech, Polish, Japanese; Norwegian and Danish and a
    // German umlaut (the umlaut rule is on) in the album, which the display reads from the file.
    TestTrack track{"tags.mp3", "Sigur Rós", "Dvořák’s “Żółć” – Łódź… 坂本",
                    "Røyksopp Ærø Åse für"};
    const std::unique_ptr<MpdServer> server = PlayingTrack(track);
    struct Case {
        const char* Charset;
        std::string Line1, Album;
    };
    const Case cases[] = {
        {"ascii", "Sigur Ros - Dvorak's \"Zolc\" - Lodz... ??", "Royksopp AEro Ase fuer"},
        {"cp437", "Sigur Rós - Dvorák's \"Zólc\" - Lódz... ??", "Royksopp Æro Åse fuer"},
        {"cp850", "Sigur Rós - Dvorák's \"Zólc\" - Lódz... ??", "Røyksopp Ærø Åse fuer"},
        {"cp858", "Sigur Rós - Dvorák's \"Zólc\" - Lódz... ??", "Røyksopp Ærø Åse fuer"},
        {"cp1252", "Sigur Rós - Dvorák’s “Zólc” – Lódz… ??", "Røyksopp Ærø Åse fuer"},
    };
    for (const Case& c : cases) {
        LumdBed bed;
        LumdProcess& lumd =
            bed.Start({"--mpd", server->Socket(), "--charset", c.Charset, "--banner", "off"});
        const auto frame = bed.Line().WaitFor(
            0, [&](const LineEvent& e) { return e.IsFrame() && Shown(e, c.Charset)[0] != ""; }, 5s);
        ASSERT_TRUE(frame) << c.Charset << ": " << lumd.Output();
        const std::vector<std::string> shown = Shown(*frame, c.Charset);
        EXPECT_EQ(shown[0], c.Line1) << c.Charset;
        EXPECT_TRUE(shown[1].ends_with(" " + c.Album)) << c.Charset << ": " << shown[1];
    }
}

TEST(LumdDisplayRules, RestsWhenStoppedAndWakesAtOnceWhenPlaying) {
    if (const std::string missing = MissingPrograms(MpdServer::Programs()); !missing.empty()) {
        GTEST_SKIP() << "missing: " << missing;
    }
    MpdServer server;
    server.PlayStandardTracks();
    LumdBed bed;
    // 0.05 minutes are 3 s; brightness 3 is the byte 0x02, the lowest (1) the byte 0x04.
    LumdProcess& lumd =
        bed.Start({"--mpd", server.Socket(), "--banner", "off", "--brightness", "3", "--rest-after",
                   "0.05", "--blank-after", "0.05", "--rest-line", "Resting"});
    const TestTrack& first = StandardTracks()[0];
    ASSERT_TRUE(bed.Line().WaitFor(0, LineStarts(0, first.Artist), 5s)) << lumd.Output();
    EXPECT_TRUE(bed.Line().WaitFor(0, ControlIs(0x02), 1s)) << "the brightness after the start";

    const std::size_t stopped = bed.Line().Mark();
    const auto stopAt = Clock::now();
    server.Mpc({"stop"});
    const auto resting = bed.Line().WaitFor(stopped, LineStarts(0, "Resting"), 6s);
    ASSERT_TRUE(resting) << lumd.Output();
    EXPECT_GT(resting->At - stopAt, 2800ms);
    EXPECT_LT(resting->At - stopAt, 3500ms);
    EXPECT_TRUE(bed.Line().WaitFor(resting->Index, ControlIs(0x04), 1s)) << "the lowest";
    const auto blank =
        bed.Line().WaitFor(resting->Index, LineStarts(0, std::string(kTestWidth, ' ')), 5s);
    ASSERT_TRUE(blank) << lumd.Output();
    EXPECT_GT(blank->At - resting->At, 2800ms);
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(bed.Line().EventsFrom(blank->Index + 1).size(), 0u) << "no frame after the blank";

    const std::size_t woken = bed.Line().Mark();
    const auto playAt = Clock::now();
    server.Mpc({"play"});
    const auto title = bed.Line().WaitFor(woken, LineStarts(0, first.Artist), 2s);
    ASSERT_TRUE(title) << lumd.Output();
    EXPECT_LT(title->At - playAt, 400ms) << "one refresh interval and 100 ms";
    EXPECT_TRUE(bed.Line().WaitFor(woken, ControlIs(0x02), 1s)) << "the configured brightness";
}

} // namespace
} // namespace lum::lumd::testing

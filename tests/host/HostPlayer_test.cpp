// Messages to the host window: WM_USER queries and WM_COMMAND commands, sent to the window named
// by the plug-in record's parentWindow at the moment of each call; the display engine's questions
// and the transport commands as such messages.

#include "display/Placeholders.h"
#include "host/HostPlayer.h"
#include "host/PluginRecord.h"
#include "platform/headless/InProcessWindow.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace lum {
namespace {

/// One message as the host window received it.
struct Received {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;

    friend bool operator==(const Received&, const Received&) = default;
};

std::ostream& operator<<(std::ostream& out, const Received& r) {
    return out << "{message 0x" << std::hex << r.message << std::dec << ", wParam " << r.wParam
               << ", lParam " << r.lParam << "}";
}

/// A host window inside the test: records every message and answers with `answer`.
class FakeHostWindow : public platform::headless::InProcessWindow {
public:
    std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override {
        received.push_back({message, wParam, lParam});
        return answer ? answer(message, wParam, lParam) : 0;
    }

    std::vector<Received> received;
    std::function<std::intptr_t(std::uint32_t, std::uintptr_t, std::intptr_t)> answer;
};

class HostInterface : public testing::Test {
protected:
    void TearDown() override { ThePluginRecord().parentWindow = nullptr; }

    static void UseHost(FakeHostWindow& host) { ThePluginRecord().parentWindow = host.Handle(); }

    std::int32_t QueryHost(std::int32_t id, std::int32_t data) { return link.QueryHost(id, data); }
    std::string QueryHostString(std::int32_t id, std::int32_t data) {
        return link.QueryHostString(id, data);
    }
    void SendHostCommand(std::uint16_t id) { link.SendHostCommand(id); }

    HostPlayer link;
};

struct QueryCase {
    const char* name;
    std::int32_t id;
    std::int32_t data;
    std::intptr_t answer;
};

const QueryCase kQueryCases[] = {
    // name                 id                 data  answer
    {"PlayStateStopped", HOST_PLAY_STATE, 0, 0},
    {"PlayStatePlaying", HOST_PLAY_STATE, 1, 1},
    {"PlayStatePaused", HOST_PLAY_STATE, 3, 3},
    {"PositionMs", HOST_OUTPUT_TIME, 0, 3723000},
    {"LengthSeconds", HOST_OUTPUT_TIME, 1, 245},
    {"LengthUnknown", HOST_OUTPUT_TIME, 1, -1},
    {"ListPos", HOST_LIST_POS, 0, 17},
    {"NegativeDataSignExtended", HOST_PLAYLIST_TITLE, -1, 0},
};

class HostQuery : public HostInterface, public testing::WithParamInterface<QueryCase> {};

TEST_P(HostQuery, SendsWmUserWithDataAndIdAndReturnsTheAnswer) {
    const auto& c = GetParam();
    FakeHostWindow host;
    host.answer = [&](std::uint32_t, std::uintptr_t, std::intptr_t) { return c.answer; };
    UseHost(host);
    EXPECT_EQ(QueryHost(c.id, c.data), c.answer);
    EXPECT_EQ(host.received,
              (std::vector<Received>{{0x0400, static_cast<std::uintptr_t>(c.data), c.id}}));
}

struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

INSTANTIATE_TEST_SUITE_P(Ids, HostQuery, testing::ValuesIn(kQueryCases), CaseName{});

TEST_F(HostInterface, EachQueryIsSentAgainNothingIsCached) {
    FakeHostWindow host;
    std::intptr_t position = 0;
    host.answer = [&](std::uint32_t, std::uintptr_t, std::intptr_t) { return position += 1000; };
    UseHost(host);
    EXPECT_EQ(QueryHost(HOST_OUTPUT_TIME, 0), 1000);
    EXPECT_EQ(QueryHost(HOST_OUTPUT_TIME, 0), 2000);
    EXPECT_EQ(host.received.size(), 2u);
}

TEST_F(HostInterface, QueryHostStringCopiesTheHostsTextAtOnce) {
    FakeHostWindow host;
    char buffer[64] = {};
    host.answer = [&](std::uint32_t, std::uintptr_t wParam, std::intptr_t lParam) {
        const std::string text = (lParam == HOST_PLAYLIST_TITLE ? "Title " : "C:\\music\\") +
                                 std::to_string(wParam) + " Gr\xFC\xDF";
        std::strcpy(buffer, text.c_str());
        return reinterpret_cast<std::intptr_t>(buffer);
    };
    UseHost(host);

    const std::string title = QueryHostString(HOST_PLAYLIST_TITLE, 4);
    std::memset(buffer, 'X', sizeof buffer - 1); // the host reuses its buffer right after
    EXPECT_EQ(title, "Title 4 Gr\xFC\xDF");

    const std::string file = QueryHostString(HOST_PLAYLIST_FILE, 7);
    EXPECT_EQ(file, "C:\\music\\7 Gr\xFC\xDF");
    EXPECT_EQ(title, "Title 4 Gr\xFC\xDF");
    EXPECT_EQ(host.received, (std::vector<Received>{{0x0400, 4, HOST_PLAYLIST_TITLE},
                                                    {0x0400, 7, HOST_PLAYLIST_FILE}}));
}

TEST_F(HostInterface, QueryHostStringStopsAtTheTerminator) {
    FakeHostWindow host;
    static const char kText[] = "abc\0def";
    host.answer = [](std::uint32_t, std::uintptr_t, std::intptr_t) {
        return reinterpret_cast<std::intptr_t>(kText);
    };
    UseHost(host);
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_TITLE, 0), "abc");
}

TEST_F(HostInterface, NullTextAnswerIsTheEmptyText) {
    FakeHostWindow host; // answers 0 to everything
    UseHost(host);
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_TITLE, 99), "");
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_FILE, 99), "");
    EXPECT_EQ(host.received.size(), 2u);
}

TEST_F(HostInterface, SendHostCommandSendsWmCommandWithTheIdAndZero) {
    FakeHostWindow host;
    host.answer = [](std::uint32_t, std::uintptr_t, std::intptr_t) { return 12345; }; // ignored
    UseHost(host);
    for (const std::uint16_t id :
         {HOST_CMD_PREVIOUS, HOST_CMD_PLAY, HOST_CMD_PAUSE, HOST_CMD_STOP, HOST_CMD_NEXT}) {
        SendHostCommand(id);
    }
    SendHostCommand(0xFFFF); // widened unsigned, not sign-extended
    EXPECT_EQ(host.received, (std::vector<Received>{{0x0111, 40044, 0},
                                                    {0x0111, 40045, 0},
                                                    {0x0111, 40046, 0},
                                                    {0x0111, 40047, 0},
                                                    {0x0111, 40048, 0},
                                                    {0x0111, 0xFFFF, 0}}));
}

TEST_F(HostInterface, ParentWindowIsReadAfreshAtEveryCall) {
    FakeHostWindow first;
    FakeHostWindow second;
    first.answer = [](std::uint32_t, std::uintptr_t, std::intptr_t) { return 1; };
    second.answer = [](std::uint32_t, std::uintptr_t, std::intptr_t) { return 2; };

    UseHost(first);
    EXPECT_EQ(QueryHost(HOST_PLAY_STATE, 1), 1);
    UseHost(second);
    EXPECT_EQ(QueryHost(HOST_PLAY_STATE, 1), 2);
    SendHostCommand(HOST_CMD_PLAY);
    UseHost(first);
    SendHostCommand(HOST_CMD_STOP);
    ThePluginRecord().parentWindow = nullptr;
    EXPECT_EQ(QueryHost(HOST_PLAY_STATE, 1), 0);

    EXPECT_EQ(first.received,
              (std::vector<Received>{{0x0400, 1, HOST_PLAY_STATE}, {0x0111, HOST_CMD_STOP, 0}}));
    EXPECT_EQ(second.received,
              (std::vector<Received>{{0x0400, 1, HOST_PLAY_STATE}, {0x0111, HOST_CMD_PLAY, 0}}));
}

TEST_F(HostInterface, NoWindowAnswersZeroAndEmptyText) {
    ThePluginRecord().parentWindow = nullptr;
    EXPECT_EQ(QueryHost(HOST_PLAY_STATE, 1), 0);
    EXPECT_EQ(QueryHost(HOST_OUTPUT_TIME, 0), 0);
    EXPECT_EQ(QueryHost(HOST_LIST_POS, 0), 0);
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_TITLE, 0), "");
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_FILE, 0), "");
    SendHostCommand(HOST_CMD_PLAY); // no effect, no crash
}

TEST_F(HostInterface, DestroyedWindowAnswersZeroAndEmptyText) {
    FakeHostWindow witness; // a live window that must not receive anything
    auto host = std::make_unique<FakeHostWindow>();
    host->answer = [](std::uint32_t, std::uintptr_t, std::intptr_t) { return 42; };
    UseHost(*host);
    EXPECT_EQ(QueryHost(HOST_LIST_POS, 0), 42);
    host.reset(); // the handle in the record is now stale

    EXPECT_EQ(QueryHost(HOST_LIST_POS, 0), 0);
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_TITLE, 0), "");
    SendHostCommand(HOST_CMD_NEXT);
    EXPECT_TRUE(witness.received.empty());
}

TEST_F(HostInterface, HandleThatNamesNoWindowAnswersZero) {
    int notAWindow = 0;
    ThePluginRecord().parentWindow = &notAWindow;
    EXPECT_EQ(QueryHost(HOST_PLAY_STATE, 1), 0);
    EXPECT_EQ(QueryHostString(HOST_PLAYLIST_TITLE, 0), "");
    SendHostCommand(HOST_CMD_PLAY);
}

// Each question of the display engine is one query with its id and data, each transport
// command one WM_COMMAND with its id: the numbers as the host player knows them.
TEST_F(HostInterface, QuestionsAndCommandsAsMessages) {
    FakeHostWindow host;
    host.answer = [](std::uint32_t, std::uintptr_t, std::intptr_t lParam) { return lParam; };
    UseHost(host);
    NowPlaying& player = link;
    EXPECT_EQ(player.PlayStateNumber(PlayState::Stopped), 104);
    EXPECT_EQ(player.PlayStateNumber(PlayState::Playing), 104);
    EXPECT_EQ(player.PlayStateNumber(PlayState::Paused), 104);
    EXPECT_EQ(player.PositionMs(), 105);
    EXPECT_EQ(player.LengthSeconds(), 105);
    EXPECT_EQ(player.ListPosition(), 125);
    host.answer = {};
    EXPECT_EQ(player.EntryFileName(5), "");
    EXPECT_EQ(player.EntryTitle(6), "");
    EXPECT_EQ(player.PlayerTag(), nullptr);
    PlayerTransport& transport = link;
    for (const TransportCommand command :
         {TransportCommand::Previous, TransportCommand::Play, TransportCommand::Pause,
          TransportCommand::Stop, TransportCommand::Next}) {
        transport.Send(command);
    }
    EXPECT_EQ(host.received, (std::vector<Received>{{0x0400, 0, 104},
                                                    {0x0400, 1, 104},
                                                    {0x0400, 3, 104},
                                                    {0x0400, 0, 105},
                                                    {0x0400, 1, 105},
                                                    {0x0400, 0, 125},
                                                    {0x0400, 5, 211},
                                                    {0x0400, 6, 212},
                                                    {0x0111, 40044, 0},
                                                    {0x0111, 40045, 0},
                                                    {0x0111, 40046, 0},
                                                    {0x0111, 40047, 0},
                                                    {0x0111, 40048, 0}}));
}

TEST_F(HostInterface, ExpansionWithoutHostWindowShowsStoppedAndEmpty) {
    ThePluginRecord().parentWindow = nullptr;
    Settings settings;
    PlaceholderExpander expander(settings, link, [] { return platform::LocalDateTime{}; });
    EXPECT_EQ(expander.Expand("%status|%titel|%winampzeitr|%winamptrack"), "STOP ||00:00|1");
}

} // namespace
} // namespace lum

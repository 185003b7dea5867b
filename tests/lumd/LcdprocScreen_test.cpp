// LCDd's client protocol as lumd writes and reads it: its address, the quoting of a line's text,
// the size in LCDd's answer to hello, and the commands that bring LCDd's screen to what lumd
// shows, only what changed.
#include "CaseName.h"
#include "apps/lumd/LcdprocAddress.h"
#include "apps/lumd/LcdprocScreen.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace lum::lumd {
namespace {

struct LcdprocAddressCase {
    const char* Name;
    const char* Given;
    const char* Text; ///< the address read, or the refusal's message
};

class LcdprocAddressParsing : public ::testing::TestWithParam<LcdprocAddressCase> {};

TEST_P(LcdprocAddressParsing, ReadsHostAndPort) {
    std::string read;
    try {
        read = ParseLcdprocAddress(GetParam().Given).Text();
    } catch (const std::invalid_argument& error) {
        read = error.what();
    }
    EXPECT_EQ(read, GetParam().Text);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LcdprocAddressParsing, ::testing::Values(
    LcdprocAddressCase{"Default",      "",              "localhost:13666"},
    LcdprocAddressCase{"Host",         "box",           "box:13666"},
    LcdprocAddressCase{"HostAndPort",  "10.0.0.5:1234", "10.0.0.5:1234"},
    LcdprocAddressCase{"V6Bare",       "::1",           "[::1]:13666"},
    LcdprocAddressCase{"V6Port",       "[::1]:13667",   "[::1]:13667"},
    LcdprocAddressCase{"PortZero",     "box:0",         "bad port '0' in 'box:0' (the LCDproc address) (1-65535)"},
    LcdprocAddressCase{"PortNoNumber", "box:lcd",       "bad port 'lcd' in 'box:lcd' (the LCDproc address) (1-65535)"},
    LcdprocAddressCase{"NoHost",       ":13666",        "no host in ':13666' (the LCDproc address)"},
    LcdprocAddressCase{"OpenBracket",  "[::1",          "no ']' after the IPv6 address in '[::1' (the LCDproc address)"}),
    CaseName());
// clang-format on

TEST(LcdprocText, QuotesEveryCharacterLcddTakesForSyntax) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        // text                  as sent
        {"",                     R"("")"},
        {"Blue Monday  3:42",    R"("Blue Monday  3:42")"},
        {R"(say "hi")",          R"("say \"hi\"")"},
        {"{x} and }{",           R"("\{x\} and \}\{")"},
        {R"(C:\music\ end\)",    R"("C:\\music\\ end\\")"},
        {"\xE4\xF6 -n",          "\"\xE4\xF6 -n\""},
    };
    // clang-format on
    for (const auto& [text, sent] : cases) {
        EXPECT_EQ(QuotedArgument(text), sent) << text;
    }
}

TEST(LcdprocText, ReadsTheSizeFromTheConnectAnswerOnly) {
    // clang-format off
    const std::pair<std::string, std::optional<LcdSize>> cases[] = {
        {"connect LCDproc 0.5.9 protocol 0.3 lcd wid 20 hgt 2 cellwid 5 cellhgt 8", LcdSize{20, 2}},
        {"connect LCDproc 0.5.7 protocol 0.3 lcd wid 40 hgt 4",                     LcdSize{40, 4}},
        {"connect LCDproc 0.5.9 protocol 0.3 lcd hgt 2 cellwid 5",                  std::nullopt},
        {"connect LCDproc 0.5.9 protocol 0.3 lcd wid 20 hgt",                       std::nullopt},
        {"connect LCDproc 0.5.9 protocol 0.3 lcd wid 0 hgt 2",                      std::nullopt},
        {"connect LCDproc 0.5.9 protocol 0.3 lcd wid 20x hgt 2",                    std::nullopt},
        {"connect LCDproc 0.5.9 protocol 0.3 lcd wid 256 hgt 2",                    std::nullopt},
        {"huh? Invalid command \"hello wid 20 hgt 2\"",                             std::nullopt},
        {"OK MPD 0.23.12",                                                          std::nullopt},
    };
    // clang-format on
    for (const auto& [line, size] : cases) {
        EXPECT_EQ(ParseConnectAnswer(line), size) << line;
    }
}

/// A screen connected to a 20 x 2 display that has shown "one", "two" in the background.
LcdprocScreen ShownScreen() {
    LcdprocScreen screen;
    screen.SetLines({"one", "two"});
    (void)screen.Connected({20, 2});
    (void)screen.Updates();
    return screen;
}

struct ScreenStepsCase {
    const char* Name;
    std::function<std::string(LcdprocScreen&)> Steps; ///< the commands of their last step
    const char* Commands;
};

class LcdprocScreenSteps : public ::testing::TestWithParam<ScreenStepsCase> {};

TEST_P(LcdprocScreenSteps, SendsWhatChanged) {
    LcdprocScreen screen = ShownScreen();
    EXPECT_EQ(GetParam().Steps(screen), GetParam().Commands);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LcdprocScreenSteps, ::testing::Values(
    ScreenStepsCase{"ConnectionMakesScreenAndAWidgetALine",
              [](LcdprocScreen& s) { return s.Connected({40, 4}); },
              "client_set -name lumd\nscreen_add lumd\nscreen_set lumd -name lumd -heartbeat off\n"
              "widget_add lumd l1 string\nwidget_add lumd l2 string\nwidget_add lumd l3 string\n"
              "widget_add lumd l4 string\n"},
    ScreenStepsCase{"AfterConnectionEverything",
              [](LcdprocScreen& s) { (void)s.Connected({20, 2}); return s.Updates(); },
              "screen_set lumd -priority background -backlight on\n"
              "widget_set lumd l1 1 1 \"one\"\nwidget_set lumd l2 1 2 \"two\"\n"},
    ScreenStepsCase{"NothingChanged",
              [](LcdprocScreen& s) { s.SetLines({"one", "two"}); return s.Updates(); },
              ""},
    ScreenStepsCase{"OneLineChanged",
              [](LcdprocScreen& s) { s.SetLines({"one", "three"}); return s.Updates(); },
              "widget_set lumd l2 1 2 \"three\"\n"},
    ScreenStepsCase{"ChangesCombined",
              [](LcdprocScreen& s) {
                  s.SetLines({"1", "two"}); s.SetLines({"one", "2"}); return s.Updates(); },
              "widget_set lumd l2 1 2 \"2\"\n"},
    ScreenStepsCase{"Playing",
              [](LcdprocScreen& s) { s.SetPriority(ScreenPriority::Foreground); return s.Updates(); },
              "screen_set lumd -priority foreground -backlight on\n"},
    ScreenStepsCase{"Dimmed",
              [](LcdprocScreen& s) { s.SetBacklight(false); return s.Updates(); },
              "screen_set lumd -priority background -backlight off\n"},
    ScreenStepsCase{"LinesBeyondTheDisplayDropped",
              [](LcdprocScreen& s) { s.SetLines({"one", "two", "three"}); return s.Updates(); },
              ""},
    ScreenStepsCase{"MissingLinesBlank",
              [](LcdprocScreen& s) { s.SetLines({"one"}); return s.Updates(); },
              "widget_set lumd l2 1 2 \"\"\n"},
    ScreenStepsCase{"AtMostEightWidgets",
              [](LcdprocScreen& s) {
                  const std::string made = s.Connected({20, 9});
                  return made.substr(made.rfind("widget_add")); },
              "widget_add lumd l8 string\n"},
    ScreenStepsCase{"NothingBeforeTheConnection",
              [](LcdprocScreen&) { LcdprocScreen fresh; fresh.SetLines({"x"}); return fresh.Updates(); },
              ""}),
    CaseName());
// clang-format on

} // namespace
} // namespace lum::lumd

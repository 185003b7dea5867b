#include "tools/common/HostCommand.h"

#include <gtest/gtest.h>

namespace lum::host {
namespace {

using Parsed = std::variant<HostCommand, HostCommandProblem>;

struct CommandCase {
    const char* Line;
    Parsed Expected;
};

TEST(HostCommand, ParsesEveryCommandAndRejectsMalformedLines) {
    using K = HostCommandKind;
    constexpr auto kUnknown = HostCommandProblem::UnknownCommand;
    constexpr auto kBad = HostCommandProblem::BadArgument;
    const CommandCase cases[] = {
        {"play", HostCommand{K::Play}},
        {"pause", HostCommand{K::Pause}},
        {"stop", HostCommand{K::Stop}},
        {"next", HostCommand{K::Next}},
        {"prev", HostCommand{K::Previous}},
        {"config", HostCommand{K::Config}},
        {"quit", HostCommand{K::Quit}},
        {"seek 1500", HostCommand{K::Seek, 1500}},
        {"select 0", HostCommand{K::Select, 0}},
        {"sleep 250", HostCommand{K::Sleep, 250}},
        {"  sleep\t250 \r", HostCommand{K::Sleep, 250}},
        {"quit\r", HostCommand{K::Quit}},
        {"", kUnknown},
        {"Play", kUnknown},
        {"play 3", kBad},
        {"seek", kBad},
        {"seek -5", kBad},
        {"seek 12x", kBad},
        {"select -1", kBad},
        {"select", kBad},
        {"frobnicate 3", kUnknown},
        {"select 99999999999", kBad},
        {"previous", kUnknown},
        {"windows", HostCommand{K::Windows}},
        {"click Panel9", HostCommand{K::Click, 0, "Panel9"}},
        {"click MainForm.Panel9", HostCommand{K::Click, 0, "MainForm.Panel9"}},
        {"key MainForm alt+f4", HostCommand{K::Key, 0, "MainForm", "alt+f4"}},
        {"settext Edit2 %titel \\x20%status\\x20",
         HostCommand{K::SetText, 0, "Edit2", "%titel  %status "}},
        {"check CheckBox5 on", HostCommand{K::Check, 1, "CheckBox5"}},
        {"check CheckBox5 off", HostCommand{K::Check, 0, "CheckBox5"}},
        {"select Baudrate 3", HostCommand{K::SelectItem, 3, "Baudrate"}},
        {"page PageControl1 0", HostCommand{K::Page, 0, "PageControl1"}},
        {"echo mark", HostCommand{K::Echo, 0, "mark"}},
        {"resources", HostCommand{K::Resources}},
        {"click", kBad},
        {"click a b", kBad},
        {"key MainForm", kBad},
        {"check CheckBox5 yes", kBad},
        {"select Baudrate x", kBad},
        {"settext Edit2 \\xZZ", kBad},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseHostCommand(c.Line);
        ASSERT_EQ(parsed.index(), c.Expected.index()) << '"' << c.Line << '"';
        if (const auto* command = std::get_if<HostCommand>(&parsed)) {
            const auto& expected = std::get<HostCommand>(c.Expected);
            EXPECT_EQ(command->Kind, expected.Kind) << c.Line;
            EXPECT_EQ(command->Argument, expected.Argument) << c.Line;
            EXPECT_EQ(command->Target, expected.Target) << c.Line;
            EXPECT_EQ(command->Text, expected.Text) << c.Line;
        } else {
            EXPECT_EQ(std::get<HostCommandProblem>(parsed),
                      std::get<HostCommandProblem>(c.Expected))
                << c.Line;
        }
    }
}

} // namespace
} // namespace lum::host

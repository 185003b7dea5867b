#include "tools/lumhost/HostCommand.h"

#include <gtest/gtest.h>

namespace lum::host {
namespace {

struct CommandCase {
    const char* Line;
    std::optional<HostCommand> Expected;
};

TEST(HostCommand, ParsesEveryCommandAndRejectsMalformedLines) {
    using K = HostCommandKind;
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
        {"", std::nullopt},
        {"Play", std::nullopt},
        {"play 3", std::nullopt},
        {"seek", std::nullopt},
        {"seek -5", std::nullopt},
        {"seek 12x", std::nullopt},
        {"select 99999999999", std::nullopt},
        {"previous", std::nullopt},
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
        {"click", std::nullopt},
        {"click a b", std::nullopt},
        {"key MainForm", std::nullopt},
        {"check CheckBox5 yes", std::nullopt},
        {"select Baudrate x", std::nullopt},
        {"settext Edit2 \\xZZ", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseHostCommand(c.Line);
        ASSERT_EQ(parsed.has_value(), c.Expected.has_value()) << '"' << c.Line << '"';
        if (parsed) {
            EXPECT_EQ(parsed->Kind, c.Expected->Kind) << c.Line;
            EXPECT_EQ(parsed->Argument, c.Expected->Argument) << c.Line;
            EXPECT_EQ(parsed->Target, c.Expected->Target) << c.Line;
            EXPECT_EQ(parsed->Text, c.Expected->Text) << c.Line;
        }
    }
}

} // namespace
} // namespace lum::host

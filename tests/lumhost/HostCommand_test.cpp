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
    };
    for (const auto& c : cases) {
        const auto parsed = ParseHostCommand(c.Line);
        ASSERT_EQ(parsed.has_value(), c.Expected.has_value()) << '"' << c.Line << '"';
        if (parsed) {
            EXPECT_EQ(parsed->Kind, c.Expected->Kind) << c.Line;
            EXPECT_EQ(parsed->Argument, c.Expected->Argument) << c.Line;
        }
    }
}

} // namespace
} // namespace lum::host

#include "tools/common/PlayerHost.h"

#include <gtest/gtest.h>

namespace lum::host {
namespace {

// Commands from standard input with an argument the playlist cannot take are refused and change
// nothing; the ones within it act.
TEST(PlayerHost, RefusesASelectPastTheListAndASeekPastTheEntry) {
    using K = HostCommandKind;
    const struct {
        HostCommand Command;
        bool Refused;
        std::int32_t Entry;      // afterwards
        std::int32_t PositionMs; // afterwards
    } cases[] = {
        {{K::Select, 2}, false, 2, 0},
        {{K::Select, 3}, true, 0, 1000},
        {{K::Seek, 2000}, false, 0, 2000},
        {{K::Seek, 2001}, true, 0, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.Command.Kind) << " " << c.Command.Argument);
        PlayerHost host(SimulatedPlayer({{"a.mp3", "A", 2}, {"b.mp3", "B", 3}, {"c.mp3", "C", -1}}),
                        [] { return std::uint64_t{0}; });
        host.Player().Seek(0, 1000);
        EXPECT_EQ(host.Run(c.Command).has_value(), c.Refused);
        EXPECT_EQ(host.Player().ListPosition(), c.Entry);
        EXPECT_EQ(host.Player().PositionMs(0), c.PositionMs);
    }
}

} // namespace
} // namespace lum::host

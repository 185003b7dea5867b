#pragma once
// Test doubles of the display engine's surroundings: the fixed host (answers from fields,
// records every query) asked through the host link's messages, a display port that records
// every write, tag files on disk, and a fixture that builds an engine on them.

#include "display/DisplayEngine.h"
#include "display/DisplayPort.h"
#include "host/HostPlayer.h"
#include "settings/Settings.h"
#include "tools/common/HostModel.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lum::test {

using host::FixedHost;
using host::HostQuery;

/// A display port that keeps every text written to it.
class RecordingPort : public DisplayPort {
public:
    std::vector<std::string> Writes;
    bool Pending = false;

    void SendText(std::string_view text) override {
        if (!text.empty()) {
            Writes.emplace_back(text);
        }
    }
    [[nodiscard]] bool SendInProgress() const override { return Pending; }
};

/// The 128 bytes of a tag with the given fields, each padded with NUL bytes.
struct TagFields {
    std::string Marker = "TAG";
    std::string Title{}, Artist{}, Album{}, Year{}, Comment{};
    std::uint8_t Track = 0;
    std::uint8_t Genre = 0;
};
[[nodiscard]] std::vector<std::uint8_t> TagBytes(const TagFields& fields);

/// Writes `bytes` to a new file below the test's temporary folder and answers its path.
[[nodiscard]] std::string WriteTempFile(const std::string& name,
                                        const std::vector<std::uint8_t>& bytes);

/// An engine on start-value settings, the host above and the recording port, with a fixed
/// clock at 07.12.2026 14:05:09 that counts its reads; `shown` is what the engine shows.
class DisplayTest : public ::testing::Test {
protected:
    Settings settings;
    FixedHost host;
    HostPlayer player{host.Messenger()};
    RecordingPort port;
    platform::LocalDateTime now{2026, 12, 7, 14, 5, 9};
    int clockReads = 0;
    DisplayEngine engine{settings, player, port, [this] {
                             ++clockReads;
                             return now;
                         }};
    ShowState& shown = engine.Shown();
};

} // namespace lum::test

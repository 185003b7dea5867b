// Fuzzes ExpandPlaceholders with a fuzzed template, fuzzed host answers (title, file name, play
// state, times, playlist position) and a fuzzed tag. It must never crash, fail at most with the
// tag reader's message (a file name may name any file), and a template without control bytes
// must give a text without control bytes, whatever the host and the tag hold.

#include "common/LumError.h"
#include "display/Placeholders.h"
#include "host/HostPlayer.h"
#include "settings/Settings.h"
#include "tools/common/HostModel.h"

#include <algorithm>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

bool HasControlBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    // The file name rarely names an existing file, so the tag mostly stays as set below; the tag
    // reader itself is fuzzed by read_id3_fuzzer.
    lum::host::FixedHost host;
    host.RecordQueries = false;
    host.PlayState = input.ConsumeIntegral<std::int32_t>();
    host.PositionMs = input.ConsumeIntegral<std::int32_t>();
    host.LengthS = input.ConsumeIntegral<std::int32_t>();
    host.ListPos = input.ConsumeIntegral<std::int32_t>();
    host.Title = input.ConsumeRandomLengthString(300);
    host.FileName = input.ConsumeRandomLengthString(300);

    lum::HostPlayer player(host.Messenger());
    lum::Settings settings;
    lum::PlaceholderExpander expander(
        settings, player, [] { return lum::platform::LocalDateTime{2026, 12, 7, 14, 5, 9}; });
    lum::TID3Info& tag = expander.Tag().CurrentTag;
    tag.Title = input.ConsumeRandomLengthString(30);
    tag.Artist = input.ConsumeRandomLengthString(30);
    tag.Album = input.ConsumeRandomLengthString(30);
    tag.Year = input.ConsumeRandomLengthString(4);
    tag.Comment = input.ConsumeRandomLengthString(30);
    tag.Genre = input.ConsumeIntegral<std::uint8_t>();
    settings.ReplaceUmlauts = input.ConsumeBool();
    const std::string lineTemplate = input.ConsumeRemainingBytesAsString();

    std::string text;
    try {
        text = expander.Expand(lineTemplate);
    } catch (const lum::LumError& error) {
        if (error.Format() != lum::messages::kCannotOpenId3Tag) {
            std::abort();
        }
        return 0;
    }

    if (!HasControlBytes(lineTemplate) && HasControlBytes(text)) {
        std::abort();
    }
    return 0;
}

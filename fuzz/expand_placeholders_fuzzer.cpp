// Fuzzes ExpandPlaceholders with a fuzzed template, fuzzed host answers (title, play state,
// times, playlist position) and a fuzzed tag. It must never crash, and a template without
// control bytes must give a text without control bytes, whatever the host and the tag hold.

#include "display/DisplayEngine.h"
#include "display/Placeholders.h"
#include "platform/headless/InProcessWindow.h"
#include "plugin/HostInterface.h"
#include "plugin/PluginRecord.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

class FuzzedHost : public lum::platform::headless::InProcessWindow {
public:
    std::string title;
    std::int32_t playState = 0;
    std::int32_t positionMs = 0;
    std::int32_t lengthS = 0;
    std::int32_t listPos = 0;

    std::intptr_t HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override {
        if (message != lum::kWmUser) {
            return 0;
        }
        switch (lParam) {
        case lum::HOST_PLAY_STATE:
            return playState;
        case lum::HOST_OUTPUT_TIME:
            return wParam == 0 ? positionMs : lengthS;
        case lum::HOST_LIST_POS:
            return listPos;
        case lum::HOST_PLAYLIST_TITLE:
            return reinterpret_cast<std::intptr_t>(title.c_str());
        default:
            return 0; // no playing file: the tag stays as set below
        }
    }
};

bool HasControlBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzedHost host;
    host.playState = input.ConsumeIntegral<std::int32_t>();
    host.positionMs = input.ConsumeIntegral<std::int32_t>();
    host.lengthS = input.ConsumeIntegral<std::int32_t>();
    host.listPos = input.ConsumeIntegral<std::int32_t>();
    host.title = input.ConsumeRandomLengthString(300);

    lum::ResetDisplayEngine();
    lum::TID3Info& tag = lum::DisplayEngine().CurrentTag;
    tag.Title = input.ConsumeRandomLengthString(30);
    tag.Artist = input.ConsumeRandomLengthString(30);
    tag.Album = input.ConsumeRandomLengthString(30);
    tag.Year = input.ConsumeRandomLengthString(4);
    tag.Comment = input.ConsumeRandomLengthString(30);
    tag.Genre = input.ConsumeIntegral<std::uint8_t>();
    lum::DisplayEngine().Clock = [] { return lum::platform::LocalDateTime{2026, 12, 7, 14, 5, 9}; };
    lum::GlobalSettings().ReplaceUmlauts = input.ConsumeBool();
    const std::string lineTemplate = input.ConsumeRemainingBytesAsString();

    lum::ThePluginRecord().parentWindow = host.Handle();
    const std::string text = lum::ExpandPlaceholders(lineTemplate);
    lum::ThePluginRecord().parentWindow = nullptr;

    if (!HasControlBytes(lineTemplate) && HasControlBytes(text)) {
        std::abort();
    }
    return 0;
}

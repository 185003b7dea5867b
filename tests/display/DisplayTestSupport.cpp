#include "DisplayTestSupport.h"

#include "plugin/HostInterface.h"

#include <algorithm>
#include <fstream>

namespace lum::test {

std::intptr_t FakeHost::HandleMessage(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    if (message != kWmUser) {
        return 0;
    }
    const HostQuery query{static_cast<std::int32_t>(lParam), static_cast<std::int32_t>(wParam)};
    Queries.push_back(query);
    if (BeforeAnswer) {
        BeforeAnswer(query);
    }
    switch (query.Id) {
    case HOST_PLAY_STATE:
        return PlayState;
    case HOST_OUTPUT_TIME:
        return query.Data == 0 ? PositionMs : LengthS;
    case HOST_LIST_POS:
        return ListPos;
    case HOST_PLAYLIST_FILE:
        return reinterpret_cast<std::intptr_t>(FileName.c_str());
    case HOST_PLAYLIST_TITLE:
        return reinterpret_cast<std::intptr_t>(Title.c_str());
    default:
        return 0;
    }
}

std::vector<std::uint8_t> TagBytes(const TagFields& fields) {
    std::vector<std::uint8_t> tag(128, 0);
    const auto put = [&tag](std::size_t at, const std::string& text, std::size_t length) {
        std::copy_n(text.begin(), std::min(text.size(), length), tag.begin() + at);
    };
    put(0, fields.Marker, 3);
    put(3, fields.Title, 30);
    put(33, fields.Artist, 30);
    put(63, fields.Album, 30);
    put(93, fields.Year, 4);
    put(97, fields.Comment, 30);
    if (fields.Track != 0) {
        tag[126] = fields.Track;
    }
    tag[127] = fields.Genre;
    return tag;
}

std::string WriteTempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

void DisplayTest::SetUp() {
    GlobalSettings() = Settings{};
    ResetDisplayEngine();
    DisplayEngine().Clock = [this] {
        ++clockReads;
        return now;
    };
    DisplayEngine().Port = &port;
    ThePluginRecord().parentWindow = host.Handle();
}

void DisplayTest::TearDown() {
    ThePluginRecord().parentWindow = nullptr;
    ResetDisplayEngine();
    GlobalSettings() = Settings{};
}

} // namespace lum::test

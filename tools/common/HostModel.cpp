#include "tools/common/HostModel.h"

#include "host/PluginRecord.h"

namespace lum::host {

std::intptr_t HostModel::Answer(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    if (message == kWmCommand) {
        Command(static_cast<std::uint16_t>(wParam & 0xFFFF));
        return 0;
    }
    if (message != kWmUser) {
        return 0;
    }
    const HostQuery query{static_cast<std::int32_t>(lParam), static_cast<std::int32_t>(wParam)};
    Queried(query);
    const std::string* text = nullptr;
    switch (query.Id) {
    case HOST_PLAY_STATE:
        return CurrentState();
    case HOST_OUTPUT_TIME:
        return query.Data == 1 ? CurrentLengthSeconds() : CurrentPositionMs();
    case HOST_LIST_POS:
        return CurrentListPosition();
    case HOST_PLAYLIST_FILE:
        text = EntryFileName(query.Data);
        break;
    case HOST_PLAYLIST_TITLE:
        text = EntryTitle(query.Data);
        break;
    default:
        return 0;
    }
    if (text == nullptr) {
        return 0;
    }
    answer_ = *text;
    return reinterpret_cast<std::intptr_t>(answer_.c_str());
}

HostMessenger HostModel::Messenger() {
    return [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
        return Answer(message, wParam, lParam);
    };
}

void FixedHost::Queried(const HostQuery& query) {
    if (RecordQueries) {
        Queries.push_back(query);
    }
    if (BeforeAnswer) {
        BeforeAnswer(query);
    }
}

AttachedHost::AttachedHost(HostModel& model)
    : window_([&model](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
          return model.Answer(message, wParam, lParam);
      }) {
    ThePluginRecord().parentWindow = window_.Handle();
}

AttachedHost::~AttachedHost() {
    ThePluginRecord().parentWindow = nullptr;
}

} // namespace lum::host

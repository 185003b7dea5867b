// A test plug-in for the stand-in host. It uses the plug-in's own record and host messages, with
// callbacks that make the host's answers visible: config shows every answer in a message box
// and sends the pause command; quit shows "probe quit".

#include "host/HostPlayer.h"
#include "host/PluginRecord.h"

#include <string>
#include <windows.h>

namespace {

void ShowAnswers() {
    using namespace lum;
    HostPlayer host;
    const auto QueryHost = [&host](std::int32_t id, std::int32_t data) {
        return host.QueryHost(id, data);
    };
    const auto QueryHostString = [&host](std::int32_t id, std::int32_t data) {
        return host.QueryHostString(id, data);
    };
    const std::int32_t position = QueryHost(HOST_LIST_POS, 0);
    const std::string text = "state=" + std::to_string(QueryHost(HOST_PLAY_STATE, 1)) +
                             " time=" + std::to_string(QueryHost(HOST_OUTPUT_TIME, 0) / 1000) +
                             " length=" + std::to_string(QueryHost(HOST_OUTPUT_TIME, 1)) +
                             " list=" + std::to_string(position) +
                             " file=" + QueryHostString(HOST_PLAYLIST_FILE, position) +
                             " title=" + QueryHostString(HOST_PLAYLIST_TITLE, position) +
                             " beyond=[" + QueryHostString(HOST_PLAYLIST_TITLE, 99) + "]";
    MessageBoxA(nullptr, text.c_str(), "probe", MB_OK);
    host.SendHostCommand(HOST_CMD_PAUSE);
}

std::int32_t Init() {
    return 0;
}

void ShowQuit() {
    MessageBoxA(nullptr, "probe quit", "probe", MB_OK);
}

} // namespace

extern "C" lum::PluginRecord* winampGetGeneralPurposePlugin() {
    auto& record = lum::ThePluginRecord();
    record.description = "probe plug-in";
    record.init = &Init;
    record.config = &ShowAnswers;
    record.quit = &ShowQuit;
    return &record;
}

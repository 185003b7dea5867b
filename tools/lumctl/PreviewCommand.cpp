#include "tools/lumctl/PreviewCommand.h"

#include "display/DisplayEngine.h"
#include "display/SetRotation.h"
#include "host/HostPlayer.h"
#include "tools/common/HostModel.h"

namespace lum::tools {
namespace {

// The display port of the preview: keeps what was sent.
class CapturingPort : public DisplayPort {
public:
    std::string Sent;

    void SendText(std::string_view text) override { Sent.assign(text); }
    [[nodiscard]] bool SendInProgress() const override { return false; }
};

} // namespace

void RunPreview(const PreviewOptions& options, const Settings& settings,
                const std::function<void(const std::string&)>& onFrame) {
    // The host player as the preview simulates it: fixed answers from the options.
    host::FixedHost host;
    host.RecordQueries = false;
    host.PlayState = options.PlayState;
    host.PositionMs = options.PositionMs;
    host.LengthS = options.LengthS;
    host.ListPos = options.PlaylistPos;
    host.Title = options.Title;
    host.FileName = options.File;
    HostPlayer player(host.Messenger());

    CapturingPort port;
    LocalClock clock = &platform::CurrentLocalTime;
    if (options.Now) {
        clock = [now = *options.Now] { return now; };
    }
    DisplayEngine engine(settings, player, port, clock);
    engine.Shown().ActiveSet = options.ActiveSet;
    engine.SetBannerPeriod(options.Banner);

    for (std::int32_t tick = 1; tick <= options.Ticks; ++tick) {
        port.Sent.clear();
        engine.RefreshTick();
        onFrame(port.Sent);
        if (options.RotateEvery > 0 && tick % options.RotateEvery == 0) {
            RotateSet(settings, engine.Shown());
        }
    }
}

} // namespace lum::tools

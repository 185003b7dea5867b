#include "apps/lumd/Reconnection.h"

#include <utility>

namespace lum::lumd {
namespace {

constexpr std::string_view kTryingAgain = "; trying again every second";

} // namespace

Reconnection::Reconnection(WorkerInbox& inbox, Log& log, std::chrono::milliseconds interval,
                           std::string unreachable)
    : inbox_(inbox), log_(log), interval_(interval), unreachable_(std::move(unreachable)) {}

bool Reconnection::WaitToRetry() {
    const auto until = std::chrono::steady_clock::now() + interval_;
    for (auto now = std::chrono::steady_clock::now(); now < until && !inbox_.StopRequested();
         now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
        if (inbox_.Wait(-1, 0, static_cast<int>(left.count())).Inbox) {
            for (const TransportCommand command : inbox_.TakeCommands()) {
                log_.Warning(unreachable_ + ": '" + std::string(TransportCommandName(command)) +
                             "' dropped");
            }
        }
    }
    return !inbox_.StopRequested();
}

bool Reconnection::Failed(const std::string& reason, bool refusal) {
    if (refusal && reason != told_) {
        log_.Error(reason + std::string(kTryingAgain));
        told_ = reason;
    } else if (!outage_) {
        log_.Warning(reason + std::string(kTryingAgain));
        told_ = reason;
    } else {
        log_.Debug(reason);
    }
    return !std::exchange(outage_, true);
}

void Reconnection::FailedAtStart(const std::string& reason) {
    outage_ = true;
    told_ = reason;
}

void Reconnection::Back(const std::string& message) {
    if (std::exchange(outage_, false)) {
        log_.Info(message);
    }
    told_.clear();
}

} // namespace lum::lumd

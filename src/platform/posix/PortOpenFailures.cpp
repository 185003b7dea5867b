#include "platform/posix/PortOpenFailures.h"

#include <mutex>

namespace lum::platform::posix {
namespace {

std::mutex& HandlerLock() {
    static std::mutex lock;
    return lock;
}

PortOpenFailureHandler& Handler() {
    static PortOpenFailureHandler handler;
    return handler;
}

} // namespace

void SetPortOpenFailureHandler(PortOpenFailureHandler handler) {
    const std::lock_guard lock(HandlerLock());
    Handler() = std::move(handler);
}

void ReportPortOpenFailure(const std::string& path, int error) {
    PortOpenFailureHandler handler;
    {
        const std::lock_guard lock(HandlerLock());
        handler = Handler();
    }
    if (handler) {
        handler(path, error);
    }
}

} // namespace lum::platform::posix

#include "platform/posix/ComPortNames.h"

#include <map>
#include <mutex>

namespace lum::platform::posix {

namespace {

std::mutex& NamesLock() {
    static std::mutex lock;
    return lock;
}

std::map<unsigned, std::string>& Names() {
    static std::map<unsigned, std::string> names;
    return names;
}

} // namespace

void SetComPortPath(unsigned number, std::string path) {
    const std::lock_guard lock(NamesLock());
    if (path.empty()) {
        Names().erase(number);
    } else {
        Names()[number] = std::move(path);
    }
}

std::string ComPortPath(unsigned number) {
    const std::lock_guard lock(NamesLock());
    const auto found = Names().find(number);
    return found == Names().end() ? std::string() : found->second;
}

} // namespace lum::platform::posix

#include "tools/lumhost/EventLog.h"

#include <cstdio>
#include <mutex>

namespace lum::host {

void EmitEvent(std::string_view line) {
    static std::mutex lock;
    const std::lock_guard guard(lock);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace lum::host

#include "tools/lumd/Log.h"

#include <iostream>
#include <string>

namespace lum::lumd {

std::string_view LogLevelName(LogLevel level) {
    switch (level) {
    case LogLevel::Error:
        return "error";
    case LogLevel::Warning:
        return "warning";
    case LogLevel::Info:
        return "info";
    case LogLevel::Debug:
        return "debug";
    }
    return "message";
}

Log::Log(LogLevel threshold, Sink sink) : threshold_(threshold), sink_(std::move(sink)) {
    if (!sink_) {
        sink_ = [](LogLevel level, std::string_view text) {
            std::string line = "lumd: ";
            line.append(LogLevelName(level)).append(": ").append(text).append("\n");
            std::cerr << line << std::flush;
        };
    }
}

void Log::Write(LogLevel level, std::string_view text) {
    if (level > threshold_) {
        return;
    }
    const std::lock_guard lock(mutex_);
    sink_(level, text);
}

} // namespace lum::lumd

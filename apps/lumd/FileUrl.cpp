#include "apps/lumd/FileUrl.h"

#include <filesystem>
#include <sys/stat.h>

namespace lum::lumd {
namespace {

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

bool IsUrl(std::string_view uri) {
    return uri.find("://") != std::string_view::npos;
}

} // namespace

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            result.push_back(text[at]);
            continue;
        }
        if (text.size() - at < 3) {
            return std::nullopt;
        }
        const int high = HexValue(text[at + 1]);
        const int low = HexValue(text[at + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        result.push_back(static_cast<char>(high * 16 + low));
        at += 2;
    }
    return result;
}

std::optional<std::string> LocalPathOfFileUrl(std::string_view url) {
    constexpr std::string_view kScheme = "file://";
    if (!url.starts_with(kScheme)) {
        return std::nullopt;
    }
    url.remove_prefix(kScheme.size());
    const auto pathStart = url.find('/');
    if (pathStart == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view host = url.substr(0, pathStart);
    if (!host.empty() && host != "localhost") {
        return std::nullopt;
    }
    return PercentDecode(url.substr(pathStart));
}

std::string FileNameOfUri(std::string_view uri) {
    const auto slash = uri.find_last_of('/');
    const std::string_view last = slash == std::string_view::npos ? uri : uri.substr(slash + 1);
    if (last.empty()) {
        return std::string(uri);
    }
    if (IsUrl(uri)) {
        if (auto decoded = PercentDecode(last)) {
            return *decoded;
        }
    }
    return std::string(last);
}

std::optional<std::string> PathBelow(std::string_view folder, std::string_view path) {
    namespace fs = std::filesystem;
    const fs::path base = fs::path(folder).lexically_normal();
    if (!base.is_absolute()) {
        return std::nullopt;
    }
    const fs::path full = (base / fs::path(path)).lexically_normal();
    const fs::path inside = full.lexically_relative(base);
    if (inside.empty() || *inside.begin() == ".." || inside == ".") {
        return std::nullopt;
    }
    return full.string();
}

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace lum::lumd

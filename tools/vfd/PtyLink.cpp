#include "tools/vfd/PtyLink.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::vfd {

namespace {

/// How many other names beside the link are tried for the new link before giving up.
constexpr int kTemporaryNames = 100;

/// What kind of file `mode` describes, for a message.
const char* Kind(mode_t mode) {
    if (S_ISREG(mode)) {
        return "a regular file";
    }
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a symbolic link";
}

/// "--link PATH: what happened".
std::string Failure(const std::string& path, const std::string& what) {
    return "--link " + path + ": " + what;
}

/// Where the symbolic link at `path` points, or an empty text.
std::string LinkTarget(const std::string& path) {
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    target.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return target;
}

} // namespace

std::string PtyLink::Make(const std::string& path, const std::string& target) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) != 0) {
        if (errno != ENOENT) {
            return Failure(path, std::strerror(errno));
        }
        // Nothing there: symlink() fails rather than replace what may have come meanwhile.
        if (::symlink(target.c_str(), path.c_str()) != 0) {
            return Failure(path, std::strerror(errno));
        }
    } else if (!S_ISLNK(existing.st_mode)) {
        return Failure(path, std::string("is ") + Kind(existing.st_mode) +
                                 "; only a symbolic link is replaced");
    } else {
        std::string temporary;
        int failed = EEXIST;
        for (int n = 0; n < kTemporaryNames && failed == EEXIST; ++n) {
            temporary = path + ".vfd-" + std::to_string(::getpid()) + "-" + std::to_string(n);
            failed = ::symlink(target.c_str(), temporary.c_str()) == 0 ? 0 : errno;
        }
        if (failed != 0) {
            return Failure(path,
                           std::string("cannot make a link beside it: ") + std::strerror(failed));
        }
        if (::rename(temporary.c_str(), path.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            return Failure(path, std::strerror(error));
        }
    }
    path_ = path;
    target_ = target;
    return {};
}

PtyLink::~PtyLink() {
    // readlink() fails on anything but a symbolic link.
    if (!path_.empty() && LinkTarget(path_) == target_) {
        ::unlink(path_.c_str());
    }
}

} // namespace lum::vfd

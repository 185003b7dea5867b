#include "platform/BoundedRead.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lum::platform {
namespace {

// A file without any write permission bit counts as write-protected, the way the read-only
// attribute works on Windows: even a privileged user may not open it for writing.
bool IsWriteProtected(const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// Follows symbolic links from `path` to the entry they finally name, which need not exist yet.
// Relative links count from the folder of the link. Gives up (returning the last name reached)
// after as many steps as the kernel allows, so a link cycle fails later, at the rename.
std::string FinalLinkTarget(std::string path) {
    constexpr int kMaxLinkSteps = 40;
    for (int step = 0; step < kMaxLinkSteps; ++step) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        char target[4096];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) {
            return path;
        }
        std::string next(target, static_cast<std::size_t>(length));
        path = next.front() == '/' ? next : FolderOf(path) + next;
    }
    return path;
}

std::string& HostDirectoryValue() {
    static std::string directory = "./";
    return directory;
}

} // namespace

bool IsExistingFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

SharedReadResult ReadFileOpenedForReadWrite(const std::string& path, std::size_t maxBytes) {
    SharedReadResult result;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || IsWriteProtected(info)) {
        result.Result = FileResult::OpenFailed;
        return result;
    }
    // Non-blocking and checked again once open: the entry may have been swapped for a FIFO or a
    // device since the stat, and opening one must neither hang nor reach a terminal.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        result.Result = FileResult::OpenFailed;
        return result;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.Result = FileResult::OpenFailed;
        return result;
    }
    result.Result = ReadAllBounded(
        [fd](std::uint8_t* buffer, std::size_t size) -> long long {
            ssize_t got = 0;
            do {
                got = ::read(fd, buffer, size);
            } while (got < 0 && errno == EINTR);
            return got;
        },
        maxBytes, result.Bytes);
    ::close(fd);
    return result;
}

FileResult ReplaceFileAtomically(const std::string& linkOrPath,
                                 std::span<const std::uint8_t> bytes) {
    // Through a symbolic link the link stays and its target is replaced.
    const std::string path = FinalLinkTarget(linkOrPath);
    mode_t mode = 0666;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        // Only a plain file is ever replaced: never a device node, a FIFO or a folder.
        if (!S_ISREG(info.st_mode) || IsWriteProtected(info)) {
            return FileResult::OpenFailed;
        }
        // The probe fails for a file this user may not write to.
        const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (probe < 0) {
            return FileResult::OpenFailed;
        }
        ::close(probe);
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return FileResult::OpenFailed;
    }
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(temporary.c_str());
        return FileResult::WriteFailed;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return FileResult::OpenFailed;
    }
    // Make the rename itself durable; a failure here loses nothing that was there before.
    if (const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return FileResult::Ok;
}

char PathSeparator() {
    return '/';
}

std::string HostDirectory() {
    return HostDirectoryValue();
}

void SetHostDirectory(std::string directory) {
    if (!directory.empty() && directory.back() != '/') {
        directory.push_back('/');
    }
    HostDirectoryValue() = std::move(directory);
}

} // namespace lum::platform

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

std::string& HostDirectoryValue() {
    static std::string directory = "./";
    return directory;
}

} // namespace

bool IsExistingFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

SharedReadResult ReadFileOpenedForReadWrite(const std::string& path) {
    SharedReadResult result;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode) || IsWriteProtected(info)) {
        result.Result = FileResult::OpenFailed;
        return result;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        result.Result = FileResult::OpenFailed;
        return result;
    }
    std::uint8_t chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            result.Result = FileResult::ReadFailed;
            break;
        }
        if (got == 0) {
            break;
        }
        result.Bytes.insert(result.Bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    return result;
}

FileResult ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    mode_t mode = 0666;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode) || IsWriteProtected(info)) {
            return FileResult::OpenFailed;
        }
        // The probe fails for a file this user may not write to.
        const int probe = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
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

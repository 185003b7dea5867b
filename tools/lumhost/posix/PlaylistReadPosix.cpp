#include "platform/posix/PlainFile.h"
#include "tools/lumhost/PlaylistFile.h"

#include <cstring>
#include <fcntl.h>
#include <iostream>

namespace lum::host {

std::optional<std::string> ReadPlaylistText(const std::string& path) {
    using platform::posix::PlainFileStatus;
    const auto read = platform::posix::ReadPlainFile(path, O_RDONLY, kMaxPlaylistBytes);
    switch (read.Status) {
    case PlainFileStatus::Ok:
        return std::string(read.Bytes.begin(), read.Bytes.end());
    case PlainFileStatus::OpenFailed:
        std::cerr << "lumhost: cannot open playlist " << path << ": " << std::strerror(read.Error)
                  << '\n';
        break;
    case PlainFileStatus::NotPlainFile:
        std::cerr << "lumhost: cannot open playlist " << path
                  << ": not a plain file (a FIFO, a device or a folder is not read)\n";
        break;
    case PlainFileStatus::ReadFailed:
        std::cerr << "lumhost: cannot read playlist " << path << ": " << std::strerror(read.Error)
                  << '\n';
        break;
    case PlainFileStatus::TooLong:
        std::cerr << "lumhost: bad playlist " << path << ": " << kPlaylistTooLong << '\n';
        break;
    }
    return std::nullopt;
}

} // namespace lum::host

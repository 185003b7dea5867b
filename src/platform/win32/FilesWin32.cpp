#include "platform/BoundedRead.h"
#include "platform/Files.h"

#include <string_view>
#include <windows.h>

namespace lum::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes = bytes.subspan(written);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".\\") : path.substr(0, separator + 1);
}

// Disk files only: a console, a pipe or a serial device would block or never end.
bool IsDiskFile(HANDLE file) {
    return GetFileType(file) == FILE_TYPE_DISK;
}

// The file an existing path finally names, symbolic links followed, in a form the ANSI file
// functions take (without the "\\?\" prefix the system adds). The path itself when that fails.
std::string FinalPathOf(HANDLE file, const std::string& path) {
    char buffer[MAX_PATH + 8] = {};
    const DWORD length =
        GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= sizeof buffer) {
        return path;
    }
    std::string resolved(buffer, length);
    constexpr std::string_view kUncPrefix = "\\\\?\\UNC\\";
    constexpr std::string_view kLongPrefix = "\\\\?\\";
    if (resolved.starts_with(kUncPrefix)) {
        return "\\\\" + resolved.substr(kUncPrefix.size());
    }
    if (resolved.starts_with(kLongPrefix)) {
        return resolved.substr(kLongPrefix.size());
    }
    return resolved;
}

} // namespace

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

SharedReadResult ReadFileOpenedForReadWrite(const std::string& path, std::size_t maxBytes) {
    SharedReadResult result;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result.Result = FileResult::OpenFailed;
        return result;
    }
    if (!IsDiskFile(file)) {
        CloseHandle(file);
        result.Result = FileResult::OpenFailed;
        return result;
    }
    result.Result = ReadAllBounded(
        [file](std::uint8_t* buffer, std::size_t size) -> long long {
            DWORD got = 0;
            return ReadFile(file, buffer, static_cast<DWORD>(size), &got, nullptr) ? got : -1;
        },
        maxBytes, result.Bytes);
    CloseHandle(file);
    return result;
}

FileResult ReplaceFileAtomically(const std::string& linkOrPath,
                                 std::span<const std::uint8_t> bytes) {
    // An existing target must be a writable disk file: a write-protected or locked file or a
    // device fails here, before anything is written. Through a symbolic link the link stays and
    // the file it names is replaced.
    std::string path = linkOrPath;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            return FileResult::OpenFailed;
        }
        const bool diskFile = IsDiskFile(probe);
        path = FinalPathOf(probe, path);
        CloseHandle(probe);
        if (!diskFile) {
            return FileResult::OpenFailed;
        }
    }

    char temporary[MAX_PATH + 1] = {};
    if (GetTempFileNameA(FolderOf(path).c_str(), "lum", 0, temporary) == 0) {
        return FileResult::OpenFailed;
    }
    const HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(temporary);
        return FileResult::OpenFailed;
    }
    const bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
    CloseHandle(file);
    if (!written) {
        DeleteFileA(temporary);
        return FileResult::WriteFailed;
    }
    if (!MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary);
        return FileResult::OpenFailed;
    }
    return FileResult::Ok;
}

char PathSeparator() {
    return '\\';
}

std::string HostDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return FolderOf(std::string(buffer, length));
}

void SetHostDirectory(std::string) {}

} // namespace lum::platform

#include "platform/Files.h"

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

} // namespace

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

SharedReadResult ReadFileOpenedForReadWrite(const std::string& path) {
    SharedReadResult result;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        result.Result = FileResult::OpenFailed;
        return result;
    }
    std::uint8_t chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            result.Result = FileResult::ReadFailed;
            break;
        }
        if (got == 0) {
            break;
        }
        result.Bytes.insert(result.Bytes.end(), chunk, chunk + got);
    }
    CloseHandle(file);
    return result;
}

FileResult ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    // An existing target must be writable: a write-protected or locked file fails here, before
    // anything is written.
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            return FileResult::OpenFailed;
        }
        CloseHandle(probe);
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

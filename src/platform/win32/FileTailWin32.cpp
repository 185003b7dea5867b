#include "platform/FileTail.h"

#include <windows.h>

namespace lum::platform {

std::optional<std::size_t> ReadFileTail(const std::string& path, std::span<std::uint8_t> buffer) {
    // Other readers may share the file; a program that holds it open for writing makes this fail.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::size_t got = 0;
    LARGE_INTEGER distance{};
    distance.QuadPart = -static_cast<LONGLONG>(buffer.size());
    // Positioning before the start of a shorter file fails: nothing is read then.
    if (SetFilePointerEx(file, distance, nullptr, FILE_END)) {
        while (got < buffer.size()) {
            DWORD n = 0;
            if (!ReadFile(file, buffer.data() + got, static_cast<DWORD>(buffer.size() - got), &n,
                          nullptr) ||
                n == 0) {
                break;
            }
            got += n;
        }
    }
    CloseHandle(file);
    return got;
}

} // namespace lum::platform

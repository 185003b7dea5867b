// The comm functions on Windows: the real functions, one to one. The portable records have the
// layout of the Windows ones and are passed through as they are.
#include "platform/Comm.h"

#include <cstddef>
#include <cstring>
#include <windows.h>

namespace lum::platform {

namespace {

static_assert(sizeof(CommDcb) == sizeof(DCB));
static_assert(offsetof(CommDcb, BaudRate) == offsetof(DCB, BaudRate));
static_assert(offsetof(CommDcb, wReserved) == offsetof(DCB, wReserved));
static_assert(offsetof(CommDcb, XonLim) == offsetof(DCB, XonLim));
static_assert(offsetof(CommDcb, ByteSize) == offsetof(DCB, ByteSize));
static_assert(offsetof(CommDcb, EvtChar) == offsetof(DCB, EvtChar));
static_assert(offsetof(CommDcb, wReserved1) == offsetof(DCB, wReserved1));
static_assert(sizeof(CommTimeouts) == sizeof(COMMTIMEOUTS));
static_assert(sizeof(CommStat) == sizeof(COMSTAT));
static_assert(offsetof(CommStat, cbInQue) == offsetof(COMSTAT, cbInQue));
static_assert(sizeof(Overlapped) == sizeof(OVERLAPPED));
static_assert(offsetof(Overlapped, InternalHigh) == offsetof(OVERLAPPED, InternalHigh));
static_assert(offsetof(Overlapped, hEvent) == offsetof(OVERLAPPED, hEvent));

HANDLE Native(CommHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}
OVERLAPPED* Native(Overlapped& overlapped) {
    return reinterpret_cast<OVERLAPPED*>(&overlapped);
}

class Win32Comm final : public Comm {
public:
    CommHandle CreateFileA(const std::string& deviceName) override {
        const HANDLE handle = ::CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        return reinterpret_cast<CommHandle>(handle);
    }
    bool CloseHandle(CommHandle handle) override { return ::CloseHandle(Native(handle)) != 0; }
    bool SetupComm(CommHandle handle, std::uint32_t inQueue, std::uint32_t outQueue) override {
        return ::SetupComm(Native(handle), inQueue, outQueue) != 0;
    }
    bool GetCommState(CommHandle handle, CommDcb& dcb) override {
        dcb.DCBlength = sizeof(DCB);
        return ::GetCommState(Native(handle), reinterpret_cast<DCB*>(&dcb)) != 0;
    }
    bool SetCommState(CommHandle handle, const CommDcb& dcb) override {
        DCB native;
        static_assert(sizeof(native) == sizeof(dcb));
        std::memcpy(&native, &dcb, sizeof(native));
        return ::SetCommState(Native(handle), &native) != 0;
    }
    bool GetCommTimeouts(CommHandle handle, CommTimeouts& timeouts) override {
        COMMTIMEOUTS native{};
        if (::GetCommTimeouts(Native(handle), &native) == 0) {
            return false;
        }
        timeouts = CommTimeouts{native.ReadIntervalTimeout, native.ReadTotalTimeoutMultiplier,
                                native.ReadTotalTimeoutConstant, native.WriteTotalTimeoutMultiplier,
                                native.WriteTotalTimeoutConstant};
        return true;
    }
    bool SetCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) override {
        COMMTIMEOUTS native{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                            timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                            timeouts.WriteTotalTimeoutConstant};
        return ::SetCommTimeouts(Native(handle), &native) != 0;
    }
    bool SetCommMask(CommHandle handle, std::uint32_t mask) override {
        return ::SetCommMask(Native(handle), mask) != 0;
    }
    bool WaitCommEvent(CommHandle handle, std::uint32_t& mask, Overlapped& overlapped) override {
        static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
        return ::WaitCommEvent(Native(handle), reinterpret_cast<DWORD*>(&mask),
                               Native(overlapped)) != 0;
    }
    bool PurgeComm(CommHandle handle, std::uint32_t flags) override {
        return ::PurgeComm(Native(handle), flags) != 0;
    }
    bool EscapeCommFunction(CommHandle handle, std::uint32_t function) override {
        return ::EscapeCommFunction(Native(handle), function) != 0;
    }
    bool SetCommBreak(CommHandle handle) override { return ::SetCommBreak(Native(handle)) != 0; }
    bool ClearCommBreak(CommHandle handle) override {
        return ::ClearCommBreak(Native(handle)) != 0;
    }
    bool ClearCommError(CommHandle handle, std::uint32_t& errors, CommStat& stat) override {
        DWORD nativeErrors = 0;
        COMSTAT nativeStat{};
        if (::ClearCommError(Native(handle), &nativeErrors, &nativeStat) == 0) {
            return false;
        }
        errors = nativeErrors;
        std::uint32_t flags = 0; // the seven flag bits lead the record
        std::memcpy(&flags, &nativeStat, sizeof(flags));
        stat = CommStat{flags, nativeStat.cbInQue, nativeStat.cbOutQue};
        return true;
    }
    bool GetCommModemStatus(CommHandle handle, std::uint32_t& status) override {
        DWORD native = 0;
        if (::GetCommModemStatus(Native(handle), &native) == 0) {
            return false;
        }
        status = native;
        return true;
    }
    bool ReadFile(CommHandle handle, std::uint8_t* buffer, std::uint32_t count, std::uint32_t& read,
                  Overlapped& overlapped) override {
        DWORD native = 0;
        if (::ReadFile(Native(handle), buffer, count, &native, Native(overlapped)) == 0) {
            return false;
        }
        read = native;
        return true;
    }
    bool WriteFile(CommHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                   std::uint32_t& written, Overlapped& overlapped) override {
        DWORD native = 0;
        if (::WriteFile(Native(handle), buffer, count, &native, Native(overlapped)) == 0) {
            return false;
        }
        written = native;
        return true;
    }
    bool GetOverlappedResult(CommHandle handle, Overlapped& overlapped, std::uint32_t& transferred,
                             bool wait) override {
        DWORD native = 0;
        if (::GetOverlappedResult(Native(handle), Native(overlapped), &native,
                                  wait ? TRUE : FALSE) == 0) {
            return false;
        }
        transferred = native;
        return true;
    }

    EventHandle CreateEventA(bool manualReset, bool initialState) override {
        return ::CreateEventA(nullptr, manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE,
                              nullptr);
    }
    bool CloseEvent(EventHandle event) override { return ::CloseHandle(event) != 0; }
    bool ResetEvent(EventHandle event) override { return ::ResetEvent(event) != 0; }
    bool SetEvent(EventHandle event) override { return ::SetEvent(event) != 0; }
    std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override {
        return ::WaitForSingleObject(event, milliseconds);
    }
    std::uint32_t WaitForMultipleObjects(std::span<const EventHandle> events,
                                         std::uint32_t milliseconds) override {
        return ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE,
                                        milliseconds);
    }

    std::uint32_t GetTickCount() override { return ::GetTickCount(); }
    void Sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
    std::uint32_t GetLastError() override { return ::GetLastError(); }
    std::int32_t PlatformId() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        static_assert(sizeof(OSVERSIONINFOA) == 148);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        const BOOL known = ::GetVersionExA(&info);
#pragma GCC diagnostic pop
        return known != 0 ? static_cast<std::int32_t>(info.dwPlatformId) : -1;
    }
};

} // namespace

Comm& SystemComm() {
    static Win32Comm comm;
    return comm;
}

} // namespace lum::platform

// The comm functions on Linux ttys. Device names follow Windows: "\\.\COMn" is the path set
// for it (ComPortNames.h) or /dev/ttyS(n-1), and a name that is an absolute path
// ("\\.\/dev/pts/3") opens that path; both are how tests and native runs reach a pty.
#include "platform/Comm.h"
#include "platform/posix/ComPortNames.h"
#include "platform/posix/PortOpenFailures.h"
#include "platform/posix/PosixPort.h"
#include "platform/posix/PosixSync.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>

namespace lum::platform {

namespace {

using posix::Fail;
using posix::Port;

/// The tty path a Windows device name stands for; empty when it stands for none.
std::string DevicePath(std::string_view name) {
    constexpr std::string_view kDevicePrefix = "\\\\.\\";
    if (name.starts_with(kDevicePrefix)) {
        name.remove_prefix(kDevicePrefix.size());
    }
    if (name.starts_with('/')) {
        return std::string(name);
    }
    if (name.size() > 3 && (name.substr(0, 3) == "COM" || name.substr(0, 3) == "com")) {
        unsigned number = 0;
        const auto digits = name.substr(3);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc{} && end == digits.data() + digits.size() && number >= 1) {
            const std::string mapped = posix::ComPortPath(number);
            return mapped.empty() ? "/dev/ttyS" + std::to_string(number - 1) : mapped;
        }
    }
    return {};
}

class PosixComm final : public Comm {
public:
    CommHandle CreateFileA(const std::string& deviceName) override {
        const std::string path = DevicePath(deviceName);
        if (path.empty()) {
            posix::ReportPortOpenFailure(deviceName, ENOENT);
            Fail(comm::kErrorFileNotFound);
            return kInvalidCommHandle;
        }
        std::shared_ptr<Port> port = Port::Open(path);
        if (!port) {
            return kInvalidCommHandle;
        }
        const std::lock_guard lock(mutex_);
        const CommHandle handle = nextHandle_++;
        ports_.emplace(handle, std::move(port));
        posix::SetLastError(comm::kErrorSuccess);
        return handle;
    }

    bool CloseHandle(CommHandle handle) override {
        std::shared_ptr<Port> port;
        {
            const std::lock_guard lock(mutex_);
            const auto found = ports_.find(handle);
            if (found == ports_.end()) {
                return Fail(comm::kErrorInvalidHandle);
            }
            port = std::move(found->second);
            ports_.erase(found);
        }
        port->Close();
        return true;
    }

    bool SetupComm(CommHandle handle, std::uint32_t inQueue, std::uint32_t outQueue) override {
        return OnPort<&Port::SetupComm>(handle, inQueue, outQueue);
    }
    bool GetCommState(CommHandle handle, CommDcb& dcb) override {
        return OnPort<&Port::GetCommState>(handle, dcb);
    }
    bool SetCommState(CommHandle handle, const CommDcb& dcb) override {
        return OnPort<&Port::SetCommState>(handle, dcb);
    }
    bool GetCommTimeouts(CommHandle handle, CommTimeouts& timeouts) override {
        return OnPort<&Port::GetCommTimeouts>(handle, timeouts);
    }
    bool SetCommTimeouts(CommHandle handle, const CommTimeouts& timeouts) override {
        return OnPort<&Port::SetCommTimeouts>(handle, timeouts);
    }
    bool SetCommMask(CommHandle handle, std::uint32_t mask) override {
        return OnPort<&Port::SetCommMask>(handle, mask);
    }
    bool WaitCommEvent(CommHandle handle, std::uint32_t& mask, Overlapped& overlapped) override {
        return OnPort<&Port::WaitCommEvent>(handle, mask, overlapped);
    }
    bool PurgeComm(CommHandle handle, std::uint32_t flags) override {
        return OnPort<&Port::PurgeComm>(handle, flags);
    }
    bool EscapeCommFunction(CommHandle handle, std::uint32_t function) override {
        return OnPort<&Port::EscapeCommFunction>(handle, function);
    }
    bool SetCommBreak(CommHandle handle) override {
        return EscapeCommFunction(handle, comm::kSetBreak);
    }
    bool ClearCommBreak(CommHandle handle) override {
        return EscapeCommFunction(handle, comm::kClrBreak);
    }
    bool ClearCommError(CommHandle handle, std::uint32_t& errors, CommStat& stat) override {
        return OnPort<&Port::ClearCommError>(handle, errors, stat);
    }
    bool GetCommModemStatus(CommHandle handle, std::uint32_t& status) override {
        return OnPort<&Port::GetCommModemStatus>(handle, status);
    }
    bool ReadFile(CommHandle handle, std::uint8_t* buffer, std::uint32_t count, std::uint32_t& read,
                  Overlapped& overlapped) override {
        return OnPort<&Port::ReadFile>(handle, buffer, count, read, overlapped);
    }
    bool WriteFile(CommHandle handle, const std::uint8_t* buffer, std::uint32_t count,
                   std::uint32_t& written, Overlapped& overlapped) override {
        return OnPort<&Port::WriteFile>(handle, buffer, count, written, overlapped);
    }
    bool GetOverlappedResult(CommHandle /*handle*/, Overlapped& overlapped,
                             std::uint32_t& transferred, bool wait) override {
        if (wait && posix::WaitAny(std::span(&overlapped.hEvent, 1), comm::kInfinite) ==
                        comm::kWaitFailed) {
            return false;
        }
        return posix::OverlappedResult(overlapped, transferred);
    }

    EventHandle CreateEventA(bool manualReset, bool initialState) override {
        posix::SetLastError(comm::kErrorSuccess);
        return posix::CreateEvent(manualReset, initialState);
    }
    bool CloseEvent(EventHandle event) override { return posix::CloseEvent(event); }
    bool ResetEvent(EventHandle event) override { return posix::ResetEvent(event); }
    bool SetEvent(EventHandle event) override { return posix::SetEvent(event); }
    std::uint32_t WaitForSingleObject(EventHandle event, std::uint32_t milliseconds) override {
        return posix::WaitAny(std::span(&event, 1), milliseconds);
    }
    std::uint32_t WaitForMultipleObjects(std::span<const EventHandle> events,
                                         std::uint32_t milliseconds) override {
        return posix::WaitAny(events, milliseconds);
    }

    std::uint32_t GetTickCount() override {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    void Sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    std::uint32_t GetLastError() override { return posix::LastError(); }
    std::int32_t PlatformId() override { return comm::kPlatformWin32Nt; }

private:
    // Runs `Method` on the port of `handle`; an unknown handle fails with ERROR_INVALID_HANDLE.
    template <auto Method, typename... Args> bool OnPort(CommHandle handle, Args&&... args) {
        const auto port = Find(handle);
        return port && ((*port).*Method)(std::forward<Args>(args)...);
    }

    std::shared_ptr<Port> Find(CommHandle handle) {
        const std::lock_guard lock(mutex_);
        const auto found = ports_.find(handle);
        if (found == ports_.end()) {
            Fail(comm::kErrorInvalidHandle);
            return nullptr;
        }
        return found->second;
    }

    std::mutex mutex_;
    std::map<CommHandle, std::shared_ptr<Port>> ports_;
    CommHandle nextHandle_ = 0x1000;
};

} // namespace

Comm& SystemComm() {
    static PosixComm comm;
    return comm;
}

} // namespace lum::platform

#pragma once
// The state a TSerialPortNG shares with its worker thread. The component owns it and the worker
// holds a reference for its whole life. Each group below names the thread that writes it; the
// other thread only reads it. A field both threads touch while the worker runs is atomic; the
// comm layer, the platform id and the overlapped records are set before the worker starts.

#include "platform/Comm.h"
#include "platform/SyncCalls.h"
#include "serial/SerialStatusMirror.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace lum::serial {

/// Fields of one serial port that its component and its worker both use.
struct TSerialShared {
    /// State on the user-interface thread `ui` and the comm functions `comm`.
    TSerialShared(platform::SyncCalls& ui, platform::Comm& comm) : Ui(ui), Comm(comm) {}
    TSerialShared(const TSerialShared&) = delete;
    TSerialShared& operator=(const TSerialShared&) = delete;

    /// Bytes of a write SendText started: the user-interface thread fills them while no write
    /// is pending; the worker releases them when the pending write ends.
    void ReleaseSendCopy() { std::vector<std::uint8_t>().swap(SendCopy); }

    // Set before the worker starts.
    platform::SyncCalls& Ui;
    platform::Comm& Comm;
    std::int32_t PlatformId = -1;
    /// The platform writes these records while their operations run.
    platform::Overlapped WriteOverlapped;
    platform::Overlapped ReadOverlapped;
    platform::Overlapped EventOverlapped;

    // Written by the user-interface thread.
    std::atomic<bool> Active{false};
    std::atomic<platform::CommHandle> ComHandle{platform::kInvalidCommHandle};
    std::atomic<bool> Destroying{false};
    std::atomic<std::uint32_t> RTOCharDelayTime{1100};
    std::atomic<std::uint16_t> RTOExtraDelayTime{250};
    std::atomic<std::uint16_t> ClusterSize{3072};
    std::atomic<std::uint16_t> RxQueueSize{4096};
    std::atomic<std::uint32_t> BytesToWrite{0};

    // Handed between the threads.
    /// Set by the user-interface thread; cleared by the worker once it has read.
    std::atomic<bool> ReadRequest{false};
    /// Set by the user-interface thread when a write goes pending; cleared by the worker when it
    /// ends (or by the user-interface thread when a write fails at once).
    std::atomic<bool> SendInProgress{false};
    /// Written by the user-interface thread for writes that end at once, by the worker for
    /// pending ones.
    std::atomic<std::uint32_t> WrittenBytes{0};
    /// Owned by the thread that owns the write: see ReleaseSendCopy.
    std::vector<std::uint8_t> SendCopy;
    /// Set by the worker while it works; cleared by it when idle and by the user-interface
    /// thread once the worker has ended.
    std::atomic<bool> ThreadIsRunning{false};

    // Written by the worker.
    TStatusMirror Status;
    /// Event mask last dispatched.
    std::atomic<std::uint32_t> CommEvent{0};
};

} // namespace lum::serial

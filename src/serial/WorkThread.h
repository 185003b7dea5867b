#pragma once
// TWorkThread: the worker of one TSerialPortNG. While the port is open it keeps one overlapped
// comm event wait outstanding, reads the modem and error status, reads received bytes into
// clusters, notices the end of the component's pending write, and raises the component's
// events on the user-interface thread through synchronised calls; while the port is closed it
// idles. It throws nothing.

#include "platform/Comm.h"
#include "platform/SyncCalls.h"
#include "serial/SerialCluster.h"
#include "serial/SerialNG.h"
#include "serial/SerialShared.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace lum::serial {

/// The worker thread of a TSerialPortNG; started by its constructor.
class TWorkThread {
public:
    /// Takes a received cluster on the user-interface thread.
    using ClusterSink = std::function<void(TSerialCluster)>;

    /// Starts the worker at once on `shared`, the state it shares with `owner`, whose events it
    /// raises and to whose `deliver` it hands received clusters.
    TWorkThread(TSerialPortNG& owner, TSerialShared& shared, ClusterSink deliver);
    ~TWorkThread();
    TWorkThread(const TWorkThread&) = delete;
    TWorkThread& operator=(const TWorkThread&) = delete;

    /// Asks the worker to end once it is idle.
    void Terminate() { Terminated = true; }
    /// Waits on the user-interface thread for the worker's end, serving its synchronised calls.
    void WaitFor();

private:
    void Execute() noexcept;
    void WorkingPass();
    void WaitForOutstanding();
    void WindDown();
    void ReadCommStatus();
    void DispatchCommEvents(std::uint32_t mask);
    void CheckWriteDone();
    void ReadReceivedData();
    void DeliverCluster();
    void StartCommEventWait();
    void FinishRead();
    void FinishCommEventWait();
    void ReleaseReadBuffer();
    /// Gives up a read whose wait failed, keeping its buffer while the read may still run.
    void AbandonRead();
    /// Releases the abandoned read's buffer once the read is over.
    void CheckAbandonedRead();
    void SignalOverlappedEvent(platform::Overlapped& overlapped);
    void ResetOverlappedEvent(platform::Overlapped& overlapped);
    /// Raises OnProcessError with a report on the user-interface thread.
    void Report(SerialReport id, std::uint32_t code);
    /// Raises one of the owner's events on the user-interface thread, if it is assigned.
    void Raise(TNotifyEvent TSerialPortNG::*event);

    TSerialPortNG& Owner;
    TSerialShared& shared_;
    platform::Comm& comm_;
    const ClusterSink deliver_;

    // Loop state. The platform writes EventMask while a comm event wait is pending and the
    // read buffer while a read is pending; both live as long as the worker.
    std::uint32_t EventMask = 0;
    std::uint32_t LineErrors = 0;
    /// Line errors seen since the input queue was last empty or read: the driver hands each
    /// error out once, and two status reads happen per pass, so the gating and the cluster
    /// look at all of them, not only at the latest read.
    std::uint32_t ReadErrors = 0;
    std::uint32_t ReadErrorFlags = 0; ///< errors of the read in progress
    platform::CommStat ComStat;
    std::uint32_t InQueue = 0;
    std::uint32_t LastResult = 0;
    std::unique_ptr<std::uint8_t[]> ReadBuffer;
    /// The buffer of a read given up after a failed wait; no new read starts until it is over.
    std::unique_ptr<std::uint8_t[]> AbandonedRead;
    std::uint32_t ReadSize = 0;
    std::uint32_t ReadCount = 0;
    std::uint32_t LastReadTick = 0;
    bool ReadPending = false;
    bool CommEventPending = false;
    bool Working = false;
    std::atomic<bool> Terminated{false};

    std::unique_ptr<platform::SyncThread> thread_; ///< last: started when everything else exists
};

} // namespace lum::serial

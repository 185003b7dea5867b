// TWorkThread: the worker's loop and its steps.
#include "serial/WorkThread.h"

#include "serial/SerialReadGate.h"

#include <array>
#include <iterator>

namespace lum::serial {

namespace comm = platform::comm;

namespace {

/// Longest wait of a working pass, and the pause of a pass with nothing to wait for.
constexpr std::uint32_t kPassMilliseconds = 75;
/// Pause of an idle pass.
constexpr std::uint32_t kIdleMilliseconds = 200;

/// One row of the dispatch order: the events raised for a comm event mask, in order.
struct DispatchRow {
    std::uint32_t Bits;
    TNotifyEvent TSerialPortNG::*Event;
};

// clang-format off
constexpr DispatchRow kDispatchOrder[] = {
    // Bits                Event
    {comm::kEvBreak,       &TSerialPortNG::OnBreakEvent},
    {comm::kEvCts,         &TSerialPortNG::OnCTSEvent},
    {comm::kEvDsr,         &TSerialPortNG::OnDSREvent},
    {comm::kEvErr,         &TSerialPortNG::OnLineErrorEvent},
    {comm::kEvRing,        &TSerialPortNG::OnRingEvent},
    {comm::kEvRlsd,        &TSerialPortNG::OnRLSDEvent},
    {comm::kEvRxChar,      &TSerialPortNG::OnRxCharEvent},
    {comm::kEvRxFlag,      &TSerialPortNG::OnRxEventCharEvent},
    {comm::kEvTxEmpty,     &TSerialPortNG::OnTxQueueEmptyEvent},
    {comm::kMaxDword,      &TSerialPortNG::OnCommEvent},
};
// clang-format on
static_assert(std::size(kDispatchOrder) == 10);

} // namespace

TWorkThread::TWorkThread(TSerialPortNG& owner, TSerialShared& shared, ClusterSink deliver)
    : Owner(owner), shared_(shared), comm_(shared.Comm), deliver_(std::move(deliver)) {
    thread_ = shared_.Ui.StartThread([this] {
        Execute();
        shared_.Ui.Synchronize([this] { shared_.ThreadIsRunning = false; });
    });
}

TWorkThread::~TWorkThread() = default;

void TWorkThread::WaitFor() {
    thread_->WaitFor();
}

void TWorkThread::Execute() noexcept {
    Working = shared_.Active;
    bool done = Terminated;
    ReadPending = false;
    CommEventPending = false;
    LastReadTick = comm_.GetTickCount();
    while (!done) {
        if (Working) {
            WorkingPass();
        } else {
            shared_.ThreadIsRunning = false;
            Working = shared_.Active;
            comm_.Sleep(kIdleMilliseconds);
        }
        if (Terminated && !Working) {
            done = true;
        }
    }
}

void TWorkThread::WorkingPass() {
    shared_.ThreadIsRunning = true;
    if (shared_.Active) {
        ReadCommStatus();
    }
    CheckWriteDone();
    CheckAbandonedRead();
    if (!ReadPending && !AbandonedRead && shared_.Active) {
        ReadReceivedData();
    }
    if (!CommEventPending && shared_.Active) {
        StartCommEventWait();
    }
    WaitForOutstanding();
    if (!shared_.Active) {
        WindDown();
    }
}

void TWorkThread::WaitForOutstanding() {
    if (ReadPending && CommEventPending) {
        const std::array<platform::EventHandle, 2> events{shared_.ReadOverlapped.hEvent,
                                                          shared_.EventOverlapped.hEvent};
        LastResult = comm_.WaitForMultipleObjects(events, kPassMilliseconds);
        if (shared_.Active) {
            ReadCommStatus();
        }
        if (LastResult == comm::kWaitObject0) {
            FinishRead();
        } else if (LastResult == comm::kWaitObject0 + 1) {
            FinishCommEventWait();
        } else if (LastResult != comm::kWaitTimeout) {
            Report(SerialReport::TwoEventWaitFailed, LastResult);
            AbandonRead();
            CommEventPending = false;
        }
    } else if (ReadPending) {
        LastResult = comm_.WaitForSingleObject(shared_.ReadOverlapped.hEvent, kPassMilliseconds);
        if (shared_.Active) {
            ReadCommStatus();
        }
        if (LastResult == comm::kWaitObject0) {
            FinishRead();
            if (ReadPending) {
                // Signalled by the worker itself while closing, yet the read still runs:
                // pause, or the signalled event would make the loop spin until it ends.
                comm_.Sleep(kPassMilliseconds);
            }
        } else if (LastResult != comm::kWaitTimeout) {
            Report(SerialReport::ReadWaitFailed, LastResult);
            AbandonRead();
        }
    } else if (CommEventPending) {
        LastResult = comm_.WaitForSingleObject(shared_.EventOverlapped.hEvent, kPassMilliseconds);
        if (shared_.Active) {
            ReadCommStatus();
        }
        if (LastResult == comm::kWaitObject0) {
            FinishCommEventWait();
        } else if (LastResult != comm::kWaitTimeout) {
            Report(SerialReport::EventWaitFailed, LastResult);
            CommEventPending = false;
        }
    } else if (shared_.Active || shared_.SendInProgress) {
        // Nothing to wait for, yet the next pass works again (a comm event wait that fails at
        // once, say on a device that has gone): pause so the loop does not spin.
        comm_.Sleep(kPassMilliseconds);
    }
}

void TWorkThread::WindDown() {
    if (ReadPending) {
        SignalOverlappedEvent(shared_.ReadOverlapped);
    }
    if (CommEventPending) {
        comm_.SetCommMask(shared_.ComHandle, 0);
        SignalOverlappedEvent(shared_.EventOverlapped);
    }
    if (!ReadPending && !CommEventPending && !AbandonedRead && !shared_.SendInProgress) {
        Working = false;
    }
}

void TWorkThread::AbandonRead() {
    // The read may still be running: its buffer stays until the platform says it is over.
    AbandonedRead = std::move(ReadBuffer);
    ReadSize = 0;
    ReadPending = false;
}

void TWorkThread::CheckAbandonedRead() {
    if (!AbandonedRead) {
        return;
    }
    std::uint32_t count = 0;
    if (!comm_.GetOverlappedResult(shared_.ComHandle, shared_.ReadOverlapped, count, false) &&
        comm_.GetLastError() == comm::kErrorIoIncomplete) {
        return;
    }
    AbandonedRead.reset();
}

void TWorkThread::ReadCommStatus() {
    const platform::CommHandle handle = shared_.ComHandle;
    std::uint32_t status = 0;
    if (!comm_.GetCommModemStatus(handle, status)) {
        Report(SerialReport::ModemStatusFailed, comm_.GetLastError());
    } else {
        const TModemChange change = shared_.Status.StoreModemStatus(status, shared_.PlatformId);
        if (change.RingChanged) {
            Raise(&TSerialPortNG::OnRIEvent);
        }
        if (change.RingEnded) {
            DispatchCommEvents(comm::kEvRing);
        }
    }
    if (!comm_.ClearCommError(handle, LineErrors, ComStat)) {
        Report(SerialReport::ClearErrorFailed, comm_.GetLastError());
        return;
    }
    ReadErrors |= LineErrors;
    if (shared_.Status.StoreCommStat(LineErrors, ComStat)) {
        Raise(&TSerialPortNG::OnCommStat);
    }
    InQueue = ComStat.cbInQue;
}

void TWorkThread::DispatchCommEvents(std::uint32_t mask) {
    if (shared_.Destroying) {
        return;
    }
    shared_.CommEvent = mask;
    for (const DispatchRow& row : kDispatchOrder) {
        if ((mask & row.Bits) != 0) {
            Raise(row.Event);
        }
    }
}

void TWorkThread::CheckWriteDone() {
    if (!shared_.SendInProgress) {
        return;
    }
    std::uint32_t written = 0;
    if (comm_.GetOverlappedResult(shared_.ComHandle, shared_.WriteOverlapped, written, false)) {
        shared_.WrittenBytes = written;
        shared_.ReleaseSendCopy();
        shared_.SendInProgress = false;
        if (written != shared_.BytesToWrite) {
            Report(SerialReport::WriteTimeout, LastResult);
        }
        Raise(&TSerialPortNG::OnWriteDone);
        return;
    }
    const std::uint32_t error = comm_.GetLastError();
    if (error == comm::kErrorIoIncomplete) {
        return;
    }
    LastResult = error;
    shared_.ReleaseSendCopy();
    shared_.SendInProgress = false;
    ResetOverlappedEvent(shared_.WriteOverlapped);
    Report(SerialReport::WriteResultFailed, error);
    Raise(&TSerialPortNG::OnWriteDone);
}

void TWorkThread::ReadReceivedData() {
    if (InQueue == 0) {
        LastReadTick = comm_.GetTickCount();
        ReadErrors = 0;
        return;
    }
    const TReadGateInput gate{
        InQueue,
        comm_.GetTickCount() - LastReadTick,
        ReadErrors,
        shared_.ReadRequest,
        shared_.ClusterSize,
        shared_.RTOCharDelayTime,
        shared_.RTOExtraDelayTime,
    };
    if (!ReadNow(gate)) {
        return;
    }
    ReadSize = ReadSizeFor(InQueue, shared_.RxQueueSize);
    ReadBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(ReadSize);
    ReadCount = 0;
    ReadErrorFlags = ReadErrors;
    ReadErrors = 0;
    if (comm_.ReadFile(shared_.ComHandle, ReadBuffer.get(), ReadSize, ReadCount,
                       shared_.ReadOverlapped)) {
        shared_.ReadRequest = false;
        DeliverCluster();
        ReleaseReadBuffer();
        LastReadTick = comm_.GetTickCount();
        return;
    }
    LastResult = comm_.GetLastError();
    if (LastResult == comm::kErrorIoPending) {
        ReadPending = true;
        return;
    }
    shared_.ReadRequest = false;
    ReleaseReadBuffer();
    Report(SerialReport::ReadFailed, LastResult);
}

void TWorkThread::DeliverCluster() {
    if (shared_.Destroying) {
        return;
    }
    shared_.Ui.Synchronize(
        [this, cluster = TSerialCluster(ReadBuffer.get(), ReadCount, ReadErrorFlags)]() mutable {
            deliver_(std::move(cluster));
        });
}

void TWorkThread::StartCommEventWait() {
    if (comm_.WaitCommEvent(shared_.ComHandle, EventMask, shared_.EventOverlapped)) {
        ReadCommStatus();
        DispatchCommEvents(EventMask);
        return;
    }
    LastResult = comm_.GetLastError();
    if (LastResult == comm::kErrorIoPending) {
        CommEventPending = true;
    } else {
        Report(SerialReport::WaitCommEventFailed, LastResult);
    }
}

void TWorkThread::FinishRead() {
    std::uint32_t count = 0;
    if (comm_.GetOverlappedResult(shared_.ComHandle, shared_.ReadOverlapped, count, false)) {
        ReadCount = count;
        DeliverCluster();
        ReleaseReadBuffer();
        LastReadTick = comm_.GetTickCount();
        ReadPending = false;
        return;
    }
    const std::uint32_t error = comm_.GetLastError();
    if (error == comm::kErrorIoIncomplete) {
        return;
    }
    LastResult = error;
    Report(error == comm::kErrorOperationAborted ? SerialReport::ReadAborted
                                                 : SerialReport::ReadResultFailed,
           error);
    ReleaseReadBuffer();
    ReadPending = false;
}

void TWorkThread::FinishCommEventWait() {
    if (shared_.Active) {
        ReadCommStatus();
        DispatchCommEvents(EventMask);
    }
    CommEventPending = false;
}

void TWorkThread::ReleaseReadBuffer() {
    ReadBuffer.reset();
    ReadSize = 0;
}

void TWorkThread::SignalOverlappedEvent(platform::Overlapped& overlapped) {
    if (!comm_.SetEvent(overlapped.hEvent)) {
        Report(SerialReport::SignalEventFailed, comm_.GetLastError());
    }
}

void TWorkThread::ResetOverlappedEvent(platform::Overlapped& overlapped) {
    if (!comm_.ResetEvent(overlapped.hEvent)) {
        Report(SerialReport::ResetEventFailed, comm_.GetLastError());
    }
}

void TWorkThread::Report(SerialReport id, std::uint32_t code) {
    shared_.Ui.Synchronize([this, row = ReportOf(id), code] {
        Owner.NotifyError(row.Place, code, row.Msg, row.Level);
    });
}

void TWorkThread::Raise(TNotifyEvent TSerialPortNG::*event) {
    if (!(Owner.*event).Assigned()) {
        return;
    }
    // Checked again on the user-interface thread: destruction may have begun meanwhile, and
    // no handler runs on a component that is being destroyed.
    shared_.Ui.Synchronize([this, event] {
        if (!shared_.Destroying) {
            (Owner.*event)(Owner);
        }
    });
}

} // namespace lum::serial

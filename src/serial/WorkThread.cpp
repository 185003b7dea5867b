// TWorkThread: the worker's loop and its steps.
#include "serial/WorkThread.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace lum::serial {

namespace comm = platform::comm;

namespace {

/// Longest wait of a working pass, and the pause of a pass with nothing to wait for.
constexpr std::uint32_t kPassMilliseconds = 75;
/// Pause of an idle pass.
constexpr std::uint32_t kIdleMilliseconds = 200;
/// Line errors that make the worker read the queued bytes at once.
constexpr std::uint32_t kReadNowErrors =
    comm::kCeRxOver | comm::kCeOverrun | comm::kCeRxParity | comm::kCeFrame | comm::kCeBreak;

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

TWorkThread::TWorkThread(TSerialPortNG& owner) : Owner(owner), comm_(owner.comm_) {
    thread_ = Owner.ui_.StartThread([this] {
        Execute();
        Owner.ui_.Synchronize([this] { Owner.WorkThreadTerminated(); });
    });
}

TWorkThread::~TWorkThread() = default;

void TWorkThread::WaitFor() {
    thread_->WaitFor();
}

void TWorkThread::Execute() noexcept {
    Working = Owner.Active_;
    bool done = Terminated;
    ReadPending = false;
    CommEventPending = false;
    LastReadTick = comm_.GetTickCount();
    while (!done) {
        if (Working) {
            WorkingPass();
        } else {
            Owner.ThreadIsRunning_ = false;
            Working = Owner.Active_;
            comm_.Sleep(kIdleMilliseconds);
        }
        if (Terminated && !Working) {
            done = true;
        }
    }
}

void TWorkThread::WorkingPass() {
    Owner.ThreadIsRunning_ = true;
    if (Owner.Active_) {
        ReadCommStatus();
    }
    CheckWriteDone();
    CheckAbandonedRead();
    if (!ReadPending && !AbandonedRead && Owner.Active_) {
        ReadReceivedData();
    }
    if (!CommEventPending && Owner.Active_) {
        StartCommEventWait();
    }
    WaitForOutstanding();
    if (!Owner.Active_) {
        WindDown();
    }
}

void TWorkThread::WaitForOutstanding() {
    if (ReadPending && CommEventPending) {
        const std::array<platform::EventHandle, 2> events{Owner.ReadOverlapped_.hEvent,
                                                          Owner.EventOverlapped_.hEvent};
        LastResult = comm_.WaitForMultipleObjects(events, kPassMilliseconds);
        if (Owner.Active_) {
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
        LastResult = comm_.WaitForSingleObject(Owner.ReadOverlapped_.hEvent, kPassMilliseconds);
        if (Owner.Active_) {
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
        LastResult = comm_.WaitForSingleObject(Owner.EventOverlapped_.hEvent, kPassMilliseconds);
        if (Owner.Active_) {
            ReadCommStatus();
        }
        if (LastResult == comm::kWaitObject0) {
            FinishCommEventWait();
        } else if (LastResult != comm::kWaitTimeout) {
            Report(SerialReport::EventWaitFailed, LastResult);
            CommEventPending = false;
        }
    } else if (Owner.Active_ || Owner.SendInProgress_) {
        // Nothing to wait for, yet the next pass works again (a comm event wait that fails at
        // once, say on a device that has gone): pause so the loop does not spin.
        comm_.Sleep(kPassMilliseconds);
    }
}

void TWorkThread::WindDown() {
    if (ReadPending) {
        SignalOverlappedEvent(Owner.ReadOverlapped_);
    }
    if (CommEventPending) {
        comm_.SetCommMask(Owner.ComHandle_, 0);
        SignalOverlappedEvent(Owner.EventOverlapped_);
    }
    if (!ReadPending && !CommEventPending && !AbandonedRead && !Owner.SendInProgress_) {
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
    if (!comm_.GetOverlappedResult(Owner.ComHandle_, Owner.ReadOverlapped_, count, false) &&
        comm_.GetLastError() == comm::kErrorIoIncomplete) {
        return;
    }
    AbandonedRead.reset();
}

void TWorkThread::ReadCommStatus() {
    const platform::CommHandle handle = Owner.ComHandle_;
    std::uint32_t status = 0;
    if (!comm_.GetCommModemStatus(handle, status)) {
        Report(SerialReport::ModemStatusFailed, comm_.GetLastError());
    } else {
        const std::uint32_t previous = Owner.ModemState_;
        // The Windows 95 family reports no EV_RING when the ring indicator goes off.
        const bool ringEnded = Owner.PlatformId_ == comm::kPlatformWin32Windows &&
                               (status & comm::kMsRingOn) == 0 && (previous & comm::kMsRingOn) != 0;
        const bool ringChanged = ((status ^ previous) & comm::kMsRingOn) != 0;
        Owner.ModemState_ = status;
        Owner.CTSState_ = (status & comm::kMsCtsOn) != 0;
        Owner.DSRState_ = (status & comm::kMsDsrOn) != 0;
        Owner.RLSDState_ = (status & comm::kMsRlsdOn) != 0;
        Owner.RingState_ = (status & comm::kMsRingOn) != 0;
        if (ringChanged) {
            Raise(&TSerialPortNG::OnRIEvent);
        }
        if (ringEnded) {
            DispatchCommEvents(comm::kEvRing);
        }
    }
    if (!comm_.ClearCommError(handle, LineErrors, ComStat)) {
        Report(SerialReport::ClearErrorFailed, comm_.GetLastError());
        return;
    }
    ReadErrors |= LineErrors;
    const auto flags = static_cast<TComStateFlags>(ComStat.Flags & 0xFF);
    if (Owner.CommError_ != LineErrors || Owner.CommStateFlags_ != flags ||
        Owner.CommStateInQueue_ != ComStat.cbInQue ||
        Owner.CommStateOutQueue_ != ComStat.cbOutQue) {
        Owner.CommError_ = LineErrors;
        Owner.CommStateFlags_ = flags;
        Owner.CommStateInQueue_ = ComStat.cbInQue;
        Owner.CommStateOutQueue_ = ComStat.cbOutQue;
        Raise(&TSerialPortNG::OnCommStat);
    }
    InQueue = ComStat.cbInQue;
}

void TWorkThread::DispatchCommEvents(std::uint32_t mask) {
    if (Owner.Destroying_) {
        return;
    }
    Owner.CommEvent_ = mask;
    for (const DispatchRow& row : kDispatchOrder) {
        if ((mask & row.Bits) != 0) {
            Raise(row.Event);
        }
    }
}

void TWorkThread::CheckWriteDone() {
    if (!Owner.SendInProgress_) {
        return;
    }
    std::uint32_t written = 0;
    if (comm_.GetOverlappedResult(Owner.ComHandle_, Owner.WriteOverlapped_, written, false)) {
        Owner.WrittenBytes_ = written;
        Owner.ReleaseSendCopy();
        Owner.SendInProgress_ = false;
        if (written != Owner.BytesToWrite_) {
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
    Owner.ReleaseSendCopy();
    Owner.SendInProgress_ = false;
    ResetOverlappedEvent(Owner.WriteOverlapped_);
    Report(SerialReport::WriteResultFailed, error);
    Raise(&TSerialPortNG::OnWriteDone);
}

void TWorkThread::ReadReceivedData() {
    if (InQueue == 0) {
        LastReadTick = comm_.GetTickCount();
        ReadErrors = 0;
        return;
    }
    const std::uint32_t now = comm_.GetTickCount();
    const double queuedTime =
        static_cast<double>(static_cast<std::uint64_t>(InQueue) * Owner.RTOCharDelayTime_) /
            1000.0 +
        Owner.RTOExtraDelayTime_;
    const bool readNow = Owner.ReadRequest_ || InQueue >= Owner.ClusterSize_ ||
                         static_cast<double>(now - LastReadTick) > queuedTime ||
                         (ReadErrors & kReadNowErrors) != 0;
    if (!readNow) {
        return;
    }
    // One read takes at most the driver's input queue size, whatever the count says.
    ReadSize = std::min<std::uint32_t>(InQueue, std::max<std::uint32_t>(Owner.RxQueueSize_, 1));
    ReadBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(ReadSize);
    ReadCount = 0;
    ReadErrorFlags = ReadErrors;
    ReadErrors = 0;
    if (comm_.ReadFile(Owner.ComHandle_, ReadBuffer.get(), ReadSize, ReadCount,
                       Owner.ReadOverlapped_)) {
        Owner.ReadRequest_ = false;
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
    Owner.ReadRequest_ = false;
    ReleaseReadBuffer();
    Report(SerialReport::ReadFailed, LastResult);
}

void TWorkThread::DeliverCluster() {
    if (Owner.Destroying_) {
        return;
    }
    NewCluster = std::make_unique<TSerialCluster>(ReadBuffer.get(), ReadCount, ReadErrorFlags);
    Owner.ui_.Synchronize([this] { SyncRxCluster(); });
}

void TWorkThread::StartCommEventWait() {
    if (comm_.WaitCommEvent(Owner.ComHandle_, EventMask, Owner.EventOverlapped_)) {
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
    if (comm_.GetOverlappedResult(Owner.ComHandle_, Owner.ReadOverlapped_, count, false)) {
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
    if (Owner.Active_) {
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

void TWorkThread::StoreError(std::uint32_t place, std::uint32_t code, std::string_view msg,
                             std::uint8_t level) {
    ErrPlace = place;
    ErrCode = code;
    ErrMsg = msg;
    ErrLevel = level;
}

void TWorkThread::Report(SerialReport id, std::uint32_t code) {
    const ReportRow& row = ReportOf(id);
    StoreError(row.Place, code, row.Msg, row.Level);
    Owner.ui_.Synchronize([this] { SyncProcessError(); });
}

void TWorkThread::SyncProcessError() {
    Owner.NotifyError(ErrPlace, ErrCode, ErrMsg, ErrLevel);
}

void TWorkThread::SyncRxCluster() {
    Owner.AppendCluster(std::move(NewCluster));
}

void TWorkThread::Raise(TNotifyEvent TSerialPortNG::*event) {
    if (!(Owner.*event).Assigned()) {
        return;
    }
    // Checked again on the user-interface thread: destruction may have begun meanwhile, and
    // no handler runs on a component that is being destroyed.
    Owner.ui_.Synchronize([this, event] {
        if (!Owner.Destroying_) {
            (Owner.*event)(Owner);
        }
    });
}

} // namespace lum::serial

// TSerialPortNG: line settings, their properties, the output lines and the queue sizes.
#include "serial/CharDelayTable.h"
#include "serial/SerialNG.h"

namespace lum::serial {

namespace comm = platform::comm;

namespace {

/// Highest value of XONLimDiv and XOFFLimDiv (percent).
constexpr std::uint8_t kMaxLimDiv = 100;

/// Time-outs of an open port between writes: reads return at once with what is queued,
/// writes have no time-out.
constexpr platform::CommTimeouts kIdleTimeouts{comm::kMaxDword, 0, 0, 0, 0};

} // namespace

template <typename T> void TSerialPortNG::StoreAndReapply(T& field, T value) {
    if (field == value) {
        return;
    }
    field = value;
    if (shared_.Active) {
        ApplyLineSettings();
    }
}

void TSerialPortNG::ApplyLineSettings() {
    const platform::CommHandle handle = shared_.ComHandle;
    platform::CommDcb dcb;
    if (!comm_.GetCommState(handle, dcb)) {
        Report(SerialReport::GetStateFailed, comm_.GetLastError());
        return;
    }
    dcb.BaudRate = BaudRate_;
    std::uint32_t flags = comm::kDcbBinary;
    if (ParityType_ != 0) {
        flags |= comm::kDcbParity;
    }
    if (ParityErrorReplacement_) {
        flags |= comm::kDcbErrorChar;
    }
    flags |= static_cast<std::uint32_t>(FlowControl_);
    if (StripNullChars_) {
        flags |= comm::kDcbNull;
    }
    dcb.Flags = flags;
    dcb.XonLim = static_cast<std::uint16_t>(shared_.RxQueueSize * XONLimDiv_ / 100);
    dcb.XoffLim = static_cast<std::uint16_t>(shared_.RxQueueSize * XOFFLimDiv_ / 100);
    dcb.ByteSize = DataBits_;
    dcb.Parity = ParityType_;
    dcb.StopBits = StopBits_;
    dcb.XonChar = XONChar_;
    dcb.XoffChar = XOFFChar_;
    dcb.ErrorChar = ParityErrorChar_;
    dcb.EofChar = 0;
    dcb.EvtChar = EventChar_;
    if (!comm_.SetCommTimeouts(handle, kIdleTimeouts)) {
        Report(SerialReport::SetTimeoutsFailed, comm_.GetLastError());
    }
    if (!comm_.SetCommState(handle, dcb)) {
        Report(SerialReport::SetStateFailed, comm_.GetLastError());
    }
}

void TSerialPortNG::AutoSetCharDelayTimes() {
    const std::uint32_t delay = CharDelayFor(BaudRate_);
    SetRTOCharDelayTime(delay);
    SetWTOCharDelayTime(delay);
}

void TSerialPortNG::SetBaudRate(std::uint32_t value) {
    if (value == BaudRate_) {
        return;
    }
    BaudRate_ = value;
    if (XTOAuto_) {
        AutoSetCharDelayTimes();
    }
    if (shared_.Active) {
        ApplyLineSettings();
    }
}

void TSerialPortNG::SetXTOAuto(bool value) {
    if (value == XTOAuto_) {
        return;
    }
    XTOAuto_ = value;
    if (value) {
        AutoSetCharDelayTimes();
    }
}

void TSerialPortNG::SetParityType(std::uint8_t value) {
    StoreAndReapply(ParityType_, value);
}
void TSerialPortNG::SetParityErrorChar(char value) {
    StoreAndReapply(ParityErrorChar_, value);
}
void TSerialPortNG::SetParityErrorReplacement(bool value) {
    StoreAndReapply(ParityErrorReplacement_, value);
}
void TSerialPortNG::SetStopBits(std::uint8_t value) {
    StoreAndReapply(StopBits_, value);
}
void TSerialPortNG::SetDataBits(std::uint8_t value) {
    StoreAndReapply(DataBits_, value);
}
void TSerialPortNG::SetXONChar(char value) {
    StoreAndReapply(XONChar_, value);
}
void TSerialPortNG::SetXOFFChar(char value) {
    StoreAndReapply(XOFFChar_, value);
}
void TSerialPortNG::SetFlowControl(std::int32_t value) {
    StoreAndReapply(FlowControl_, value);
}
void TSerialPortNG::SetStripNullChars(bool value) {
    StoreAndReapply(StripNullChars_, value);
}
void TSerialPortNG::SetEventChar(char value) {
    StoreAndReapply(EventChar_, value);
}
void TSerialPortNG::SetWTOCharDelayTime(std::uint32_t value) {
    StoreAndReapply(WTOCharDelayTime_, value);
}
void TSerialPortNG::SetWTOExtraDelayTime(std::uint16_t value) {
    StoreAndReapply(WTOExtraDelayTime_, value);
}

void TSerialPortNG::SetXONLimDiv(std::uint8_t value) {
    if (value == XONLimDiv_) {
        return;
    }
    if (value > kMaxLimDiv) {
        Report(SerialReport::XonLimClamped, value);
        value = kMaxLimDiv;
    }
    XONLimDiv_ = value;
    if (shared_.Active) {
        ApplyLineSettings();
    }
}

void TSerialPortNG::SetXOFFLimDiv(std::uint8_t value) {
    if (value == XOFFLimDiv_) {
        return;
    }
    if (value > kMaxLimDiv) {
        Report(SerialReport::XoffLimClamped, value);
        value = kMaxLimDiv;
    }
    XOFFLimDiv_ = value;
    if (shared_.Active) {
        ApplyLineSettings();
    }
}

void TSerialPortNG::SetRTOCharDelayTime(std::uint32_t value) {
    shared_.RTOCharDelayTime = value;
}
void TSerialPortNG::SetRTOExtraDelayTime(std::uint16_t value) {
    shared_.RTOExtraDelayTime = value;
}
void TSerialPortNG::SetClusterSize(std::uint16_t value) {
    shared_.ClusterSize = value;
}

void TSerialPortNG::SetRxQueueSize(std::uint16_t value) {
    if (value == shared_.RxQueueSize) {
        return;
    }
    shared_.RxQueueSize = value;
    if (!comm_.SetupComm(shared_.ComHandle, shared_.RxQueueSize, TxQueueSize_)) {
        Report(SerialReport::RxQueueSizeFailed, comm_.GetLastError());
    }
}

void TSerialPortNG::SetTxQueueSize(std::uint16_t value) {
    if (value == TxQueueSize_) {
        return;
    }
    TxQueueSize_ = value;
    if (!comm_.SetupComm(shared_.ComHandle, shared_.RxQueueSize, TxQueueSize_)) {
        Report(SerialReport::TxQueueSizeFailed, comm_.GetLastError());
    }
}

void TSerialPortNG::DriveLine(bool value, std::uint32_t setFunction, std::uint32_t clearFunction,
                              SerialReport setFailed, SerialReport clearFailed) {
    if (!comm_.EscapeCommFunction(shared_.ComHandle, value ? setFunction : clearFunction)) {
        Report(value ? setFailed : clearFailed, comm_.GetLastError());
    }
}

void TSerialPortNG::SetRTSState(bool value) {
    if (!shared_.Active) {
        return;
    }
    DriveLine(value, comm::kSetRts, comm::kClrRts, SerialReport::SetRtsFailed,
              SerialReport::ClearRtsFailed);
    RTSState_ = value;
}

void TSerialPortNG::SetDTRState(bool value) {
    if (!shared_.Active) {
        return;
    }
    DriveLine(value, comm::kSetDtr, comm::kClrDtr, SerialReport::SetDtrFailed,
              SerialReport::ClearDtrFailed);
    DTRState_ = value;
}

void TSerialPortNG::SetBREAKState(bool value) {
    if (!shared_.Active) {
        return;
    }
    const bool done =
        value ? comm_.SetCommBreak(shared_.ComHandle) : comm_.ClearCommBreak(shared_.ComHandle);
    if (!done) {
        Report(value ? SerialReport::SetBreakFailed : SerialReport::ClearBreakFailed,
               comm_.GetLastError());
    }
    BREAKState_ = value;
}

} // namespace lum::serial

#include "apps/lumd/TtyDisplayLine.h"

#include <utility>

namespace lum::lumd {

using platform::posix::ModemLine;
using platform::posix::TtyWriter;

TtyDisplayLine::TtyDisplayLine(std::string device, PostToUi post)
    : device_(std::move(device)), post_(std::move(post)) {}

TtyDisplayLine::~TtyDisplayLine() {
    SetOpen(false);
}

void TtyDisplayLine::SetPort(std::int32_t comPort) {
    if (comPort < 1 || comPort > 9 || comPort == port_) {
        return;
    }
    port_ = comPort;
    // As the serial component does: an open line opens afresh on the new port.
    if (IsOpen()) {
        SetOpen(false);
        SetOpen(true);
    }
}

void TtyDisplayLine::SetBaudRate(std::uint32_t rate) {
    baudRate_ = rate;
    if (writer_ != nullptr) {
        static_cast<void>(writer_->SetBaudRate(rate));
    }
}

void TtyDisplayLine::SetOpen(bool open) {
    if (open == IsOpen()) {
        return;
    }
    if (!open) {
        *current_ = false;
        writer_.reset();
        dtr_ = false;
        return;
    }
    auto current = std::make_shared<bool>(true);
    const auto gone = [this, post = post_, current] {
        post([this, current] {
            if (*current) {
                Report(LineTrouble::DeviceGone);
            }
        });
    };
    const auto ended = [this, post = post_, current] {
        post([this, current] {
            if (*current) {
                ReportSendEnded();
            }
        });
    };
    int error = 0;
    writer_ = TtyWriter::Open(device_, baudRate_, gone, ended, error);
    if (writer_ != nullptr) {
        current_ = std::move(current);
        dtr_ = true;
    }
}

void TtyDisplayLine::SetDtr(bool on) {
    if (writer_ != nullptr) {
        writer_->SetModemLine(ModemLine::Dtr, on);
        dtr_ = on;
    }
}

void TtyDisplayLine::Send(std::string_view text) {
    if (writer_ != nullptr) {
        writer_->Send(text);
    }
}

bool TtyDisplayLine::SendPending() const {
    return writer_ != nullptr && writer_->Pending();
}

void TtyDisplayLine::WatchSendEnd() {
    if (writer_ != nullptr) {
        writer_->WatchSendEnd();
    }
}

std::uint32_t TtyDisplayLine::OutQueueBytes() const {
    return writer_ != nullptr ? writer_->OutQueue() : 0;
}

} // namespace lum::lumd

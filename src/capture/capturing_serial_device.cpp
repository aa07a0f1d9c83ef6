#include "capture/capturing_serial_device.h"

#include <algorithm>
#include <utility>

#include "capture/capture_texts.h"

namespace velarin {

CapturingSerialDevice::CapturingSerialDevice(SerialDevice& inner, std::function<uint64_t()> now_us)
    : inner_(inner), now_us_(std::move(now_us)) {}

CapturingSerialDevice::~CapturingSerialDevice() { StopCapture(); }

void CapturingSerialDevice::StartCapture(std::unique_ptr<CaptureWriter> writer) {
  StopCapture();
  status_.clear();
  if (writer == nullptr) return;
  writer_ = std::move(writer);
  start_us_ = now_us_();
  // A loss that happened before this capture is not part of it.
  gone_recorded_ = inner_.Vanished();
  if (writer_->stopped()) {
    status_ = std::string(capture_texts::kStopped) + writer_->failure();
    return;
  }
  if (inner_.IsOpen()) {
    CaptureEvent open;
    open.kind = CaptureEventKind::kOpen;
    open.rate = inner_.ReadBaud();
    open.text = path_;
    Record(std::move(open));
  }
}

void CapturingSerialDevice::StopCapture() {
  if (writer_ == nullptr) return;
  CheckGone();
  writer_->Finish();
  if (writer_->stopped()) status_ = std::string(capture_texts::kStopped) + writer_->failure();
  writer_.reset();
}

void CapturingSerialDevice::AddNote(const std::string& key, const std::string& value) {
  if (writer_ == nullptr || writer_->stopped()) return;
  writer_->Note(key, value);
  if (writer_->stopped()) status_ = std::string(capture_texts::kStopped) + writer_->failure();
}

void CapturingSerialDevice::Record(CaptureEvent event) {
  if (writer_ == nullptr || writer_->stopped()) return;
  const uint64_t now = now_us_();
  event.at_us = now > start_us_ ? now - start_us_ : 0;
  writer_->Write(event);
  if (writer_->stopped()) status_ = std::string(capture_texts::kStopped) + writer_->failure();
}

void CapturingSerialDevice::CheckGone() {
  if (gone_recorded_ || !inner_.Vanished()) return;
  gone_recorded_ = true;
  CaptureEvent gone;
  gone.kind = CaptureEventKind::kGone;
  gone.text = inner_.LastError();
  Record(std::move(gone));
}

bool CapturingSerialDevice::Open(const std::string& path) {
  // The driver closes an open port before opening again; the capture says so.
  if (inner_.IsOpen()) {
    CaptureEvent close;
    close.kind = CaptureEventKind::kClose;
    Record(std::move(close));
  }
  held_.clear();
  const bool ok = inner_.Open(path);
  gone_recorded_ = false;
  if (ok) {
    path_ = path;
    CaptureEvent open;
    open.kind = CaptureEventKind::kOpen;
    open.rate = inner_.ReadBaud();
    open.text = path;
    Record(std::move(open));
  }
  return ok;
}

void CapturingSerialDevice::Close() {
  // A program that learns of a loss from IsOpen() alone closes next.
  CheckGone();
  const bool was_open = inner_.IsOpen();
  inner_.Close();
  held_.clear();
  if (was_open) {
    CaptureEvent close;
    close.kind = CaptureEventKind::kClose;
    Record(std::move(close));
  }
}

bool CapturingSerialDevice::WriteBaud(int32_t baud) {
  const bool was_open = inner_.IsOpen();
  const bool ok = inner_.WriteBaud(baud);
  if (was_open && inner_.IsOpen()) {
    CaptureEvent rate;
    rate.kind = ok ? CaptureEventKind::kRate : CaptureEventKind::kRefused;
    rate.asked = baud;
    // What the driver reports is the rate on the wire (a bridge may run another).
    if (ok) rate.rate = inner_.ReadBaud();
    Record(std::move(rate));
  }
  CheckGone();
  return ok;
}

void CapturingSerialDevice::TakeFromDriver() {
  if (inner_.BytesWaiting() > 0) {
    std::vector<uint8_t> bytes = inner_.ReadAll();
    if (!bytes.empty()) {
      const size_t room = kMaxHeld - std::min(kMaxHeld, held_.size());
      held_.insert(held_.end(), bytes.begin(),
                   bytes.begin() + static_cast<std::ptrdiff_t>(std::min(room, bytes.size())));
      CaptureEvent received;
      received.kind = CaptureEventKind::kReceived;
      received.bytes = std::move(bytes);
      Record(std::move(received));
    }
  }
  CheckGone();
}

int CapturingSerialDevice::BytesWaiting() {
  if (capturing()) {
    TakeFromDriver();
    return static_cast<int>(held_.size());
  }
  const int waiting = inner_.BytesWaiting();
  CheckGone();
  return static_cast<int>(held_.size()) + waiting;
}

std::vector<uint8_t> CapturingSerialDevice::ReadAll() {
  std::vector<uint8_t> fresh = inner_.ReadAll();
  if (!fresh.empty()) {
    CaptureEvent received;
    received.kind = CaptureEventKind::kReceived;
    received.bytes = fresh;
    Record(std::move(received));
  }
  CheckGone();
  // A port that closed under us reads nothing, as the driver itself would.
  if (held_.empty() || !inner_.IsOpen()) {
    held_.clear();
    return fresh;
  }
  std::vector<uint8_t> out = std::move(held_);
  held_.clear();
  out.insert(out.end(), fresh.begin(), fresh.end());
  return out;
}

bool CapturingSerialDevice::WriteByte(uint8_t byte) {
  const bool ok = inner_.WriteByte(byte);
  if (ok) {
    CaptureEvent sent;
    sent.kind = CaptureEventKind::kSent;
    sent.bytes = {byte};
    Record(std::move(sent));
  }
  CheckGone();
  return ok;
}

}  // namespace velarin

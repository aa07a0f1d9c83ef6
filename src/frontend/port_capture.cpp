#include "frontend/port_capture.h"

#include <utility>

#include "capture/capturing_serial_device.h"
#include "frontend/tools_texts.h"
#include "platform/clock.h"
#include "platform/version.h"
#include "sim/replay_ecu.h"

namespace velarin::frontend {

// The device the port used before the capture went in front of it; it may be
// swapped (a simulated ECU of another family) while the capture stays.
class PortCapture::Route : public SerialDevice {
 public:
  SerialDevice* target = nullptr;  // null until attached: a port never opened

  bool Open(const std::string& path) override { return target && target->Open(path); }
  void Close() override {
    if (target) target->Close();
  }
  bool IsOpen() const override { return target && target->IsOpen(); }
  bool Vanished() const override { return target && target->Vanished(); }
  std::optional<int32_t> ReadBaud() override { return target ? target->ReadBaud() : std::nullopt; }
  bool WriteBaud(int32_t baud) override { return target && target->WriteBaud(baud); }
  int BytesWaiting() override { return target ? target->BytesWaiting() : 0; }
  std::vector<uint8_t> ReadAll() override {
    return target ? target->ReadAll() : std::vector<uint8_t>{};
  }
  bool WriteByte(uint8_t byte) override { return target && target->WriteByte(byte); }
  bool DataArrived() const override { return target && target->DataArrived(); }
  LatencyMode ReadLatencyMode() override {
    return target ? target->ReadLatencyMode() : LatencyMode{};
  }
  std::string LastError() const override { return target ? target->LastError() : ""; }
};

// Notes the family in force ahead of every open it captures.
class PortCapture::Device : public CapturingSerialDevice {
 public:
  Device(SerialDevice& inner, std::function<std::string()> family_now)
      : CapturingSerialDevice(inner, MonotonicMicros), family_now_(std::move(family_now)) {}

  bool Open(const std::string& path) override {
    const std::string family = family_now_();
    if (capturing() && !family.empty()) AddNote(kFamilyNoteKey, family);
    return CapturingSerialDevice::Open(path);
  }
  std::string Family() const { return family_now_(); }

 private:
  std::function<std::string()> family_now_;
};

PortCapture::PortCapture(std::function<std::string()> family_now)
    : route_(std::make_unique<Route>()),
      device_(std::make_unique<Device>(*route_, std::move(family_now))) {}

PortCapture::~PortCapture() = default;

void PortCapture::Attach(LinkPort& port) {
  if (port.device == device_.get()) return;
  route_->target = port.device;
  port.device = port.device != nullptr ? device_.get() : nullptr;
}

bool PortCapture::Start(const std::string& path, std::string_view program, std::string* error) {
  CaptureNotes notes = {{std::string(tools_texts::kMadeByKey),
                         std::string(program) + " " + std::string(kProgramVersion)}};
  // On a port already open the family in force is the connection's.
  const std::string family = device_->Family();
  if (device_->IsOpen() && !family.empty()) notes.emplace_back(kFamilyNoteKey, family);
  std::unique_ptr<CaptureWriter> writer = CaptureWriter::Create(path, notes, error);
  if (!writer) return false;
  path_ = path;
  failure_reported_ = false;
  device_->StartCapture(std::move(writer));
  return true;
}

void PortCapture::Stop() { device_->StopCapture(); }

bool PortCapture::capturing() const { return device_->capturing(); }

std::string PortCapture::Status() const {
  const std::string failure = device_->CaptureStatus();
  if (!failure.empty()) return failure;
  if (path_.empty()) return "";
  return std::string(capturing() ? tools_texts::kCapturingTo : tools_texts::kCaptureSaved) + path_;
}

std::string PortCapture::TakeFailure() {
  const std::string failure = device_->CaptureStatus();
  if (failure.empty() || failure_reported_) return "";
  failure_reported_ = true;
  return failure;
}

}  // namespace velarin::frontend

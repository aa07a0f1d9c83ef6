#ifdef _WIN32

#include "platform/win32_serial_device.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "platform/serial_errors.h"

namespace velarin {
namespace {

constexpr DWORD kOpenBaud = 1200;
constexpr DWORD kInQueue = 1024;
constexpr DWORD kOutQueue = 512;
constexpr size_t kMaxReadAll = 64 * 1024;

std::string Reason(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out =
      n > 0 && text != nullptr ? std::string(text, n) : "error " + std::to_string(code);
  if (text != nullptr) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) {
    out.pop_back();
  }
  return out;
}

// The name CreateFile needs: a bare device name ("COM3", "COM12", "CNCA0") goes
// through the device namespace, without which COM10 and above cannot be opened.
std::string DeviceName(const std::string& path) {
  if (path.empty() || path.find_first_of("\\/:") != std::string::npos) return path;
  return "\\\\.\\" + path;
}

// The codes a COM handle gives once its USB adapter has been unplugged.
bool DeviceGone(DWORD code) {
  return code == ERROR_ACCESS_DENIED || code == ERROR_BAD_COMMAND || code == ERROR_DEVICE_REMOVED ||
         code == ERROR_OPERATION_ABORTED || code == ERROR_GEN_FAILURE ||
         code == ERROR_DEV_NOT_EXIST || code == ERROR_INVALID_HANDLE;
}

OpenFailure KindOfOpenError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
      return OpenFailure::kNoSuchDevice;
    // A COM port is opened without sharing: "access denied" means another program holds it.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return OpenFailure::kInUse;
    // A handle that opened but takes no port settings (a file, a printer).
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_SUPPORTED:
      return OpenFailure::kNotASerialPort;
    default:
      return OpenFailure::kOther;
  }
}

}  // namespace

Win32SerialDevice::~Win32SerialDevice() { Close(); }

bool Win32SerialDevice::Open(const std::string& path) {
  Close();
  path_ = path;
  vanished_ = false;
  data_arrived_ = false;
  last_error_.clear();

  HANDLE h = CreateFileA(DeviceName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    last_error_ = OpenErrorText(KindOfOpenError(code), path, Reason(code));
    return false;
  }
  auto fail = [&](DWORD code) {
    last_error_ = OpenErrorText(KindOfOpenError(code), path, Reason(code));
    CloseHandle(h);
    return false;
  };

  if (!SetupComm(h, kInQueue, kOutQueue)) return fail(GetLastError());

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb)) return fail(GetLastError());
  dcb.BaudRate = kOpenBaud;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fTXContinueOnXoff = TRUE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fAbortOnError = FALSE;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  if (!SetCommState(h, &dcb)) return fail(GetLastError());

  if (!EscapeCommFunction(h, SETDTR)) return fail(GetLastError());
  if (!EscapeCommFunction(h, SETRTS)) return fail(GetLastError());

  // ReadFile returns at once with whatever is queued; WriteFile gives up after the bound.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
  if (!SetCommTimeouts(h, &timeouts)) return fail(GetLastError());

  if (!PurgeComm(h, PURGE_RXCLEAR | PURGE_RXABORT)) return fail(GetLastError());

  handle_ = h;
  fine_sleep_ = std::make_unique<FineSleep>();
  return true;
}

void Win32SerialDevice::Close() {
  if (handle_ == nullptr) return;
  CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  fine_sleep_.reset();
}

void Win32SerialDevice::MarkVanished() {
  Close();
  vanished_ = true;
  last_error_ = WentAwayText(path_);
}

void Win32SerialDevice::Fail(unsigned long code) {
  if (DeviceGone(code)) {
    MarkVanished();
    return;
  }
  last_error_ = path_ + ": " + Reason(code);
}

std::optional<int32_t> Win32SerialDevice::ReadBaud() {
  if (handle_ == nullptr) {
    last_error_ = serial_texts::kNotOpen;
    return std::nullopt;
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(static_cast<HANDLE>(handle_), &dcb)) {
    Fail(GetLastError());
    return std::nullopt;
  }
  return static_cast<int32_t>(dcb.BaudRate);
}

bool Win32SerialDevice::WriteBaud(int32_t baud) {
  if (handle_ == nullptr) {
    last_error_ = serial_texts::kNotOpen;
    return false;
  }
  if (baud <= 0) {
    last_error_ = std::string(serial_texts::kInvalidBaud) + std::to_string(baud);
    return false;
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(static_cast<HANDLE>(handle_), &dcb)) {
    Fail(GetLastError());
    return false;
  }
  // Only the rate changes; every other field goes back as it was read.
  dcb.BaudRate = static_cast<DWORD>(baud);
  if (!SetCommState(static_cast<HANDLE>(handle_), &dcb)) {
    Fail(GetLastError());
    return false;
  }
  return true;
}

bool Win32SerialDevice::DataArrived() const {
  if (data_arrived_ || handle_ == nullptr) return data_arrived_;
  // A failure here is left for the next BytesWaiting or ReadAll to report.
  DWORD errors = 0;
  COMSTAT stat{};
  if (ClearCommError(static_cast<HANDLE>(handle_), &errors, &stat) && stat.cbInQue > 0)
    data_arrived_ = true;
  return data_arrived_;
}

int Win32SerialDevice::BytesWaiting() {
  if (handle_ == nullptr) return 0;
  DWORD errors = 0;
  COMSTAT stat{};
  if (!ClearCommError(static_cast<HANDLE>(handle_), &errors, &stat)) {
    Fail(GetLastError());
    return 0;
  }
  int count = static_cast<int>(std::min<DWORD>(stat.cbInQue, 0x7fffffff));
  if (count > 0) data_arrived_ = true;
  return count;
}

std::vector<uint8_t> Win32SerialDevice::ReadAll() {
  std::vector<uint8_t> out;
  if (handle_ == nullptr) return out;
  uint8_t buf[1024];
  while (out.size() < kMaxReadAll) {
    DWORD want = static_cast<DWORD>(std::min(sizeof buf, kMaxReadAll - out.size()));
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), buf, want, &got, nullptr)) {
      Fail(GetLastError());
      break;
    }
    if (got == 0) break;
    out.insert(out.end(), buf, buf + got);
  }
  if (!out.empty()) data_arrived_ = true;
  return out;
}

bool Win32SerialDevice::WriteByte(uint8_t byte) {
  if (handle_ == nullptr) {
    last_error_ = serial_texts::kNotOpen;
    return false;
  }
  DWORD written = 0;
  if (!WriteFile(static_cast<HANDLE>(handle_), &byte, 1, &written, nullptr)) {
    Fail(GetLastError());
    return false;
  }
  if (written != 1) {
    last_error_ = serial_texts::kWriteTimedOut;
    return false;
  }
  return true;
}

}  // namespace velarin

#endif  // _WIN32

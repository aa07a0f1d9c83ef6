#pragma once
// What the main window keeps about its link apart from the controls it draws:
// the port, the polling timer, how far the connection has come, the P8
// temperature table, and the facts the front ends watch. Procedures read and
// write it; no view ever shows it directly.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "forms/controls.h"
#include "forms/link_port.h"

namespace velarin {

inline constexpr int kTempTableSize = 257;  // TempTable 0..256
using TempTableEntries = std::array<std::optional<double>, kTempTableSize>;

// Whether the switch shows a connection: "Disconnect" from an opened Connect
// until the Disconnect that closes it (or the end of a lost link).
enum class ConnectionState { kIdle, kConnected };

struct ProtocolState {
  LinkPort MSComm1;
  Timer Timer1;

  // Connection flags: how far the connection has come.
  bool init = false;
  bool ecuinf = false;
  bool cal_ask = false;
  ConnectionState connection = ConnectionState::kIdle;

  // P8 temperature table; entries 241..256 are never set.
  TempTableEntries TempTable;

  // Live-data frames begun on an open port since the window loaded (front ends count reads).
  uint64_t live_frames = 0;
  // Times the adapter vanished under a connection, which then ended (front ends watch
  // it), and the OS reason of the last such loss.
  uint64_t link_losses = 0;
  std::string link_lost_reason;
};

}  // namespace velarin

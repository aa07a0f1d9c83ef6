#pragma once
// The main window's controls, flags and tables, named as the window names them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "forms/controls.h"
#include "forms/link_port.h"
#include "forms/trace_log.h"

namespace velarin {

inline constexpr int kChannelCount = 9;     // Check1 0..8
inline constexpr int kReadoutCount = 10;    // Text1 0..9 (9: 15Rc throttle voltage)
inline constexpr int kBarSegments = 120;    // Line1 0..119
inline constexpr int kTempTableSize = 257;  // TempTable 0..256

struct Form2 {
  Form2();

  std::string caption;
  bool visible = true;
  bool loaded = false;

  // Connection.
  Label Frame1;     // "Com Port"
  Label Label1;     // "Com"
  TextBox Text6;    // port number
  CheckBox Check2;  // connection switch (element 0)
  Shape Shape1;     // lamp
  Label Label4;     // status line
  LinkPort MSComm1;
  Timer Timer1;
  TextBox Text5;  // "pause" (hidden)
  Label Label8;
  TextBox Text11;  // "inter byte delay" (hidden)
  Label Label11;

  // Connection flags.
  bool init = false;
  bool ecuinf = false;
  bool cal_ask = false;

  // Identification.
  Label Frame2;     // "ECU Info"
  TextBox Text4;    // ISO code, ECU data and calibration lines
  CheckBox Check3;  // "Ecu data"
  CheckBox Check4;  // "Calibration"
  Button Command6;  // "ecu info"
  Button Command7;  // "calibration"

  // Family.
  Label Frame3;          // "ECU Type"
  OptionButton Option1;  // 15m
  OptionButton Option9;  // 15Rc
  OptionButton Option7;  // 16m
  OptionButton Option2;  // P8
  OptionButton Option3;  // throttle scale "1" (hidden, selected)
  OptionButton Option6;  // trimmer scale "1" (hidden, selected)

  // Readout panel.
  std::array<CheckBox, kChannelCount> Check1;
  std::array<TextBox, kReadoutCount> Text1;
  std::array<Label, kChannelCount> Label3;
  Label Label9;   // "V" of Text1(9)
  Label Label25;  // bar scale
  Label Label26;  // engine speed text
  std::array<LineSegment, kBarSegments> Line1;
  // Live-data frames begun on an open port since the window loaded (front ends count reads).
  uint64_t live_frames = 0;

  // Diagnostics, navigation, donation.
  Button Command11;  // "DTC"
  Button Command8;   // donation picture
  MenuItem test;     // "Tests"

  TraceLog Rtb1;

  // P8 temperature table; entries 241..256 are never set.
  std::array<std::optional<double>, kTempTableSize> TempTable;

  // Not a control of the original window: the status bar of this program.
  std::string status_bar;
  // Times the adapter vanished under a connection, which then ended (front ends watch
  // it), and the OS reason of the last such loss.
  uint64_t link_losses = 0;
  std::string link_lost_reason;
};

}  // namespace velarin

#pragma once
// The main window Form2: the controls it draws, named as the window names them,
// and its log. What the window keeps about its link lives in ProtocolState.

#include <array>
#include <string>

#include "forms/controls.h"
#include "forms/trace_log.h"

namespace velarin {

inline constexpr int kChannelCount = 9;          // Check1 0..8
inline constexpr int kReadoutCount = 10;         // Text1 0..9
inline constexpr int kThrottleVoltsReadout = 9;  // Text1(9): the 15Rc throttle sensor voltage
inline constexpr int kBarSegments = 120;         // Line1 0..119

// Everything the main window draws: copied whole into each snapshot the view paints.
// A new control is one member here and one line in the view.
struct Form2Controls {
  std::string caption;
  bool visible = true;

  // Connection.
  Label Frame1;     // "Com Port"
  Label Label1;     // "Com"
  TextBox Text6;    // port number
  CheckBox Check2;  // connection switch (element 0)
  Shape Shape1;     // lamp
  Label Label4;     // status line
  TextBox Text5;    // "pause" (hidden)
  Label Label8;
  TextBox Text11;  // "inter byte delay" (hidden)
  Label Label11;

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

  // Diagnostics, navigation, donation.
  Button Command11;  // "DTC"
  Button Command8;   // donation picture
  MenuItem test;     // "Tests"

  // Not a control of the original window: the status bar of this program.
  std::string status_bar;
};

struct Form2 : Form2Controls {
  Form2();

  bool loaded = false;
  TraceLog Rtb1;
};

}  // namespace velarin

#pragma once
// What the window's workshop tools (recording, chart, adapter list) say, one
// definition each.

#include <string_view>

namespace velarin::gui::workshop_texts {

inline constexpr std::string_view kToolBar = "Workshop";
inline constexpr std::string_view kViewMenu = "View";

inline constexpr std::string_view kRecord = "Record";
inline constexpr std::string_view kRecordTip =
    "Write every live-data read to a CSV file until Disconnect";
inline constexpr std::string_view kRecordFolder = "Record folder";
inline constexpr std::string_view kChooseFolder = "Always record into a folder\u2026";
inline constexpr std::string_view kAskEachTime = "Ask for a file each time";
inline constexpr std::string_view kChooseFolderTitle = "Folder for recordings";
inline constexpr std::string_view kSaveTitle = "Record live data into";
inline constexpr std::string_view kSaveFilter = "Recordings (*.csv)";
// "recording velarin-15m-20261209-193000.csv: 12 rows"
inline constexpr std::string_view kRecording = "recording ";
inline constexpr std::string_view kWaitingForData = ": waiting for live data";

inline constexpr std::string_view kChart = "Chart";

inline constexpr std::string_view kAdapterTip =
    "The serial adapter: fills in the port. Plug an adapter in or out and the list follows.";
inline constexpr std::string_view kByComNumber = "by number";
inline constexpr std::string_view kSimulatedTip = "the simulated ECU brings its own port";

}  // namespace velarin::gui::workshop_texts

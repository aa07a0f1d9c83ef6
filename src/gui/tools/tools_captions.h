#pragma once
// Captions of the "Tools" menu, its entries and their dialogs. One definition each.

#include <string_view>

namespace velarin::gui::tools_captions {

inline constexpr std::string_view kToolsMenu = "Tools";
inline constexpr std::string_view kCaptureEntry = "Capture to file...";
inline constexpr std::string_view kCaptureDialogTitle = "Capture to file";
inline constexpr std::string_view kCaptureFilter = "Velarin captures (*.vcap);;All files (*)";
// The file the save dialog proposes: the date and time fill in the middle.
inline constexpr std::string_view kCaptureNameA = "velarin-";
inline constexpr std::string_view kCaptureNameB = ".vcap";
inline constexpr std::string_view kCaptureNameTime = "yyyyMMdd-HHmmss";
inline constexpr std::string_view kAdapterCheckEntry = "Adapter check...";
inline constexpr std::string_view kAdapterCheckTitle = "Adapter check";

}  // namespace velarin::gui::tools_captions

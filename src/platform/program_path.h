#pragma once
// Where the running program lives, and the settings file named after it.

#include <string>

namespace velarin {

// Absolute path of the running executable; empty when the platform cannot tell.
std::string ProgramPath();

// The settings file beside `program`: its folder + the executable's name without
// its extension + ".ini" ("/opt/v/velarin" -> "/opt/v/velarin.ini",
// "C:\v\velarin.exe" -> "C:\v\velarin.ini"). Empty for an empty `program`.
std::string SettingsPathBeside(const std::string& program);

// SettingsPathBeside(ProgramPath()).
std::string DefaultSettingsPath();

}  // namespace velarin

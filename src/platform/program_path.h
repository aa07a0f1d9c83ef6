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

// The folder where the user's settings live when the program's own folder is not
// writable (an installed program): $XDG_CONFIG_HOME/velarin, else
// $HOME/.config/velarin; %APPDATA%\Velarin on Windows. Empty when none is known.
std::string UserSettingsFolder();

// The settings file of the running program: SettingsPathBeside(ProgramPath()) when
// the program's folder is writable, else the same file name in UserSettingsFolder()
// (created when missing), else the path beside the program all the same.
std::string DefaultSettingsPath();

}  // namespace velarin

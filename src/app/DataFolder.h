#pragma once
// Where Kadenzo keeps its per-user files (config.INI, the ports folder).
#include <optional>
#include <string>

namespace kadenzo {

// "<APPDATA>/Kadenzo" when APPDATA is set; otherwise the platform's per-user
// configuration folder with "Kadenzo" in it ($XDG_CONFIG_HOME or ~/.config on
// Linux, ~/Library/Preferences on macOS). Nothing when neither can be found.
std::optional<std::string> dataFolder();

// The platform's path separator.
char pathSeparator();

} // namespace kadenzo

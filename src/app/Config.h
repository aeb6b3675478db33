#pragma once
// config.INI: one line of three comma-separated numbers (model, port, line-end mode)
// in the data folder. Read once at start-up, written once at close.
#include "app/MainState.h"

#include <string>

namespace kadenzo {

class Prompts;

// Longest full path of config.INI, terminator included; a longer one is treated as unreadable.
constexpr size_t kConfigPathCapacity = 250;

// The start-up read. Builds st.configPath, creates the folder and a default file ("1,0,1")
// when the file cannot be read (after a beep and an error box), then reads selectedModel,
// comPort and lineEndMode. Returns false when the file still cannot be read; the model and
// line end are then 1 and the caller shows the status text kConfigUnreadableStatus.
bool readConfig(MainState& st, Prompts& prompts);

// The close write: model digit, the port box text ("0" for "No COM Port found"), line-end digit.
void writeConfig(const MainState& st, const std::string& portBoxText);

inline constexpr const char* kConfigMissingMessage =
    "Unable to open configuration file.\nFile either missing or first time use.\nCreating "
    "defaults.";
inline constexpr const char* kConfigUnreadableStatus =
    "Unable to load 'config.ini' file - Setting defaults";

} // namespace kadenzo

#pragma once
// The main window's shared state: the members that start-up, the link, the runner,
// the front panel and the secondary windows all read and write. Plain data, UI thread only.
#include <cstdint>
#include <string>
#include <string_view>

namespace kadenzo {

// Text of a voltage or current-limit setting: at most 9 characters, whatever is assigned.
class SettingText {
public:
    static constexpr size_t kMax = 9;
    SettingText() = default;
    SettingText& operator=(std::string_view text) {
        value_.assign(text.substr(0, kMax));
        return *this;
    }
    const std::string& str() const { return value_; }
    operator std::string_view() const { return value_; }
    bool empty() const { return value_.empty(); }
    friend bool operator==(const SettingText& a, std::string_view b) { return a.value_ == b; }

private:
    std::string value_;
};

struct MainState {
    int32_t selectedModel = 0;  // 1 "KM 417R", 2 "VD 826R", 3 "ZN 826R"
    int32_t comPort = 0;        // COM port to open; 0: none
    int32_t lineEndMode = 0;    // 0 CR, 1 LF, other: no line end
    int32_t connectedModel = 0; // model found by the last identification: 0 none, 1, 2
    int32_t commsFault = 0;     // the last exchange timed out, or the supply is of another model
    int32_t commsSuspended = 0; // the user suspended communication
    int32_t outputOn = 0;       // the supply's output is on (last reported or switched)
    int32_t currentLimit = 0;   // the supply reports current-limit regulation
    int32_t stepIndex = 0;      // table row of the step applied; -1 when no run is active
    int32_t lastStep = 0;       // table row of the running sequence's last step
    int32_t loopsLeft = 0;      // passes still to run after the current one
    float maxVolts = 0.0f;      // limits of the selected model
    float maxAmps = 0.0f;
    int32_t lastLinkError = 0; // code of the serial control's last error event
    SettingText voltsText;     // voltage setting last sent or taken from a step
    SettingText ampsText;      // current-limit setting last sent or taken from a step
    float setVolts = 0.0f;     // working copies for fine adjustment
    float setAmps = 0.0f;
    std::string configPath; // full path of config.INI, built at start-up
};

} // namespace kadenzo

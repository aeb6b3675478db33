#pragma once
// Command transport, link errors, the status polls and the identification of the supply.
#include "app/Context.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kadenzo {

class Link {
public:
    explicit Link(Context& c) : c(c) {}
    // Binds the serial control's error event and the poll timers.
    void wire();

    // Writes the line end that lineEndMode chooses (CR, LF or nothing).
    void SendLineEnd();
    // The serial control's error event; runs nested inside the failing call.
    void CWSerial1Error(TCWSerial& sender, int32_t errorCode, const std::string& errMsg);

    // A command: the command text, the value text (for "v " and "i "), the line end,
    // each as its own write.
    void sendCommand(std::string_view command, std::string_view value = {});
    // A query: the command and line end, then a read of up to `count` bytes.
    // Callers test commsFault afterwards.
    std::string query(std::string_view command, int32_t count);

    // Output state, regulation mode and readouts.
    void PollStatus();
    // The idle poll (Timer3) and the manual run's poll (Timer1).
    void Timer3Timer();
    void Timer1Timer();
    // Resets and reconfigures the port, asks "*idn?" and compares with selectedModel.
    // The verdict is left in commsFault and connectedModel.
    void IdentifyInstrument();

private:
    Context& c;
};

} // namespace kadenzo

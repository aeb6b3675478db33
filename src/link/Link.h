#pragma once
// Command transport, link errors, the status polls and the identification of the supply.
#include "app/Context.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kadenzo {

// Status texts of the link.
inline constexpr const char* kWaitingStatus = "Waiting";
inline constexpr const char* kSuspendedStatus = "Comms Suspended";
inline constexpr const char* kNoCommsStatus = "No communication with PSU";
inline constexpr const char* kConnectingStatus = "Connecting to PSU";
inline constexpr const char* kNoPsuStatus = "No PSU detected - Sequence aborted";
inline constexpr const char* kMismatchStatus = "Unit connected and sequence do not match";
// What a readout shows when there is no reading.
inline constexpr const char* kNoReading = ". . .";

class Link {
public:
    explicit Link(Context& c) : c(c) {}
    // Binds the serial control's events and the poll timers (Timer3, Timer1).
    void wire();

    // Writes the line end that lineEndMode chooses (CR, LF or nothing).
    void SendLineEnd();
    // The serial control's error event; runs nested inside the failing call.
    void CWSerial1Error(TCWSerial& sender, int32_t errorCode, const std::string& errMsg);

    // A command: the command text, the value text, the line end, each as its own write.
    // "v " and "i " always write their value, even an empty one (three writes); other
    // commands write a value only when one is given.
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

    // A reply as a readout shows it: without its first character and without the
    // CR or LF that ends it; nothing else is changed.
    static std::string readoutText(std::string_view reply);

private:
    // The character tests of the "out?" and "m?" replies: a reply too short for the
    // tested position, or with another character there, changes nothing.
    void takeOutputReply(const std::string& reply);
    void takeModeReply(const std::string& reply);
    // Panel1 / Panel2 show a reply, or a setting text.
    void showVolts(std::string_view text);
    void showAmps(std::string_view text);

    Context& c;
};

} // namespace kadenzo

#pragma once
// The serial-port control that every exchange with the supply goes through.
// Calls are synchronous and run on the UI thread. Failures never throw: they
// are reported through OnError, raised inside the failing call before it returns.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kadenzo {

// Error codes reported through TCWSerial::OnError.
namespace serr {
constexpr int32_t Timeout = -30301;       // no (complete) reply in time; also a read with no port open
constexpr int32_t PortInvalid = -30312;   // the port does not exist or is no serial device
constexpr int32_t PortInUse = -30315;     // the port is held by another program
constexpr int32_t OpenFailed = -30330;    // the port exists but could not be opened or set up
constexpr int32_t NotOpen = -30331;       // a write with no port open
constexpr int32_t WriteFailed = -30332;   // the bytes could not be written
constexpr int32_t DeviceGone = -30333;    // the device vanished (adapter pulled, peer closed)
} // namespace serr

class TCWSerial {
public:
    virtual ~TCWSerial() = default;

    // Properties. ComPort selects the device "COM<n>" for the next PortConfigure.
    int16_t ComPort = 1;
    // Kept for the callers that set it; failures always arrive through OnError.
    bool ExceptionOnError = false;

    // Opens the port selected by ComPort (releasing any open one first).
    virtual void PortConfigure() = 0;
    // Releases the port; harmless when none is open.
    virtual void PortReset() = 0;
    // Sends the characters in order and adds nothing.
    virtual void PortWrite(std::string_view text) = 0;
    // Returns what arrived, at most `count` characters, ending early after a line feed.
    // Without a complete reply in time raises Timeout and returns what arrived so far.
    virtual std::string PortRead(int32_t count) = 0;

    // Whether port n names a present serial device (used to build the port list).
    virtual bool PortExists(int n) const = 0;
    // The device behind port n, for display (for example "/dev/ttyUSB0").
    virtual std::string PortDevice(int n) const = 0;

    // Events. OnError runs nested inside the failing call.
    std::function<void(TCWSerial& sender, int32_t errorCode, const std::string& errMsg)> OnError;
    std::function<void()> OnDataReady;
    std::function<void()> OnWriteComplete;

protected:
    void raiseError(int32_t code, const std::string& msg) {
        if (OnError)
            OnError(*this, code, msg);
    }
};

} // namespace kadenzo

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
//   Timeout     no complete reply within the read time-out (whatever part arrived is
//               returned); also every read while no port is open, at once, and a read
//               whose device stopped working (reported after DeviceGone).
//   PortInvalid PortConfigure: no device belongs to ComPort, the device is not present,
//               or it is no serial (terminal) device.
//   PortInUse   PortConfigure: the device is held by another program or by another
//               control of this one (its lock file or exclusive open).
//   OpenFailed  PortConfigure: the device is present but could not be opened or set up
//               (for example this user lacks the permission).
//   NotOpen     PortWrite while no port is open; nothing is sent.
//   WriteFailed PortWrite: the bytes could not all be handed to the device in time;
//               any unsent rest is dropped, so it cannot go out later.
//   DeviceGone  the open device stopped working (adapter pulled, pseudo-terminal peer
//               closed). The port is closed; PortReset and PortConfigure may open it
//               again. Found between calls, it is reported by the next PortWrite or
//               PortRead, once.
namespace serr {
constexpr int32_t Timeout = -30301;
constexpr int32_t PortInvalid = -30312;
constexpr int32_t PortInUse = -30315;
constexpr int32_t OpenFailed = -30330;
constexpr int32_t NotOpen = -30331;
constexpr int32_t WriteFailed = -30332;
constexpr int32_t DeviceGone = -30333;
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

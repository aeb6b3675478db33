#pragma once
// The serial-port control on a real port (QSerialPort): 9600 baud, 8 data bits,
// no parity, 1 stop bit, no flow control; replies end with a line feed.
// Every call is synchronous on the UI thread and processes no events.
#include "link/TCWSerial.h"

#include <memory>

class QSerialPort;

namespace kadenzo {

class QtSerialControl : public TCWSerial {
public:
    // One PortRead waits at most this long in total for its reply. A read blocks
    // the UI thread, so a silent supply must not freeze the window for long;
    // the supply answers a query within a few milliseconds.
    static constexpr int ReadTimeoutMs = 250;
    // One PortWrite waits at most this long for its bytes to leave.
    static constexpr int WriteTimeoutMs = 500;
    static constexpr int BaudRate = 9600;

    QtSerialControl();
    ~QtSerialControl() override;
    QtSerialControl(const QtSerialControl&) = delete;
    QtSerialControl& operator=(const QtSerialControl&) = delete;

    void PortConfigure() override;
    void PortReset() override;
    void PortWrite(std::string_view text) override;
    std::string PortRead(int32_t count) override;
    bool PortExists(int n) const override;
    std::string PortDevice(int n) const override;

    // Whether a port is open now.
    bool isOpen() const;

private:
    void closePort();
    // The device stopped working inside a call: close it, then report it.
    void deviceGone(const std::string& what);
    // QSerialPort found the device gone while no call was running.
    void onIdleError();
    // Reports a device lost between calls, once; whether there was one.
    bool reportIdleLoss();

    std::unique_ptr<QSerialPort> port_;
    std::string device_;      // the open device's path, for messages
    std::string lostDevice_;  // the device lost between calls
    int callDepth_ = 0;       // PortConfigure, PortWrite, PortRead calls in progress
    unsigned generation_ = 0; // counts closes, so a late idle close spares a new port
    bool lostIdle_ = false;   // the device vanished between calls; the next call reports it
};

} // namespace kadenzo

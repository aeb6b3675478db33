#pragma once
// Which device serial port n ("COM<n>") is, and whether it is present.
//
// On Windows port n is the system's COMn. Elsewhere it is the entry "COM<n>" in
// the folder "ports" of the data folder when that entry exists (normally a
// symbolic link to a serial device or to a pseudo-terminal); an existing entry
// always decides, even when its target is missing. Without an entry COM1..COM32
// are /dev/ttyS0..31, COM33..COM64 /dev/ttyUSB0..31 and COM65..COM96
// /dev/ttyACM0..31; other numbers name no device.
#include <optional>
#include <string>

namespace kadenzo {

// The device path of port n with `dataFolder` holding the ports folder (nothing:
// no ports folder). A ports entry is resolved through its links so that the real
// device is opened and locked; an entry that does not resolve is returned as is.
// Nothing when no device belongs to n.
std::optional<std::string> portDevicePath(int n, const std::optional<std::string>& dataFolder);

// The same with the program's data folder (app/DataFolder.h).
std::optional<std::string> portDevicePath(int n);

// Whether `path` is a present terminal device. A /dev/ttyS entry counts only with
// a UART behind it. A device that exists but may not be opened by this user, or
// is held exclusively by another program, still counts. Quick: no waiting.
bool isSerialDevice(const std::string& path);

// Port n's device when it is present, otherwise nothing.
std::optional<std::string> presentPortDevice(int n);

} // namespace kadenzo

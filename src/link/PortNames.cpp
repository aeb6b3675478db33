#include "link/PortNames.h"

#include "app/DataFolder.h"
#include "sequence/NumberText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <fstream>
#include <linux/serial.h>
#endif
#endif

namespace kadenzo {

namespace {
std::string portName(int n) {
    return "COM" + intToText(n);
}
} // namespace

#ifdef _WIN32

std::optional<std::string> portDevicePath(int n, const std::optional<std::string>&) {
    if (n < 1)
        return std::nullopt;
    return "\\\\.\\" + portName(n);
}

bool isSerialDevice(const std::string& path) {
    // The system's default configuration exists exactly for its serial ports.
    std::string name = path.rfind("\\\\.\\", 0) == 0 ? path.substr(4) : path;
    COMMCONFIG config{};
    DWORD size = sizeof config;
    return GetDefaultCommConfigA(name.c_str(), &config, &size) != 0;
}

#else

#ifdef __linux__
namespace {

// The last path component, for recognising /dev/ttyS devices.
std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isTtyS(const std::string& path) {
    const std::string base = baseName(path);
    return base.size() > 4 && base.compare(0, 4, "ttyS") == 0;
}

// Whether the kernel reports a UART type for a ttyS device, read without opening
// it (type 0, PORT_UNKNOWN, means no hardware is behind the entry).
bool sysfsHasUart(const std::string& path) {
    std::ifstream in("/sys/class/tty/" + baseName(path) + "/type");
    std::string line;
    return std::getline(in, line) && leadingNumber(line) > 0;
}

} // namespace
#endif

std::optional<std::string> portDevicePath(int n, const std::optional<std::string>& dataFolder) {
    if (n < 1)
        return std::nullopt;
    if (dataFolder) {
        const std::string entry = *dataFolder + "/ports/" + portName(n);
        struct stat st {};
        if (::lstat(entry.c_str(), &st) == 0) {
            char resolved[PATH_MAX];
            if (::realpath(entry.c_str(), resolved) != nullptr)
                return std::string(resolved);
            return entry;
        }
    }
    if (n <= 32)
        return "/dev/ttyS" + intToText(n - 1);
    if (n <= 64)
        return "/dev/ttyUSB" + intToText(n - 33);
    if (n <= 96)
        return "/dev/ttyACM" + intToText(n - 65);
    return std::nullopt;
}

bool isSerialDevice(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // Present but not ours to open (permissions, or held exclusively):
        // it is still a port the user may choose.
        if (errno != EACCES && errno != EPERM && errno != EBUSY)
            return false;
#ifdef __linux__
        if (isTtyS(path))
            return sysfsHasUart(path);
#endif
        return true;
    }
    bool present = ::isatty(fd) == 1;
#ifdef __linux__
    if (present && isTtyS(path)) {
        // Serial drivers create ttyS entries for UARTs that may not be there.
        struct serial_struct info {};
        if (::ioctl(fd, TIOCGSERIAL, &info) == 0)
            present = info.type != PORT_UNKNOWN;
    }
#endif
    ::close(fd);
    return present;
}

#endif

std::optional<std::string> portDevicePath(int n) {
    return portDevicePath(n, dataFolder());
}

std::optional<std::string> presentPortDevice(int n) {
    auto path = portDevicePath(n);
    if (path && isSerialDevice(*path))
        return path;
    return std::nullopt;
}

} // namespace kadenzo

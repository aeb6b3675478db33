// The port naming rule: which device port n is, and which devices count as present.
#include "link/PortNames.h"

#include "Pty.h"
#include "sequence/NumberText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace kadenzo::test {
namespace {

std::string realPath(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

TEST(PortNames, NumberToDeviceTable) {
    TempDataFolder data;
    Pty pty;
    data.linkPort(1, pty.slavePath()); // an entry replaces the default device
    data.linkPort(33, pty.slavePath());
    data.linkPort(150, pty.slavePath());     // entries work beyond the default ranges
    data.linkPort(2, data.root() + "/gone"); // a dangling entry still decides
    { std::ofstream(data.root() + "/plain") << "x"; }
    data.linkPort(3, data.root() + "/plain");

    struct Case {
        int n;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {1, pty.slavePath()},  {2, data.portEntry(2)}, {3, realPath(data.root() + "/plain")},
        {33, pty.slavePath()}, {150, pty.slavePath()}, {4, "/dev/ttyS3"},
        {32, "/dev/ttyS31"},   {34, "/dev/ttyUSB1"},   {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"},  {96, "/dev/ttyACM31"},  {97, std::nullopt},
        {256, std::nullopt},   {0, std::nullopt},      {-5, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("COM" + intToText(c.n));
        EXPECT_EQ(portDevicePath(c.n), c.path);
        EXPECT_EQ(portDevicePath(c.n, data.dataFolder()), c.path);
    }

    // Without a data folder only the default names apply.
    EXPECT_EQ(portDevicePath(1, std::nullopt), "/dev/ttyS0");
    EXPECT_EQ(portDevicePath(150, std::nullopt), std::nullopt);

    // Presence: only a present terminal device counts.
    EXPECT_EQ(presentPortDevice(1), pty.slavePath());
    EXPECT_EQ(presentPortDevice(150), pty.slavePath());
    EXPECT_EQ(presentPortDevice(2), std::nullopt);
    EXPECT_EQ(presentPortDevice(3), std::nullopt);
    EXPECT_EQ(presentPortDevice(97), std::nullopt);
}

TEST(PortNames, OnlyPresentTerminalDevicesCount) {
    TempDataFolder data;
    Pty pty;
    EXPECT_TRUE(isSerialDevice(pty.slavePath()));
    EXPECT_FALSE(isSerialDevice("/dev/null")); // a character device, but no terminal
    EXPECT_FALSE(isSerialDevice(data.root())); // a folder
    EXPECT_FALSE(isSerialDevice(data.root() + "/missing"));
    EXPECT_FALSE(isSerialDevice(""));
}

// /dev/ttyS entries exist whether or not a UART is behind them; only those the
// kernel knows a UART type for (sysfs "type" not 0) count.
TEST(PortNames, SerialEntriesWithoutHardwareDoNotCount) {
    int seen = 0;
    for (int i = 0; i < 32; ++i) {
        const std::string dev = "/dev/ttyS" + intToText(i);
        struct stat st {};
        if (::stat(dev.c_str(), &st) != 0)
            continue;
        std::ifstream typeFile("/sys/class/tty/ttyS" + intToText(i) + "/type");
        int type = -1;
        if (!(typeFile >> type))
            continue;
        ++seen;
        SCOPED_TRACE(dev + " type " + intToText(type));
        EXPECT_EQ(isSerialDevice(dev), type != 0);
    }
    if (seen == 0)
        GTEST_SKIP() << "no /dev/ttyS entries on this machine";
}

} // namespace
} // namespace kadenzo::test

// The QSerialPort control against a pseudo-terminal that plays the supply. The
// port is named through the data folder's ports folder, as a user would.
#include "link/QtSerialControl.h"

#include "Pty.h"
#include "sequence/NumberText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kadenzo::test {
namespace {

using namespace std::chrono_literals;
using Codes = std::vector<int32_t>;

// A control whose error events are recorded.
struct Control {
    QtSerialControl serial;
    Codes errors;
    std::vector<std::string> messages;

    explicit Control(int port = 1) {
        serial.ComPort = static_cast<int16_t>(port);
        serial.OnError = [this](TCWSerial& sender, int32_t code, const std::string& msg) {
            EXPECT_EQ(&sender, &serial);
            errors.push_back(code);
            messages.push_back(msg);
        };
    }
    Codes takeErrors() {
        Codes out;
        out.swap(errors);
        messages.clear();
        return out;
    }
};

class SerialControl : public testing::Test {
protected:
    SerialControl() { data.linkPort(1, pty.slavePath()); }

    // Opens COM1 and checks that it opened.
    void open(Control& c) {
        c.serial.PortConfigure();
        ASSERT_EQ(c.takeErrors(), Codes{});
        ASSERT_TRUE(c.serial.isOpen());
    }

    TempDataFolder data;
    Pty pty;
};

// Line ends shown as \r and \n, for readable failures.
std::string shown(std::string_view bytes) {
    std::string out;
    for (char c : bytes)
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

qint64 millisOf(const QElapsedTimer& t) {
    return t.elapsed();
}

TEST_F(SerialControl, OpensAt9600Baud8N1WithoutFlowControl) {
    Control c;
    open(c);
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.slaveFd(), &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), B9600);
    EXPECT_EQ(::cfgetispeed(&t), B9600);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_TRUE(c.serial.PortExists(1));
    EXPECT_EQ(c.serial.PortDevice(1), pty.slavePath());
}

TEST_F(SerialControl, BytesArriveExactlyAsWritten) {
    struct Case {
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {{"v ", "12.50", "\r"}},
        {{"out?", "\n"}},
        {{"*idn?"}}, // no line end: nothing is added
        {{"", "ON", ""}},
        {{std::string("\r\n\0\x7f\xff ab\n\r", 10)}},
        {{std::string(300, 'x')}},
    };
    Control c;
    open(c);
    for (const Case& cs : cases) {
        std::string expected;
        for (const std::string& w : cs.writes) {
            c.serial.PortWrite(w);
            expected += w;
        }
        EXPECT_EQ(c.takeErrors(), Codes{});
        EXPECT_EQ(pty.received(), expected);
    }
}

TEST_F(SerialControl, ReadStopsAfterLineFeedOrAtCount) {
    struct Case {
        std::string sent;
        int32_t count;
        std::vector<std::string> reads; // successive PortRead(count) results
    };
    const Case cases[] = {
        {"12.50\nXYZ\n", 10, {"12.50\n", "XYZ\n"}},
        {"ABCDEFGHIJKL\n", 5, {"ABCDE", "FGHIJ", "KL\n"}},
        {"OUT 1\r\n", 10, {"OUT 1\r\n"}}, // a carriage return is data, not a line end
        {"\n\n", 10, {"\n", "\n"}},
        {"0123456789", 10, {"0123456789"}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(shown(cs.sent));
        Control c;
        open(c);
        pty.send(cs.sent);
        for (const std::string& expected : cs.reads)
            EXPECT_EQ(c.serial.PortRead(cs.count), expected);
        EXPECT_EQ(c.takeErrors(), Codes{});
    }
}

TEST_F(SerialControl, ReplyArrivingInPiecesIsJoined) {
    Control c;
    open(c);
    LaterPeer peer(pty, {{0ms, "12."}, {60ms, "5"}, {40ms, "0\nrest"}});
    EXPECT_EQ(c.serial.PortRead(10), "12.50\n");
    EXPECT_EQ(c.takeErrors(), Codes{});
}

TEST_F(SerialControl, SilentOrIncompleteReplyTimesOut) {
    struct Case {
        std::string sent;
        std::string returned;
    };
    const Case cases[] = {{"", ""}, {"12.", "12."}, {"123456789", "123456789"}};
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.sent);
        Control c;
        open(c);
        pty.send(cs.sent);
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(c.serial.PortRead(10), cs.returned);
        const qint64 ms = millisOf(timer);
        EXPECT_EQ(c.takeErrors(), Codes{serr::Timeout});
        EXPECT_GE(ms, QtSerialControl::ReadTimeoutMs / 2);
        EXPECT_LT(ms, 2000);
    }
}

// A reply that arrives after its read gave up must not answer the next query.
TEST_F(SerialControl, StaleInputIsDiscardedBeforeACommand) {
    for (bool eventsRan : {false, true}) {
        SCOPED_TRACE(eventsRan ? "stale bytes read by the event loop" : "stale bytes unread");
        Control c;
        open(c);
        EXPECT_EQ(c.serial.PortRead(10), "");
        EXPECT_EQ(c.takeErrors(), Codes{serr::Timeout});
        pty.send("late\nreply\n");
        std::this_thread::sleep_for(30ms);
        if (eventsRan)
            QCoreApplication::processEvents();
        c.serial.PortWrite("out?");
        c.serial.PortWrite("\n");
        EXPECT_EQ(pty.received(), "out?\n");
        pty.send("ON\n");
        EXPECT_EQ(c.serial.PortRead(10), "ON\n");
        EXPECT_EQ(c.takeErrors(), Codes{});
    }
}

TEST_F(SerialControl, WithoutAnOpenPort) {
    Control c;
    c.serial.PortReset(); // harmless with nothing open
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(c.serial.PortRead(10), "");
    EXPECT_EQ(c.takeErrors(), Codes{serr::Timeout});
    EXPECT_LT(millisOf(timer), QtSerialControl::ReadTimeoutMs / 2); // at once
    c.serial.PortWrite("out?");
    EXPECT_EQ(c.takeErrors(), Codes{serr::NotOpen});
    EXPECT_EQ(pty.received(50ms), "");

    open(c);
    c.serial.PortReset();
    c.serial.PortReset();
    EXPECT_FALSE(c.serial.isOpen());
    c.serial.PortWrite("x");
    EXPECT_EQ(c.takeErrors(), Codes{serr::NotOpen});
}

TEST_F(SerialControl, ConfigureReleasesTheOpenPortFirst) {
    Pty other;
    data.linkPort(2, other.slavePath());
    Control c;
    open(c);
    c.serial.ComPort = 2;
    c.serial.PortConfigure();
    EXPECT_EQ(c.takeErrors(), Codes{});
    Control d(1); // COM1 is free again
    open(d);
    c.serial.PortWrite("m?\n");
    EXPECT_EQ(other.received(), "m?\n");
    EXPECT_EQ(pty.received(50ms), "");
}

TEST_F(SerialControl, SamePortOpenedTwiceIsInUse) {
    // COM2 is another name for the same device: the lock is taken on the device.
    data.linkPort(2, pty.slavePath());
    for (int second : {1, 2}) {
        SCOPED_TRACE("second open through COM" + intToText(second));
        Control a(1);
        Control b(second);
        open(a);
        b.serial.PortConfigure();
        EXPECT_EQ(b.takeErrors(), Codes{serr::PortInUse});
        EXPECT_FALSE(b.serial.isOpen());
        EXPECT_TRUE(a.serial.isOpen());
        b.serial.PortRead(10);
        EXPECT_EQ(b.takeErrors(), Codes{serr::Timeout});

        a.serial.PortReset();
        b.serial.PortConfigure();
        EXPECT_EQ(b.takeErrors(), Codes{});
        b.serial.PortWrite("ok");
        EXPECT_EQ(pty.received(), "ok");
    }
}

TEST_F(SerialControl, MissingOrNonSerialPortIsInvalid) {
    { std::ofstream(data.root() + "/plain") << "x"; }
    data.linkPort(5, data.root() + "/gone");
    data.linkPort(6, data.root() + "/plain");
    data.linkPort(7, "/dev/null");
    data.linkPort(8, data.root());
    for (int port : {97, 300, 0, -1, 5, 6, 7, 8}) {
        SCOPED_TRACE("COM" + intToText(port));
        Control c(port);
        c.serial.PortConfigure();
        EXPECT_EQ(c.takeErrors(), Codes{serr::PortInvalid});
        EXPECT_FALSE(c.serial.isOpen());
        EXPECT_FALSE(c.serial.PortExists(port));
    }
}

TEST_F(SerialControl, PortThisUserMayNotOpenFailsToOpen) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0), 0);
    Control c;
    c.serial.PortConfigure();
    EXPECT_EQ(c.takeErrors(), Codes{serr::OpenFailed});
    EXPECT_TRUE(c.serial.PortExists(1)); // still listed: it is there
    ::chmod(pty.slavePath().c_str(), 0620);
}

TEST_F(SerialControl, PeerHangingUpMidReadIsReportedAndClosesThePort) {
    Control c;
    open(c);
    {
        LaterPeer peer(pty, {{0ms, "12."}, {80ms, "", true}});
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(c.serial.PortRead(10), "12.");
        EXPECT_LT(millisOf(timer), 2000);
    }
    EXPECT_EQ(c.takeErrors(), (Codes{serr::DeviceGone, serr::Timeout}));
    EXPECT_FALSE(c.serial.isOpen());

    QElapsedTimer timer;
    timer.start();
    c.serial.PortRead(10); // later reads time out at once
    EXPECT_EQ(c.takeErrors(), Codes{serr::Timeout});
    EXPECT_LT(millisOf(timer), QtSerialControl::ReadTimeoutMs / 2);
    c.serial.PortWrite("out?");
    EXPECT_EQ(c.takeErrors(), Codes{serr::NotOpen});
}

TEST_F(SerialControl, PeerHangingUpBeforeACallIsReportedByIt) {
    struct Case {
        const char* name;
        bool eventsRun; // the event loop notices the hang-up between calls
        bool write;     // the next call is a write (else a read)
        Codes reported;
    };
    const Case cases[] = {
        {"write", false, true, {serr::DeviceGone}},
        {"read", false, false, {serr::DeviceGone, serr::Timeout}},
        {"events, then write", true, true, {serr::DeviceGone}},
        {"events, then read", true, false, {serr::DeviceGone, serr::Timeout}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.name);
        Pty line;
        data.linkPort(1, line.slavePath());
        Control c;
        open(c);
        line.closeMaster();
        if (cs.eventsRun) {
            QElapsedTimer timer;
            timer.start();
            while (c.serial.isOpen() && timer.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            EXPECT_FALSE(c.serial.isOpen());
            EXPECT_EQ(c.takeErrors(), Codes{}); // nothing is raised outside a call
        }
        if (cs.write)
            c.serial.PortWrite("out?");
        else
            c.serial.PortRead(10);
        EXPECT_EQ(c.takeErrors(), cs.reported);
        EXPECT_FALSE(c.serial.isOpen());
        // Reported once; afterwards the port is simply closed.
        c.serial.PortWrite("out?");
        EXPECT_EQ(c.takeErrors(), Codes{serr::NotOpen});
    }
}

TEST_F(SerialControl, ReconfigureAfterTheDeviceCameBack) {
    Control c;
    open(c);
    pty.closeMaster();
    c.serial.PortRead(10);
    EXPECT_EQ(c.takeErrors(), (Codes{serr::DeviceGone, serr::Timeout}));

    Pty back; // the adapter is plugged in again
    data.linkPort(1, back.slavePath());
    c.serial.PortReset();
    c.serial.PortConfigure();
    EXPECT_EQ(c.takeErrors(), Codes{});
    c.serial.PortWrite("*idn?\n");
    EXPECT_EQ(back.received(), "*idn?\n");
    back.send("KM 417R\n");
    EXPECT_EQ(c.serial.PortRead(40), "KM 417R\n");
    EXPECT_EQ(c.takeErrors(), Codes{});
}

} // namespace
} // namespace kadenzo::test

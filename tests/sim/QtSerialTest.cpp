// The real serial control (QSerialPort) against kadenzo-psu-sim on its
// pseudo-terminal, found through the port link in the data folder.
#include "SimProcess.h"
#include "link/QtSerialControl.h"
#include "sim/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

namespace kadenzo::test {
namespace {

using sim::traceText;

// A simulator, the program's data folder pointed at it, and the control on port 1.
struct Connected : testing::Test {
    explicit Connected(std::vector<std::string> args = {}) : sim(std::move(args)) {}

    SimProcess sim;
    QtSerialControl serial;
    std::vector<int32_t> errors;

    void SetUp() override {
        ASSERT_TRUE(sim.ready()) << sim.errors();
        setenv("APPDATA", sim.appData().c_str(), 1);
        serial.OnError = [this](TCWSerial&, int32_t code, const std::string&) {
            errors.push_back(code);
        };
        serial.ComPort = 1;
        serial.PortConfigure();
        ASSERT_TRUE(errors.empty()) << errors.front();
    }

    void TearDown() override { unsetenv("APPDATA"); }

    std::string ask(std::string_view query, int32_t count) {
        serial.PortWrite(query);
        serial.PortWrite("\r");
        return serial.PortRead(count);
    }
};

TEST_F(Connected, IdentificationIsAnswered) {
    EXPECT_EQ(serial.PortDevice(1), sim.device());
    EXPECT_TRUE(serial.PortExists(1));
    EXPECT_EQ(ask("*idn?", 40), "BRENNIK,KM 417R,0,1.12\n");
    EXPECT_EQ(traceText(ask("out?", 10)), "Out OFF\\n");
    EXPECT_EQ(ask("m?", 20), "M: V\n");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Connected, MutedSupplyGivesTheTimeOut) {
    sim.command("mute");
    ASSERT_TRUE(sim.sync());
    EXPECT_EQ(ask("out?", 10), "");
    EXPECT_EQ(errors, std::vector<int32_t>{serr::Timeout});

    errors.clear();
    sim.command("unmute");
    ASSERT_TRUE(sim.sync());
    EXPECT_EQ(ask("out?", 10), "Out OFF\n");
    EXPECT_TRUE(errors.empty());
}

TEST_F(Connected, ShortReplyGivesTheTimeOutWithWhatArrived) {
    sim.command("short");
    ASSERT_TRUE(sim.sync());
    EXPECT_EQ(ask("*idn?", 40), "BR");
    EXPECT_EQ(errors, std::vector<int32_t>{serr::Timeout});
}

TEST_F(Connected, UnplugGivesAnErrorEventAndPlugWorksAgain) {
    ASSERT_EQ(ask("out?", 10), "Out OFF\n");
    sim.command("unplug");
    ASSERT_TRUE(sim.waitForLine("unplugged"));

    EXPECT_EQ(ask("out?", 10), "");
    // The vanished device is reported, and the read found no reply.
    ASSERT_FALSE(errors.empty());
    EXPECT_NE(std::find(errors.begin(), errors.end(), serr::DeviceGone), errors.end());
    EXPECT_EQ(errors.back(), serr::Timeout);
    EXPECT_FALSE(serial.isOpen());
    EXPECT_FALSE(serial.PortExists(1));

    // While unplugged the port cannot be opened.
    errors.clear();
    serial.PortReset();
    serial.PortConfigure();
    EXPECT_EQ(errors, std::vector<int32_t>{serr::PortInvalid});

    sim.command("plug");
    ASSERT_TRUE(sim.waitForLine("plugged"));
    errors.clear();
    serial.PortReset();
    serial.PortConfigure();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(serial.PortDevice(1), sim.device());
    EXPECT_EQ(ask("*idn?", 40), "BRENNIK,KM 417R,0,1.12\n");
    EXPECT_TRUE(errors.empty());
}

struct Traced : Connected {
    Traced() : Connected({"--trace", "@/trace.txt", "--baud-pace"}) {}
};

TEST_F(Traced, TraceShowsTheExactBytesTheControlSent) {
    serial.PortWrite("\r");
    serial.PortWrite("v ");
    serial.PortWrite("12.50");
    serial.PortWrite("\r");
    serial.PortWrite("i ");
    serial.PortWrite("1.00");
    serial.PortWrite("\r");
    EXPECT_EQ(ask("v?", 10), "V12.50\n");
    serial.PortReset();
    ASSERT_EQ(sim.finish(SIGTERM), 0);

    std::vector<std::string> texts;
    std::vector<double> times;
    for (const auto& line : readTrace(sim.file("trace.txt"))) {
        if (line.text.rfind("# ", 0) == 0)
            continue; // plug and quit
        texts.push_back(line.text);
        times.push_back(line.ms);
    }
    const std::vector<std::string> expected = {"\\r", "v 12.50\\r", "i 1.00\\r", "v?\\r",
                                               "> V12.50\\n"};
    EXPECT_EQ(texts, expected);
    for (size_t i = 1; i < times.size(); ++i)
        EXPECT_LE(times[i - 1], times[i]);
    if (times.size() == expected.size()) {
        EXPECT_GE(times[4] - times[3], 2.0); // the default latency
    }
}

} // namespace
} // namespace kadenzo::test

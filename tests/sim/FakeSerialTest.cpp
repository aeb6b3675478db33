// The in-process fake serial control answers through the simulated supply.
#include "FakeSerial.h"
#include "SimPeer.h"

#include <gtest/gtest.h>

namespace kadenzo::test {
namespace {

struct Opened : testing::Test {
    FakeSerial serial;
    std::vector<int32_t> errors;
    void SetUp() override {
        serial.OnError = [this](TCWSerial&, int32_t code, const std::string&) {
            errors.push_back(code);
        };
        serial.ComPort = 1;
        serial.PortConfigure();
    }
    std::string ask(std::string_view query, int32_t count) {
        serial.PortWrite(query);
        serial.PortWrite("\r");
        return serial.PortRead(count);
    }
};

TEST_F(Opened, DefaultPeerIsASimulatedKM417R) {
    EXPECT_EQ(visible(ask("out?", 10)), "Out OFF\\n");
    EXPECT_EQ(ask("*idn?", 40), "BRENNIK,KM 417R,0,1.12\n");
    serial.PortWrite("v ");
    serial.PortWrite("12.50");
    serial.PortWrite("\r");
    EXPECT_EQ(ask("v?", 10), "V12.50\n");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(visible(serial.wire), "out?\\r*idn?\\rv 12.50\\rv?\\r");
}

TEST_F(Opened, TestsSetTheSupplyThroughItsEngine) {
    auto& engine = serial.sim()->engine;
    engine.setVoltage(12);
    engine.setCurrentLimit(1);
    engine.setOutputOn(true);
    engine.setLoad(10.0);
    EXPECT_EQ(ask("out?", 10), "Out ON\n");
    EXPECT_EQ(ask("m?", 20), "M: I\n");
    EXPECT_EQ(ask("io?", 10), "I1.000\n");

    engine.setFirmware(sim::Firmware::New); // the CR no longer ends a command
    EXPECT_EQ(ask("out?", 10), "");
    EXPECT_EQ(errors, std::vector<int32_t>{serr::Timeout});
}

TEST_F(Opened, ShortReplyTimesOutWithWhatArrived) {
    serial.sim()->engine.addFault(sim::Fault::Short);
    EXPECT_EQ(ask("out?", 10), "Ou");
    EXPECT_EQ(errors, std::vector<int32_t>{serr::Timeout});
    EXPECT_EQ(ask("out?", 10), "Out OFF\n");
}

TEST_F(Opened, MutedStillDeliversTheWrites) {
    serial.muted = true;
    EXPECT_EQ(ask("ON", 10), "");
    EXPECT_EQ(errors, std::vector<int32_t>{serr::Timeout});
    EXPECT_TRUE(serial.sim()->engine.outputOn());
}

TEST_F(Opened, ReplacedPeerLeavesTheSimulatedSupplyAlone) {
    serial.peer = [](std::string_view, std::string& reply) { reply += "scripted\n"; };
    EXPECT_EQ(ask("ON", 20), "scripted\n");
    ASSERT_NE(serial.sim(), nullptr);
    EXPECT_FALSE(serial.sim()->engine.outputOn());
}

} // namespace
} // namespace kadenzo::test

// The simulated supply's console commands.
#include "sim/Control.h"

#include <gtest/gtest.h>

#include <string>

namespace kadenzo::sim {
namespace {

using Kind = Control::Kind;

struct ParseCase {
    const char* line;
    bool ok;
    Kind kind = Kind::Help;
};

TEST(ControlParse, AcceptsTheCommandsAndRefusesBadArguments) {
    const ParseCase cases[] = {
        {"mute", true, Kind::Mute},
        {"  unmute \r", true, Kind::Unmute},
        {"garbage", true, Kind::Garbage},
        {"short", true, Kind::Short},
        {"slow 50", true, Kind::Slow},
        {"slow\t0", true, Kind::Slow},
        {"unplug", true, Kind::Unplug},
        {"plug", true, Kind::Plug},
        {"model 826", true, Kind::Model},
        {"load 12.5", true, Kind::Load},
        {"load none", true, Kind::Load},
        {"output on", true, Kind::Output},
        {"output off", true, Kind::Output},
        {"status", true, Kind::Status},
        {"quit", true, Kind::Quit},
        {"mute now", false},
        {"slow", false},
        {"slow -1", false},
        {"slow 60001", false},
        {"slow fast", false},
        {"model 123", false},
        {"model", false},
        {"load -3", false},
        {"load 1e999", false},
        {"load 10 ohms", false},
        {"output maybe", false},
        {"Mute", false},
        {"reboot", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        auto control = parseControl(c.line, error);
        ASSERT_EQ(control.has_value(), c.ok) << error;
        if (c.ok) {
            EXPECT_EQ(control->kind, c.kind);
            EXPECT_EQ(error, "");
        } else {
            EXPECT_NE(error, "");
        }
    }
}

TEST(ControlParse, BlankLinesAndCommentsAreNoCommandAndNoError) {
    for (const char* line : {"", "   ", "\r", "# a note"}) {
        std::string error = "stale";
        EXPECT_FALSE(parseControl(line, error).has_value());
        EXPECT_EQ(error, "") << line;
    }
}

TEST(ControlParse, CarriesTheArguments) {
    std::string error;
    EXPECT_EQ(parseControl("slow 250", error)->ms, 250.0);
    EXPECT_EQ(parseControl("model 826", error)->model, Model::VD826);
    EXPECT_EQ(parseControl("model 417", error)->model, Model::KM417);
    EXPECT_EQ(parseControl("load 0", error)->load, 0.0);
    EXPECT_FALSE(parseControl("load open", error)->load.has_value());
    EXPECT_TRUE(parseControl("output on", error)->on);
    EXPECT_FALSE(parseControl("output off", error)->on);
}

TEST(ControlApply, ChangesTheEngineAsItsFrontPanelWould) {
    Engine e;
    e.setVoltage(12);
    e.setCurrentLimit(1);
    std::string error;
    auto apply = [&](const char* line) { return applyTo(e, *parseControl(line, error)); };

    EXPECT_TRUE(apply("output on"));
    EXPECT_EQ(e.respond("out?\r"), "Out ON\n");
    EXPECT_TRUE(apply("load 10"));
    EXPECT_EQ(e.respond("m?\r"), "M: I\n");
    EXPECT_TRUE(apply("load none"));
    EXPECT_EQ(e.respond("m?\r"), "M: V\n");
    EXPECT_TRUE(apply("model 826"));
    EXPECT_EQ(e.respond("*idn?\r"), "BRENNIK,VD 826R,0,1.12\n");
    EXPECT_TRUE(apply("mute"));
    EXPECT_EQ(e.respond("out?\r"), "");
    EXPECT_TRUE(apply("unmute"));
    EXPECT_TRUE(apply("short"));
    EXPECT_EQ(e.respond("out?\r"), "Ou");
    EXPECT_TRUE(apply("garbage"));
    EXPECT_NE(e.respond("out?\r"), "Out ON\n");
    EXPECT_TRUE(apply("output off"));
    EXPECT_EQ(e.respond("out?\r"), "Out OFF\n");

    // The program's own commands leave the engine alone.
    for (const char* line : {"slow 5", "unplug", "plug", "status", "help", "quit"})
        EXPECT_FALSE(apply(line)) << line;
}

TEST(ControlDescribe, SaysTheState) {
    Engine e(Model::VD826);
    e.setVoltage(12);
    e.setCurrentLimit(1);
    e.setOutputOn(true);
    e.setLoad(10.0);
    EXPECT_EQ(describe(e), "VD 826R, firmware any, set 12.00 V 1.00 A, output on 10.00 V 1.000 A "
                           "(current limit), load 10.00 ohm");
}

} // namespace
} // namespace kadenzo::sim

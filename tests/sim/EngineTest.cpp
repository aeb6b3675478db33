// The simulated supply's engine: state and command bytes in, reply bytes out.
#include "sim/Engine.h"
#include "sim/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace kadenzo::sim {
namespace {

std::string shown(std::string_view bytes) {
    return traceText(bytes);
}

// The supply's state before the bytes arrive: S().on().load(10).volts(12).amps(1).
struct S {
    Model model_ = Model::KM417;
    Firmware firmware_ = Firmware::Any;
    bool on_ = false;
    std::optional<double> load_;
    double volts_ = 0.0;
    double amps_ = 0.0;

    S model(Model m) const {
        return with([&](S& s) { s.model_ = m; });
    }
    S firmware(Firmware f) const {
        return with([&](S& s) { s.firmware_ = f; });
    }
    S on() const {
        return with([](S& s) { s.on_ = true; });
    }
    S load(double ohms) const {
        return with([&](S& s) { s.load_ = ohms; });
    }
    S volts(double v) const {
        return with([&](S& s) { s.volts_ = v; });
    }
    S amps(double a) const {
        return with([&](S& s) { s.amps_ = a; });
    }

    template <class F> S with(F change) const {
        S copy = *this;
        change(copy);
        return copy;
    }
};

Engine make(const S& s) {
    Engine e(s.model_, s.firmware_);
    e.setOutputOn(s.on_);
    e.setLoad(s.load_);
    e.setVoltage(s.volts_);
    e.setCurrentLimit(s.amps_);
    return e;
}

struct ReplyCase {
    const char* name;
    S setup;
    const char* sent;
    const char* reply;
};
// Cases print as their names (ctest lists them so).
void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

// Queries and their replies, settings and their clamping, as bytes on the wire.
const ReplyCase replyCases[] = {
    // A fresh supply.
    {"OutOff", S(), "out?\r", "Out OFF\n"},
    {"OutOffLf", S(), "out?\n", "Out OFF\n"},
    {"ModeOff", S(), "m?\r", "M: V\n"},
    {"SetVoltsZero", S(), "v?\r", "V0.00\n"},
    {"SetAmpsZero", S(), "i?\r", "I0.00\n"},
    {"OutVoltsOff", S(), "vo?\r", "V0.00\n"},
    {"OutAmpsOff", S(), "io?\r", "I0.000\n"},
    {"Idn417", S(), "*idn?\r", "BRENNIK,KM 417R,0,1.12\n"},
    {"Idn826", S().model(Model::VD826), "*idn?\n", "BRENNIK,VD 826R,0,1.12\n"},
    {"IdnOldFirmware", S().model(Model::KM417).firmware(Firmware::Old), "*idn?\r",
     "BRENNIK,KM 417R,0,1.10\n"},
    {"IdnNewFirmware", S().model(Model::VD826).firmware(Firmware::New), "*idn?\n",
     "BRENNIK,VD 826R,0,1.12\n"},
    // Output switch.
    {"On", S(), "ON\rout?\r", "Out ON\n"},
    {"Off", S().on(), "OFF\rout?\r", "Out OFF\n"},
    // Settings: two decimals back, limits and negatives clamped.
    {"SetVolts", S(), "v 12.5\rv?\r", "V12.50\n"},
    {"SetVoltsAsSent", S(), "v 12\rv?\r", "V12.00\n"},
    {"SetVoltsBlankPadded", S(), "v  5.00\rv?\r", "V5.00\n"},
    {"SetVoltsLeadingPoint", S(), "v .5\rv?\r", "V0.50\n"},
    {"SetAmps", S(), "i 1.25\ri?\r", "I1.25\n"},
    {"VoltsAt417Limit", S(), "v 30.8\rv?\r", "V30.80\n"},
    {"VoltsOver417Limit", S(), "v 31\rv?\r", "V30.80\n"},
    {"AmpsOver417Limit", S(), "i 3\ri?\r", "I2.06\n"},
    {"VoltsOver826Limit", S().model(Model::VD826), "v 40\rv?\r", "V35.40\n"},
    {"AmpsOver826Limit", S().model(Model::VD826), "i 9.99\ri?\r", "I5.05\n"},
    {"AmpsAt826Limit", S().model(Model::VD826), "i 5.05\ri?\r", "I5.05\n"},
    {"NegativeVolts", S().volts(5), "v -1\rv?\r", "V0.00\n"},
    {"NegativeAmps", S().amps(1), "i -0.5\ri?\r", "I0.00\n"},
    // A value that does not parse leaves the setting as it was.
    {"VoltsNoNumber", S().volts(5), "v abc\rv?\r", "V5.00\n"},
    {"VoltsEmpty", S().volts(5), "v \rv?\r", "V5.00\n"},
    {"VoltsTrailingText", S().volts(5), "v 12x\rv?\r", "V5.00\n"},
    {"VoltsDecimalComma", S().volts(5), "v 12,5\rv?\r", "V5.00\n"},
    {"VoltsNan", S().volts(5), "v nan\rv?\r", "V5.00\n"},
    {"VoltsInfinite", S().volts(5), "v inf\rv?\r", "V5.00\n"},
    {"VoltsOverflow", S().volts(5), "v 1e999\rv?\r", "V5.00\n"},
    {"AmpsNoNumber", S().amps(1), "i x\ri?\r", "I1.00\n"},
    // Lines the supply does not know are ignored without a reply, and change nothing.
    {"BareLineEnd", S(), "\r", ""},
    {"Unknown", S(), "hello\r", ""},
    {"LowerCaseOn", S(), "on\rout?\r", "Out OFF\n"},
    {"UpperCaseQuery", S(), "OUT?\r", ""},
    {"VoltsWithoutBlank", S().volts(5), "v12\rv?\r", "V5.00\n"},
    {"QueryWithTrailingBlank", S(), "out? \r", ""},
    // Several lines in one chunk, answered in order.
    {"SeveralLines", S(), "v 5\rv?\rout?\r", "V5.00\nOut OFF\n"},
};

class Replies : public testing::TestWithParam<ReplyCase> {};

TEST_P(Replies, AnswerAsTheSupplyDoes) {
    const ReplyCase& c = GetParam();
    Engine e = make(c.setup);
    EXPECT_EQ(shown(e.respond(c.sent)), shown(c.reply)) << "sent " << shown(c.sent);
}

INSTANTIATE_TEST_SUITE_P(Engine, Replies, testing::ValuesIn(replyCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OutputCase {
    const char* name;
    S setup;
    const char* vo; // "vo?" reply
    const char* io; // "io?" reply
    const char* m;  // "m?" reply
};
void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

// The two regulation modes: V/R below the limit regulates the voltage, otherwise
// the current is held at the limit and the voltage is limit x R.
const OutputCase outputCases[] = {
    {"OffGivesNothing", S().load(10.0).volts(12).amps(1), "V0.00\n", "I0.000\n", "M: V\n"},
    {"OnNoLoad", S().on().volts(12).amps(1), "V12.00\n", "I0.000\n", "M: V\n"},
    {"VoltageRegulation", S().on().load(24.0).volts(12).amps(1), "V12.00\n", "I0.500\n", "M: V\n"},
    {"ThreeDecimals", S().on().load(3.0).volts(1).amps(2), "V1.00\n", "I0.333\n", "M: V\n"},
    {"CurrentLimit", S().on().load(10.0).volts(12).amps(1), "V10.00\n", "I1.000\n", "M: I\n"},
    {"ExactlyAtTheLimitIsCurrentLimit", S().on().load(10.0).volts(10).amps(1), "V10.00\n",
     "I1.000\n", "M: I\n"},
    {"JustBelowTheLimit", S().on().load(10.0).volts(9.99).amps(1), "V9.99\n", "I0.999\n", "M: V\n"},
    {"DeadShort", S().on().load(0.0).volts(12).amps(1.5), "V0.00\n", "I1.500\n", "M: I\n"},
    {"ZeroVoltsWithLoad", S().on().load(10.0).volts(0).amps(1), "V0.00\n", "I0.000\n", "M: V\n"},
    {"ClampedLimitDrivesTheOutput", S().on().load(1.0).volts(30).amps(9), "V2.06\n", "I2.060\n",
     "M: I\n"},
    {"VD826CurrentLimit", S().model(Model::VD826).on().load(2.0).volts(35).amps(5.05), "V10.10\n",
     "I5.050\n", "M: I\n"},
};

class Outputs : public testing::TestWithParam<OutputCase> {};

TEST_P(Outputs, FollowTheLoad) {
    const OutputCase& c = GetParam();
    Engine e = make(c.setup);
    EXPECT_EQ(shown(e.respond("vo?\r")), shown(c.vo));
    EXPECT_EQ(shown(e.respond("io?\r")), shown(c.io));
    EXPECT_EQ(shown(e.respond("m?\r")), shown(c.m));
}

INSTANTIATE_TEST_SUITE_P(Engine, Outputs, testing::ValuesIn(outputCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The program tests single characters of these replies; their positions must hold.
TEST(EngineReplies, KeepTheTestedCharacterPositions) {
    Engine e;
    EXPECT_EQ(e.respond("out?\r").at(5), 'F');
    EXPECT_EQ(e.respond("ON\rout?\r").at(5), 'N');
    EXPECT_EQ(e.respond("m?\r").at(3), 'V');
    e.setLoad(1.0);
    e.setVoltage(10);
    EXPECT_EQ(e.respond("m?\r").at(3), 'I');
}

struct LineEndCase {
    Firmware firmware;
    char lineEnd;
    bool completes;
};

// new takes LF, old takes CR, any takes either; under the wrong one nothing completes.
TEST(EngineLineEnds, OnlyTheFirmwaresLineEndCompletesACommand) {
    const LineEndCase cases[] = {
        {Firmware::New, '\n', true},  {Firmware::New, '\r', false}, {Firmware::Old, '\r', true},
        {Firmware::Old, '\n', false}, {Firmware::Any, '\r', true},  {Firmware::Any, '\n', true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(firmwareName(c.firmware)) + " with " + shown({&c.lineEnd, 1}));
        Engine e(Model::KM417, c.firmware);
        const std::string command = std::string("v 5") + c.lineEnd + "out?" + c.lineEnd;
        const std::string reply = e.respond(command);
        if (c.completes) {
            EXPECT_EQ(shown(reply), "Out OFF\\n");
            EXPECT_EQ(e.voltage(), 5.0);
            EXPECT_EQ(e.pendingInput(), "");
        } else {
            EXPECT_EQ(reply, "");
            EXPECT_EQ(e.voltage(), 0.0);
            EXPECT_EQ(shown(e.pendingInput()), shown(command));
            // The right line end later ends one long line that is no command.
            const char right = c.lineEnd == '\r' ? '\n' : '\r';
            EXPECT_EQ(e.respond(std::string(1, right)), "");
            EXPECT_EQ(e.voltage(), 0.0);
            EXPECT_EQ(shown(e.respond(std::string("out?") + right)), "Out OFF\\n");
        }
    }
}

TEST(EngineLines, ArriveInAnyChunksAndReportEachLineWithItsLineEnd) {
    Engine e;
    EXPECT_EQ(e.respond("ou"), "");
    EXPECT_EQ(e.pendingInput(), "ou");
    EXPECT_EQ(shown(e.respond("t?\r")), "Out OFF\\n");

    // CR LF under `any`: the LF is a bare line end of its own, ignored.
    auto lines = e.receive("v 7\r\nv?\r");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(shown(lines[0].command), "v 7\\r");
    EXPECT_EQ(lines[0].reply, "");
    EXPECT_EQ(shown(lines[1].command), "\\n");
    EXPECT_EQ(lines[1].reply, "");
    EXPECT_EQ(shown(lines[2].command), "v?\\r");
    EXPECT_EQ(shown(lines[2].reply), "V7.00\\n");

    e.respond("v 9");
    e.clearInput();
    EXPECT_EQ(e.respond("\r"), "");
    EXPECT_EQ(e.voltage(), 7.0);
}

// An over-long line is dropped whole, even when its tail looks like a command,
// and every byte of it is still reported.
TEST(EngineLines, OverlongLineIsDroppedButReported) {
    Engine e;
    const std::string junk(Engine::MaxLine + 10, 'x');
    auto lines = e.receive(junk + "ON\r");
    std::string reported;
    for (const auto& l : lines) {
        reported += l.command;
        EXPECT_EQ(l.reply, "");
    }
    EXPECT_EQ(reported, junk + "ON\r");
    EXPECT_FALSE(e.outputOn());
    EXPECT_EQ(shown(e.respond("out?\r")), "Out OFF\\n");

    // Exactly MaxLine characters still fit.
    const std::string longest = "v " + std::string(Engine::MaxLine - 3, ' ') + "5";
    ASSERT_EQ(longest.size(), Engine::MaxLine);
    e.respond(longest + "\r");
    EXPECT_EQ(e.voltage(), 5.0);
}

TEST(EngineState, ModelChangeClampsTheSettings) {
    Engine e(Model::VD826);
    e.setVoltage(35.0);
    e.setCurrentLimit(5.0);
    e.setModel(Model::KM417);
    EXPECT_DOUBLE_EQ(e.voltage(), 30.8);
    EXPECT_DOUBLE_EQ(e.currentLimit(), 2.06);
    EXPECT_EQ(e.respond("*idn?\r"), "BRENNIK,KM 417R,0,1.12\n");
    e.setModel(Model::VD826);
    EXPECT_DOUBLE_EQ(e.voltage(), 30.8); // raising the limits does not restore them
}

TEST(EngineState, RefusesImpossibleValues) {
    Engine e;
    e.setVoltage(5.0);
    e.setVoltage(std::numeric_limits<double>::quiet_NaN());
    e.setVoltage(std::numeric_limits<double>::infinity());
    EXPECT_EQ(e.voltage(), 5.0);
    ASSERT_TRUE(e.setLoad(10.0));
    EXPECT_FALSE(e.setLoad(-1.0));
    EXPECT_FALSE(e.setLoad(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(e.setLoad(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(e.load(), 10.0);
    EXPECT_TRUE(e.setLoad(std::nullopt));
    EXPECT_FALSE(e.load().has_value());
}

TEST(EngineFaults, MuteSilencesRepliesButCommandsStillAct) {
    Engine e;
    e.setMuted(true);
    auto lines = e.receive("v 5\rON\rout?\r");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2].command, "out?\r");
    EXPECT_EQ(lines[2].reply, "");
    EXPECT_EQ(e.voltage(), 5.0);
    EXPECT_TRUE(e.outputOn());
    e.setMuted(false);
    EXPECT_EQ(e.respond("out?\r"), "Out ON\n");
}

TEST(EngineFaults, GarbageAndShortSpoilOneReplyEachInOrder) {
    Engine e;
    e.addFault(Fault::Garbage);
    e.addFault(Fault::Short);
    e.setMuted(true);
    e.respond("out?\r"); // a muted reply does not use up a fault
    e.setMuted(false);
    e.respond("v 5\rON\r"); // nor do commands without a reply
    ASSERT_EQ(e.faultsQueued(), 2u);

    const std::string bad = e.respond("out?\r");
    ASSERT_EQ(bad.size(), std::string("Out ON\n").size());
    EXPECT_EQ(bad.back(), '\n');
    EXPECT_NE(bad[5], 'N');
    EXPECT_NE(bad[5], 'F');
    EXPECT_NE(bad[3], 'V');
    EXPECT_NE(bad[3], 'I');
    EXPECT_EQ(bad.find_first_of("0123456789"), std::string::npos);
    EXPECT_NE(bad, "Out ON\n");

    EXPECT_EQ(e.respond("*idn?\r"), "BR"); // cut after 2 characters, no line end
    EXPECT_EQ(e.faultsQueued(), 0u);
    EXPECT_EQ(e.respond("m?\r"), "M: V\n");
}

TEST(SimText, FormatsThreeDecimalsAndTraceText) {
    EXPECT_EQ(thousandthsText(0), "0.000");
    EXPECT_EQ(thousandthsText(12345), "12.345");
    EXPECT_EQ(thousandthsText(1002), "1.002");
    EXPECT_EQ(thousandthsText(-5), "-0.005");
    EXPECT_EQ(fixed3(2.06), "2.060");
    EXPECT_EQ(fixed3(0.0005), "0.001");
    EXPECT_EQ(fixed3(1.0 / 3.0), "0.333");
    EXPECT_EQ(fixed3(std::nan("")), "0.000");
    EXPECT_EQ(traceText("out?\r"), "out?\\r");
    EXPECT_EQ(traceText("Out ON\n"), "Out ON\\n");
    EXPECT_EQ(traceText(std::string("a\\b\t\x01\xFF", 6)), "a\\\\b\\t\\x01\\xFF");
    EXPECT_EQ(traceText(std::string("\0", 1)), "\\x00");
}

} // namespace
} // namespace kadenzo::sim

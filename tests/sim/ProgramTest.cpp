// kadenzo-psu-sim end to end: a child process, its pseudo-terminal opened with
// POSIX calls as a serial program opens it, its console and its trace.
#include "SimProcess.h"
#include "sim/Text.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace kadenzo::test {
namespace {

namespace fs = std::filesystem;
using sim::traceText;

std::optional<std::string> linkTarget(const std::string& link) {
    std::error_code ec;
    auto target = fs::read_symlink(link, ec);
    if (ec)
        return std::nullopt;
    return target.string();
}

TEST(SimProgram, LinksItsPortAndAnswersOnIt) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.errors();
    ASSERT_EQ(linkTarget(sim.link()), sim.device());

    PtyPeer port(sim.link());
    ASSERT_TRUE(port.isOpen());
    port.write("*idn?\r");
    EXPECT_EQ(traceText(port.readLine()), "BRENNIK,KM 417R,0,1.12\\n");
    port.write("out?\n");
    EXPECT_EQ(traceText(port.readLine()), "Out OFF\\n");
    // Bytes pass unchanged: a setting answered back exactly, nothing echoed.
    port.write("v 12.5\rv?\r");
    EXPECT_EQ(traceText(port.readLine()), "V12.50\\n");
    EXPECT_EQ(port.readFor(30), "");
}

TEST(SimProgram, OptionsChooseThePortModelFirmwareAndLoad) {
    SimProcess sim({"--port", "7", "--model", "826", "--firmware=old", "--load", "10"});
    ASSERT_TRUE(sim.ready()) << sim.errors();
    EXPECT_FALSE(fs::exists(sim.link(1)));
    PtyPeer port(sim.link(7));
    ASSERT_TRUE(port.isOpen());
    port.write("*idn?\n"); // old firmware: LF ends nothing
    EXPECT_EQ(port.readFor(60), "");
    port.write("\r*idn?\r"); // the CR ends that line (no command), then a real query
    EXPECT_EQ(port.readLine(), "BRENNIK,VD 826R,0,1.10\n");
    port.write("v 12\ri 1\rON\rm?\rvo?\r");
    EXPECT_EQ(port.readLine(), "M: I\n");
    EXPECT_EQ(port.readLine(), "V10.00\n");
}

TEST(SimProgram, RefusesBadOptions) {
    for (std::vector<std::string> args : {std::vector<std::string>{"--port", "0"},
                                          {"--port", "257"},
                                          {"--port", "1x"},
                                          {"--model", "999"},
                                          {"--firmware", "newest"},
                                          {"--load", "-5"},
                                          {"--latency", "soon"},
                                          {"--trace"},
                                          {"--bogus"}}) {
        SimProcess sim(args, false);
        EXPECT_EQ(sim.finish(0), 2) << args[0];
    }
}

void makePorts(const std::string& appData) {
    fs::create_directories(appData + "/Kadenzo/ports");
}

TEST(SimProgram, LeavesAFileWhereItsLinkWouldGo) {
    SimProcess sim({}, false, [](const std::string& appData) {
        makePorts(appData);
        std::ofstream(appData + "/Kadenzo/ports/COM1") << "keep me";
    });
    EXPECT_EQ(sim.finish(0), 1);
    EXPECT_EQ(readFile(sim.link()), "keep me");
}

TEST(SimProgram, ReplacesAStaleLinkAndRemovesItsOwnAtTheEnd) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP, 0}) {
        SCOPED_TRACE(sig);
        SimProcess sim({}, true, [](const std::string& appData) {
            makePorts(appData);
            fs::create_symlink("/dev/no-such-tty", appData + "/Kadenzo/ports/COM1");
        });
        ASSERT_TRUE(sim.ready()) << sim.errors();
        ASSERT_EQ(linkTarget(sim.link()), sim.device());
        if (sig == 0)
            sim.command("quit");
        EXPECT_EQ(sim.finish(sig), 0);
        EXPECT_FALSE(fs::is_symlink(sim.link()));
    }
}

TEST(SimProgram, MuteGarbageAndShortSpoilTheReplies) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    PtyPeer port(sim.link());

    sim.command("mute");
    ASSERT_TRUE(sim.sync()); // the console has taken `mute`
    port.write("ON\rout?\r");
    EXPECT_EQ(port.readFor(100), "");
    sim.command("unmute");
    ASSERT_TRUE(sim.sync());
    port.write("out?\r");
    EXPECT_EQ(port.readLine(), "Out ON\n"); // the muted ON still acted

    sim.command("short");
    sim.command("garbage");
    ASSERT_TRUE(sim.sync());
    port.write("out?\r");
    EXPECT_EQ(port.readFor(100), "Ou");
    port.write("out?\r");
    const std::string bad = port.readLine();
    EXPECT_EQ(bad.size(), 7u);
    EXPECT_NE(bad, "Out ON\n");
    port.write("out?\r");
    EXPECT_EQ(port.readLine(), "Out ON\n");
}

TEST(SimProgram, ConsoleSetsTheSupplyAsItsFrontPanel) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    PtyPeer port(sim.link());
    port.write("v 12\ri 1\ri?\r");
    ASSERT_EQ(port.readLine(), "I1.00\n");
    sim.command("output on");
    sim.command("load 24");
    EXPECT_EQ(sim.sync(), "KM 417R, firmware any, set 12.00 V 1.00 A, output on 12.00 V 0.500 A, "
                          "load 24.00 ohm, device " +
                              sim.device());
    port.write("out?\rio?\r");
    EXPECT_EQ(port.readLine(), "Out ON\n");
    EXPECT_EQ(port.readLine(), "I0.500\n");
    sim.command("model 826");
    ASSERT_TRUE(sim.sync());
    port.write("*idn?\r");
    EXPECT_EQ(port.readLine(), "BRENNIK,VD 826R,0,1.12\n");

    sim.command("model 999"); // refused with a message; the simulator goes on
    ASSERT_TRUE(sim.sync());
    EXPECT_NE(sim.errors().find("model needs 417 or 826"), std::string::npos) << sim.errors();
}

TEST(SimProgram, UnplugHangsUpAndPlugOpensANewTerminalBehindTheLink) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    const std::string first = sim.device();
    ASSERT_NE(first, "");
    {
        PtyPeer port(sim.link());
        port.write("v 5\rv?\r");
        ASSERT_EQ(port.readLine(), "V5.00\n");
        sim.command("unplug");
        EXPECT_TRUE(port.waitHangup());
        ASSERT_TRUE(sim.waitForLine("unplugged").has_value());
        // No port while the cable is out: the link leads nowhere.
        EXPECT_TRUE(fs::is_symlink(sim.link()));
        EXPECT_FALSE(fs::exists(sim.link()));
    }
    sim.command("plug");
    ASSERT_TRUE(sim.waitForLine("plugged").has_value());
    ASSERT_EQ(linkTarget(sim.link()), sim.device());
    PtyPeer again(sim.link());
    ASSERT_TRUE(again.isOpen());
    again.write("v?\r");
    EXPECT_EQ(again.readLine(), "V5.00\n"); // the supply kept its setting
    EXPECT_EQ(sim.finish(SIGTERM), 0);
    EXPECT_FALSE(fs::is_symlink(sim.link()));
}

TEST(SimProgram, EndingWhileUnpluggedRemovesTheLink) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    sim.command("unplug");
    ASSERT_TRUE(sim.waitForLine("unplugged").has_value());
    sim.command("unplug"); // already out: said so, nothing else
    ASSERT_TRUE(sim.sync());
    EXPECT_EQ(sim.finish(SIGTERM), 0);
    EXPECT_FALSE(fs::is_symlink(sim.link()));
    EXPECT_NE(sim.errors().find("already unplugged"), std::string::npos);
}

TEST(SimProgram, SlowDelaysEveryReplyFromThenOn) {
    SimProcess sim;
    ASSERT_TRUE(sim.ready());
    PtyPeer port(sim.link());
    sim.command("slow 80");
    ASSERT_TRUE(sim.sync());
    for (int i = 0; i < 2; ++i) {
        const double start = nowMs();
        port.write("out?\r");
        EXPECT_EQ(port.readLine(), "Out OFF\n");
        EXPECT_GE(nowMs() - start, 80.0);
    }
}

TEST(SimProgram, TraceShowsExactBytesWithSensibleTimes) {
    SimProcess sim({"--latency", "20", "--trace", "@/trace.txt"});
    ASSERT_TRUE(sim.ready()) << sim.errors();
    PtyPeer port(sim.link());
    const double sent = nowMs();
    port.write("v 5\r");
    port.write("\\\x01out?\r"); // odd bytes make one unknown line
    port.write("\n");
    port.write("out?\r");
    EXPECT_EQ(port.readLine(), "Out OFF\n");
    const double answered = nowMs();
    sim.command("mute");
    ASSERT_TRUE(sim.sync());
    port.write("out?\n");
    EXPECT_EQ(port.readFor(60), "");
    ASSERT_EQ(sim.finish(SIGTERM), 0);

    auto lines = readTrace(sim.file("trace.txt"));
    std::vector<std::string> texts;
    for (const auto& l : lines)
        texts.push_back(l.text);
    ASSERT_GE(lines.size(), 1u);
    // The first line is the plug event; the console lines are marked "# ".
    const std::vector<std::string> expected = {
        "# plug " + sim.device(), "v 5\\r", "\\\\\\x01out?\\r", "\\n",     "out?\\r",
        "> Out OFF\\n",           "# mute", "# status",         "out?\\n", "# quit",
    };
    EXPECT_EQ(texts, expected);
    if (lines.size() != expected.size())
        return;
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_LE(lines[i - 1].ms, lines[i].ms) << "line " << i;
    // The reply left no sooner than the latency after its line end, and the whole
    // exchange took about as long as the test saw it take.
    const double query = lines[4].ms;
    const double reply = lines[5].ms;
    EXPECT_GE(reply - query, 20.0);
    EXPECT_LE(reply - query, answered - sent + 1.0);
    // Three decimals of milliseconds.
    const std::string raw = readFile(sim.file("trace.txt"));
    const auto firstGap = raw.find(' ');
    ASSERT_NE(firstGap, std::string::npos);
    EXPECT_EQ(raw.substr(0, firstGap).find('.'), firstGap - 4);
}

TEST(SimProgram, BaudPaceSendsNoFasterThan9600Baud) {
    SimProcess sim({"--baud-pace", "--latency", "0"});
    ASSERT_TRUE(sim.ready());
    PtyPeer port(sim.link());
    const double start = nowMs();
    port.write("*idn?\r");
    const std::string reply = port.readLine();
    const double took = nowMs() - start;
    ASSERT_EQ(reply, "BRENNIK,KM 417R,0,1.12\n");
    // 23 bytes at 1.04 ms: the last cannot leave before 22 byte times have passed.
    EXPECT_GE(took, 22 * 10.0 / 9.6);
}

} // namespace
} // namespace kadenzo::test

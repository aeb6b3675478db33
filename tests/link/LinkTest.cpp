// The command transport, the error event, the status polls and the identification,
// on the in-process fake serial control: exact bytes, exact calls, the window's state.
#include "link/Link.h"
#include "AppFixture.h"
#include "ScriptedSupply.h"
#include "SimPeer.h"
#include "app/ControlSets.h"
#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

class LinkTest : public AppFixture {
protected:
    // A program that opened port 1 at start-up, with CR line ends.
    void SetUp() override { restartWith("1,1,0"); }

    Link& link() { return *ctx().link; }

    // The calls made on the control that read a reply.
    int reads() const {
        int n = 0;
        for (const std::string& call : serial.calls)
            n += call.rfind("PortRead(", 0) == 0;
        return n;
    }
    bool lit(Shape* lamp) const {
        EXPECT_TRUE(lamp->brushColor() == lampOn() || lamp->brushColor() == lampOff());
        return lamp->brushColor() == lampOn();
    }
    std::string panel1() { return f()->Panel1->text().toStdString(); }
    std::string panel2() { return f()->Panel2->text().toStdString(); }
    bool sendButtonsOn() {
        EXPECT_EQ(ctx().Form6->Button1->isEnabled(), ctx().Form7->Button1->isEnabled());
        return ctx().Form6->Button1->isEnabled();
    }
    void setSendButtons(bool on) {
        ctx().Form6->Button1->setEnabled(on);
        ctx().Form7->Button1->setEnabled(on);
    }
};

using Calls = std::vector<std::string>;

// --- wire format ----------------------------------------------------------------------

TEST_F(LinkTest, LineEndModeChoosesCrLfOrNothing) {
    struct Case {
        int mode;
        const char* end;
    } cases[] = {{0, "\r"}, {1, "\n"}, {2, ""}, {-1, ""}, {7, ""}};
    for (const Case& m : cases) {
        SCOPED_TRACE(m.mode);
        serial.clearRecords();
        st().lineEndMode = m.mode;
        link().sendCommand("out?");
        link().sendCommand("v ", "12.50");
        link().sendCommand("i ", "");
        link().sendCommand("ON");
        const std::string e = m.end;
        EXPECT_EQ(visible(serial.wire), visible("out?" + e + "v 12.50" + e + "i " + e + "ON" + e));
        // Every piece is its own write; the line end is one write of one byte, or none.
        Calls expected = {"out?"};
        auto end = [&] {
            if (!e.empty())
                expected.push_back(e);
        };
        end();
        expected.insert(expected.end(), {"v ", "12.50"});
        end();
        expected.insert(expected.end(), {"i ", ""}); // an empty value is still written
        end();
        expected.push_back("ON");
        end();
        EXPECT_EQ(serial.writes, expected);
    }
}

TEST_F(LinkTest, OutQueryWithCrIsFiveBytesAndAVoltageStepThreeWrites) {
    link().sendCommand("out?");
    EXPECT_EQ(serial.wire, std::string("out?\x0d"));
    serial.clearRecords();
    link().sendCommand("v ", "12.50");
    EXPECT_EQ(serial.wire, std::string("v 12.50\x0d"));
    EXPECT_EQ(serial.writes, (Calls{"v ", "12.50", "\r"}));
    // The value goes out exactly as held: no reformatting.
    serial.clearRecords();
    link().sendCommand("v ", "12");
    EXPECT_EQ(serial.writes, (Calls{"v ", "12", "\r"}));
}

TEST_F(LinkTest, LineFeedModeNeverSendsACarriageReturn) {
    restartWith("1,1,1");
    link().Timer3Timer();
    EXPECT_EQ(status(), "Waiting");
    EXPECT_EQ(visible(serial.wire), visible("out?\nm?\nout?\nm?\ni?\nv?\n"));
}

TEST_F(LinkTest, ConfigWithLineEndTwoSendsCommandsWithoutTerminator) {
    restartWith("1,1,2");
    EXPECT_EQ(st().lineEndMode, 2);
    EXPECT_FALSE(ctx().Form3->CheckBox1->isChecked());
    link().sendCommand("v ", "5");
    EXPECT_EQ(serial.writes, (Calls{"v ", "5"}));
    // The supply never sees a complete line, so the poll's first read times out.
    serial.clearRecords();
    link().Timer3Timer();
    EXPECT_EQ(serial.wire, "out?");
    EXPECT_EQ(status(), "No communication with PSU");
}

TEST_F(LinkTest, QueryReadsTheReplyWithTheGivenCount) {
    ScriptedSupply supply(serial);
    supply.replies["m?"] = "M: V\n";
    EXPECT_EQ(link().query("m?", 20), "M: V\n");
    EXPECT_EQ(serial.calls, (Calls{"PortWrite(m?)", "PortWrite(\\r)", "PortRead(20)"}));
    EXPECT_EQ(st().commsFault, 0);
}

// --- the error event --------------------------------------------------------------------

TEST_F(LinkTest, ATimeOutEndsARunAndReturnsTheWindowToIdle) {
    for (bool autoMode : {false, true}) {
        SCOPED_TRACE(autoMode ? "Auto chosen" : "Manual chosen");
        TForm1* w = f();
        (autoMode ? w->RadioButton2 : w->RadioButton1)->setChecked(true);
        w->Edit7->setEnabled(false);
        w->UpDown3->setEnabled(false);
        // A manual run at its third step, with the automatic timer also armed.
        applyControlSet(ctx(), ControlSet::ManualStart);
        w->Button2->setEnabled(false); // left alone by the time-out
        w->Timer1->setEnabled(true);
        w->Timer2->setEnabled(true);
        w->Timer3->setEnabled(false);
        w->UpDown4->setEnabled(false);
        setSendButtons(true);
        st().stepIndex = 3;
        st().commsFault = 0;
        w->ProgressBar1->setValue(3);
        w->Edit4->setText("3");
        w->Panel1->setText("12.00");
        w->Panel2->setText("0.500");
        serial.muted = true;
        serial.clearRecords();

        link().Timer1Timer();

        EXPECT_EQ(serial.calls, (Calls{"PortWrite(out?)", "PortWrite(\\r)", "PortRead(10)"}));
        EXPECT_EQ(st().commsFault, 1);
        EXPECT_EQ(st().lastLinkError, serr::Timeout);
        EXPECT_EQ(status(), "No communication with PSU");
        EXPECT_FALSE(w->Timer1->enabled()) << "the manual poll stops after a fault";
        EXPECT_FALSE(w->Timer2->enabled());
        EXPECT_TRUE(w->Timer3->enabled());
        for (QWidget* on : std::initializer_list<QWidget*>{
                 w->Button8, w->RadioButton1, w->RadioButton2, w->CheckBox5, w->CheckBox3,
                 w->CheckBox4, w->UpDown4, w->Edit8, w->Button6, w->Button7,
                 ctx().Form2->StringGrid1, ctx().Form2->Button1, ctx().Form2->Button2,
                 ctx().Form2->Button3, ctx().Form2->Button4, ctx().Form3})
            EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
        for (QWidget* off : std::initializer_list<QWidget*>{w->Button5, w->Button3, w->Button4})
            EXPECT_FALSE(off->isEnabled());
        EXPECT_FALSE(sendButtonsOn());
        EXPECT_EQ(w->Edit7->isEnabled(), autoMode);
        EXPECT_EQ(w->UpDown3->isEnabled(), autoMode);
        for (QMenu* m : {w->File1, w->instrument1, w->Comms1})
            EXPECT_TRUE(m->menuAction()->isEnabled());
        // The fine adjustment and ON/OFF keep their state.
        EXPECT_TRUE(w->UpDown1->isEnabled());
        EXPECT_TRUE(w->UpDown2->isEnabled());
        EXPECT_FALSE(w->Button2->isEnabled());
        EXPECT_EQ(panel1(), ". . .");
        EXPECT_EQ(panel2(), ". . .");
        EXPECT_EQ(w->ProgressBar1->value(), 0);
        EXPECT_EQ(w->Edit4->text(), " ---");
        EXPECT_EQ(st().stepIndex, -1);
        EXPECT_EQ(st().outputOn, 1);
        serial.muted = false;
    }
}

TEST_F(LinkTest, ATimeOutRestartsTheIdlePollInterval) {
    // A read times out while the idle poll runs (the window's "Test"): the handler stops
    // the poll and starts it again, so the next tick is a whole interval later.
    f()->Timer3->setEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_LT(f()->Timer3->timer().remainingTime(), 900);
    serial.muted = true;
    link().query("*idn?", 40);
    EXPECT_TRUE(f()->Timer3->enabled());
    EXPECT_GT(f()->Timer3->timer().remainingTime(), 900);
}

TEST_F(LinkTest, OtherErrorCodesOnlyRecordTheCodeAndClearTheFault) {
    TForm1* w = f();
    applyControlSet(ctx(), ControlSet::AutomaticStart);
    w->Button8->setEnabled(false); // Start turns itself off before the run starts
    w->Timer2->setEnabled(true);
    w->setStatus("Sequence Running");
    w->Panel1->setText("12.00");
    st().stepIndex = 2;
    for (int32_t code : {serr::PortInvalid, serr::PortInUse, serr::NotOpen, serr::WriteFailed,
                         serr::DeviceGone, int32_t{-1}}) {
        SCOPED_TRACE(code);
        st().commsFault = 1;
        serial.fail(code);
        EXPECT_EQ(st().commsFault, 0);
        EXPECT_EQ(st().lastLinkError, code);
        EXPECT_EQ(status(), "Sequence Running");
        EXPECT_TRUE(w->Timer2->enabled());
        EXPECT_TRUE(w->Button5->isEnabled());
        EXPECT_FALSE(w->Button8->isEnabled());
        EXPECT_EQ(panel1(), "12.00");
        EXPECT_EQ(st().stepIndex, 2);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

// --- the idle poll ------------------------------------------------------------------------

TEST_F(LinkTest, HealthyIdleTickShowsWaitingAfterSixExchanges) {
    serial.sim()->engine.setVoltage(12.5);
    serial.sim()->engine.setCurrentLimit(1.0);
    serial.sim()->engine.setOutputOn(true);
    serial.sim()->engine.setLoad(25.0);
    setSendButtons(false);
    f()->setStatus("No communication with PSU");
    st().commsFault = 1;
    f()->Timer3->setEnabled(true);

    link().Timer3Timer();

    EXPECT_EQ(status(), "Waiting");
    EXPECT_EQ(st().commsFault, 0);
    EXPECT_EQ(visible(serial.wire), visible("out?\rm?\rout?\rm?\rio?\rv?\r"));
    EXPECT_EQ(reads(), 6);
    EXPECT_EQ(serial.calls[2], "PortRead(10)");
    EXPECT_EQ(serial.calls[5], "PortRead(20)");
    EXPECT_EQ(panel1(), "12.50"); // the "v?" reply
    EXPECT_EQ(panel2(), "0.500"); // the "io?" reply
    EXPECT_TRUE(lit(f()->on_led));
    EXPECT_FALSE(lit(f()->lim_led));
    EXPECT_EQ(st().outputOn, 1);
    EXPECT_EQ(st().currentLimit, 0);
    EXPECT_TRUE(sendButtonsOn());
    EXPECT_TRUE(f()->Timer3->enabled());
}

TEST_F(LinkTest, IdleTickReadoutsForEachState) {
    struct Case {
        const char* name;
        const char* out;
        const char* mode;
        Calls queries; // after "out?", "m?", "out?", "m?"
        const char* volts;
        const char* amps;
    } cases[] = {
        {"voltage mode, output on", "Out ON\n", "M: V\n", {"io?", "v?"}, "set V", "out I"},
        {"voltage mode, output off", "Out OFF\n", "M: V\n", {"i?", "v?"}, "set V", "set I"},
        {"current limit, output off", "Out OFF\n", "M: I\n", {"vo?", "i?"}, "out V", "set I"},
        {"current limit, output on", "Out ON\n", "M: I\n", {"vo?", "i?"}, "out V", "set I"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        ScriptedSupply supply(serial);
        supply.replies = {{"out?", k.out},      {"m?", k.mode},        {"v?", "Vset V\n"},
                          {"i?", "Iset I\r\n"}, {"vo?", "Vout V\r\n"}, {"io?", "Iout I\n"}};
        serial.clearRecords();
        link().Timer3Timer();
        Calls expected = {"out?", "m?", "out?", "m?"};
        expected.insert(expected.end(), k.queries.begin(), k.queries.end());
        EXPECT_EQ(supply.heard, expected);
        EXPECT_EQ(reads(), 6);
        EXPECT_EQ(status(), "Waiting");
        EXPECT_EQ(panel1(), k.volts);
        EXPECT_EQ(panel2(), k.amps);
        const bool on = std::string(k.out) == "Out ON\n";
        const bool limit = std::string(k.mode) == "M: I\n";
        EXPECT_EQ(lit(f()->on_led), on);
        EXPECT_EQ(lit(f()->lim_led), limit);
        EXPECT_EQ(st().outputOn, on ? 1 : 0);
        EXPECT_EQ(st().currentLimit, limit ? 1 : 0);
    }
}

TEST_F(LinkTest, ReadoutIsTheReplyLessItsFirstCharacterAndLineEnd) {
    struct Case {
        const char* reply;
        const char* shown;
    } cases[] = {
        {"V12.50\n", "12.50"},
        {"I0.500\r\n", "0.500"},
        {"V12.50\r", "12.50"},
        {"V 1.5 x \n", " 1.5 x "},
        {"V12\t\n", "12\t"},
        {"X", ""},
        {"", ""},
        {"\n", ""},
        {"VV12.5", "V12.5"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Link::readoutText(k.reply), k.shown) << visible(k.reply);
}

TEST_F(LinkTest, SuspendedTicksSendNothing) {
    st().commsSuspended = 1;
    f()->Panel1->setText("1.00");
    for (int i = 0; i < 3; ++i) {
        link().Timer3Timer();
        EXPECT_TRUE(serial.calls.empty());
        EXPECT_EQ(status(), "Comms Suspended");
        EXPECT_TRUE(f()->Timer3->enabled());
    }
    EXPECT_EQ(panel1(), "1.00");
}

TEST_F(LinkTest, TimeOutOnOutQueryGoesStraightToThePollWhichOnlySetsOutputOn) {
    st().outputOn = 0;
    setSendButtons(true);
    serial.muted = true;
    link().Timer3Timer();
    EXPECT_EQ(serial.calls, (Calls{"PortWrite(out?)", "PortWrite(\\r)", "PortRead(10)"}));
    EXPECT_EQ(status(), "No communication with PSU");
    EXPECT_EQ(st().commsFault, 1);
    EXPECT_EQ(st().outputOn, 1);
    EXPECT_FALSE(sendButtonsOn());
    EXPECT_EQ(panel1(), ". . .");
    EXPECT_EQ(panel2(), ". . .");
    EXPECT_TRUE(f()->Timer3->enabled()) << "polling continues";
}

TEST_F(LinkTest, TimeOutOnModeQueryStillTestsWhatArrived) {
    // "m?" is cut after its fourth character: the read times out with "M: I".
    ScriptedSupply supply(serial);
    supply.replies = {{"out?", "Out OFF\n"}, {"m?", "M: I"}};
    st().currentLimit = 0;
    link().Timer3Timer();
    EXPECT_EQ(supply.heard, (Calls{"out?", "m?"}));
    EXPECT_EQ(st().currentLimit, 1);
    EXPECT_TRUE(lit(f()->lim_led));
    EXPECT_EQ(st().outputOn, 1) << "the poll after the fault only sets outputOn";
    EXPECT_FALSE(lit(f()->on_led)) << "the lamp keeps the reply's verdict";
    EXPECT_EQ(status(), "No communication with PSU");
    EXPECT_EQ(panel1(), ". . .");
    EXPECT_FALSE(sendButtonsOn());
}

TEST_F(LinkTest, SendButtonsGoOffOnATimeOutAndComeBackOnTheNextHealthyTick) {
    setSendButtons(true);
    serial.sim()->engine.setMuted(true);
    link().Timer3Timer();
    EXPECT_FALSE(sendButtonsOn());
    link().Timer3Timer();
    EXPECT_FALSE(sendButtonsOn());
    serial.sim()->engine.setMuted(false);
    link().Timer3Timer();
    EXPECT_TRUE(sendButtonsOn());
    EXPECT_EQ(status(), "Waiting");
    EXPECT_EQ(panel1(), "0.00");
}

TEST_F(LinkTest, TimeOutOnAReadingKeepsNoReadingAndStopsTheExchange) {
    ScriptedSupply supply(serial);
    supply.replies = {{"out?", "Out OFF\n"}, {"m?", "M: V\n"}, {"v?", "V1.00\n"}};
    // "i?" gets no answer.
    link().Timer3Timer();
    EXPECT_EQ(supply.heard, (Calls{"out?", "m?", "out?", "m?", "i?"}));
    EXPECT_EQ(status(), "No communication with PSU");
    EXPECT_EQ(panel1(), ". . .");
    EXPECT_EQ(panel2(), ". . .");
}

// --- PollStatus ---------------------------------------------------------------------------

TEST_F(LinkTest, PollStatusSetsOutputOnFirstWhateverTheReply) {
    ScriptedSupply supply(serial);
    supply.replies = {{"out?", "Out\n"}, {"m?", "M: V\n"}, {"io?", "I0.10\n"}};
    st().outputOn = 0;
    f()->on_led->setBrushColor(lampOff());
    link().PollStatus();
    EXPECT_EQ(st().outputOn, 1);
    EXPECT_FALSE(lit(f()->on_led)) << "a short reply changes no lamp";
    EXPECT_EQ(supply.heard, (Calls{"out?", "m?", "io?"}));

    // With a fault set it sends nothing and only sets outputOn.
    serial.clearRecords();
    st().outputOn = 0;
    st().commsFault = 1;
    link().PollStatus();
    EXPECT_EQ(st().outputOn, 1);
    EXPECT_TRUE(serial.calls.empty());
}

TEST_F(LinkTest, OddModeCharacterChangesNothing) {
    for (int before : {0, 1}) {
        SCOPED_TRACE(before);
        for (const char* mode : {"M: X\n", "M:\n", "M: v\n", "\n"}) {
            ScriptedSupply supply(serial);
            supply.replies = {{"out?", "Out OFF\n"}, {"m?", mode}, {"vo?", "V1\n"}};
            st().commsFault = 0;
            st().currentLimit = before;
            f()->lim_led->setBrushColor(before ? lampOn() : lampOff());
            link().PollStatus();
            EXPECT_EQ(st().currentLimit, before) << visible(mode);
            EXPECT_EQ(lit(f()->lim_led), before == 1) << visible(mode);
        }
    }
}

TEST_F(LinkTest, OutputOffWithoutLimitRewritesTheSettingsWithTwoDecimals) {
    struct Case {
        const char *volts, *amps, *volts2, *amps2;
    } cases[] = {
        {"5", "1.5", "5.00", "1.50"},
        {" 12.345abc", "x", "12.35", "0.00"},
        {"", "2", "0.00", "2.00"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.volts);
        serial.clearRecords();
        st().voltsText = k.volts;
        st().ampsText = k.amps;
        link().PollStatus();
        EXPECT_EQ(visible(serial.wire), "out?\\rm?\\r") << "no reading is asked for";
        EXPECT_EQ(st().voltsText.str(), k.volts2);
        EXPECT_EQ(st().ampsText.str(), k.amps2);
        EXPECT_EQ(panel1(), k.volts2);
        EXPECT_EQ(panel2(), k.amps2);
    }
}

TEST_F(LinkTest, PollStatusTableOfStates) {
    struct Case {
        const char *out, *mode;
        Calls heard;
        const char *volts, *amps;
    } cases[] = {
        {"Out ON\n", "M: V\n", {"out?", "m?", "io?"}, "7.50", "out I"},
        {"Out OFF\n", "M: I\n", {"out?", "m?", "vo?"}, "out V", "0.25"},
        {"Out ON\n", "M: I\n", {"out?", "m?", "vo?"}, "out V", "0.25"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.out) + k.mode);
        ScriptedSupply supply(serial);
        supply.replies = {
            {"out?", k.out}, {"m?", k.mode}, {"vo?", "Vout V\n"}, {"io?", "Iout I\n"}};
        st().voltsText = "7.5";
        st().ampsText = ".25";
        link().PollStatus();
        EXPECT_EQ(supply.heard, k.heard);
        EXPECT_EQ(panel1(), k.volts);
        EXPECT_EQ(panel2(), k.amps);
    }
}

TEST_F(LinkTest, PollStatusTimeOutOnAReadingKeepsNoReading) {
    ScriptedSupply supply(serial);
    supply.replies = {{"out?", "Out ON\n"}, {"m?", "M: V\n"}, {"io?", "I0."}}; // cut short
    st().voltsText = "3";
    link().PollStatus();
    EXPECT_EQ(st().commsFault, 1);
    EXPECT_EQ(panel1(), ". . .");
    EXPECT_EQ(panel2(), ". . .");
    EXPECT_EQ(st().voltsText.str(), "3.00");
}

TEST_F(LinkTest, ManualPollRearmsOnlyWithoutAFault) {
    f()->Timer1->setEnabled(true);
    link().Timer1Timer();
    EXPECT_TRUE(f()->Timer1->enabled());
    EXPECT_EQ(reads(), 2); // output off, no limit: "out?" and "m?"
    serial.muted = true;
    link().Timer1Timer();
    EXPECT_FALSE(f()->Timer1->enabled());
    EXPECT_TRUE(f()->Timer3->enabled()) << "the idle poll runs again";
}

TEST_F(LinkTest, TimersAreWiredToThePolls) {
    // The timers' own signal runs the handler through the guard.
    emit f()->Timer3->timeout();
    EXPECT_EQ(reads(), 6);
    serial.clearRecords();
    emit f()->Timer1->timeout();
    EXPECT_EQ(reads(), 2);
}

// --- IdentifyInstrument -------------------------------------------------------------------

TEST_F(LinkTest, IdentificationComparesTheReplyWithTheSelectedModel) {
    struct Case {
        int selected;
        const char* reply;
        int connected;
        int fault;
        const char* status;
    } cases[] = {
        {1, "BRENNIK,KM 417R,0,1.12\n", 1, 0, "Connecting to PSU"},
        {2, "BRENNIK,VD 826R,0,1.12\n", 2, 0, "Connecting to PSU"},
        {2, "417 and 826\n", 2, 0, "Connecting to PSU"},
        {1, "826 then 417\n", 2, 1, "Unit connected and sequence do not match"},
        {1, "BRENNIK,VD 826R,0,1.12\n", 2, 1, "Unit connected and sequence do not match"},
        {2, "BRENNIK,KM 417R,0,1.12\n", 1, 1, "Unit connected and sequence do not match"},
        {1, "ACME,PS 100,0,1.0\n", 0, 1, "Unit connected and sequence do not match"},
        {3, "BRENNIK,VD 826R,0,1.12\n", 2, 1, "Unit connected and sequence do not match"},
        {3, "BRENNIK,KM 417R,0,1.12\n", 1, 1, "Unit connected and sequence do not match"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.selected) + " " + k.reply);
        ScriptedSupply supply(serial);
        supply.replies = {{"*idn?", k.reply}};
        serial.clearRecords();
        st().selectedModel = k.selected;
        st().commsFault = 1;
        st().connectedModel = 5;
        f()->Button8->setEnabled(false);
        link().IdentifyInstrument();
        EXPECT_EQ(serial.calls, (Calls{"PortReset", "PortConfigure(1)", "PortWrite(*idn?)",
                                       "PortWrite(\\r)", "PortRead(40)"}));
        EXPECT_EQ(st().connectedModel, k.connected);
        EXPECT_EQ(st().commsFault, k.fault);
        EXPECT_EQ(status(), k.status);
        EXPECT_EQ(f()->Button8->isEnabled(), k.fault == 1);
    }
}

TEST_F(LinkTest, IdentificationTimeOutAbortsTheStart) {
    st().connectedModel = 1;
    f()->Button8->setEnabled(false);
    serial.muted = true;
    link().IdentifyInstrument();
    EXPECT_EQ(st().commsFault, 1);
    EXPECT_EQ(st().connectedModel, 0);
    EXPECT_EQ(status(), "No PSU detected - Sequence aborted");
    EXPECT_TRUE(f()->Button8->isEnabled()) << "the time-out handling enables Start";
}

TEST_F(LinkTest, IdentificationReopensThePortTheControlHas) {
    // The port was released (Quit answered with Cancel): identification opens it again.
    serial.PortReset();
    ASSERT_FALSE(serial.open);
    link().IdentifyInstrument();
    EXPECT_TRUE(serial.open);
    EXPECT_EQ(serial.openPort, 1);
    EXPECT_EQ(st().commsFault, 0);
    EXPECT_EQ(st().connectedModel, 1);
}

} // namespace

// The runner on the in-process fake supply: the exact bytes the supply receives and the
// control states after each event. Ticks are run by calling Timer2Timer().
#include "RunFixture.h"
#include "sequence/SupplyModels.h"

#include <QTest>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

using AutoRun = RunFixture;
using ManualRun = RunFixture;
using RunStart = RunFixture;

TEST_F(AutoRun, ThreeStepsSendsEachStepOnceAndTheLastTwiceThenCompletes) {
    steps(3);
    chooseAuto();
    f()->CheckBox4->setChecked(true); // "Auto DC OFF"

    runner().Button8Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + kPollOff));
    EXPECT_EQ(status(), "Sequence Running");
    EXPECT_EQ(st().stepIndex, 1);
    EXPECT_EQ(st().lastStep, 3);
    EXPECT_EQ(f()->Edit4->text(), "1");
    EXPECT_EQ(f()->Edit9->text(), "step 1");
    EXPECT_EQ(f()->ProgressBar1->maximum(), 3);
    EXPECT_EQ(f()->ProgressBar1->value(), 1);
    EXPECT_EQ(table().currentRow(), 1);
    EXPECT_EQ(runner().stepTime(), 100);
    EXPECT_NEAR(f()->Timer2->interval(), 100, 20);
    expectAutoRunning();

    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(2) + kPollOff));
    EXPECT_EQ(st().stepIndex, 2);
    EXPECT_EQ(f()->Edit4->text(), "2");
    EXPECT_EQ(f()->Edit9->text(), "step 2");
    EXPECT_EQ(table().currentRow(), 2);
    expectAutoRunning();

    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(3) + kPollOff + step(3) + kPollOff));
    EXPECT_EQ(st().stepIndex, 4);
    EXPECT_EQ(f()->ProgressBar1->value(), 3);
    expectAutoRunning();

    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes("OFF\r"));
    EXPECT_EQ(status(), "Sequence Complete");
    EXPECT_EQ(f()->Edit9->text(), "");
    EXPECT_EQ(f()->Panel1->text(), ". . .");
    EXPECT_EQ(f()->Panel2->text(), ". . .");
    EXPECT_EQ(st().commsFault, 0);
    EXPECT_TRUE(ctx().Form6->Button1->isEnabled());
    EXPECT_TRUE(ctx().Form2->Button2->isEnabled()) << "Delete comes back too";
    expectIdle();

    runner().Timer2Timer(); // a tick left over from the ended run does nothing
    EXPECT_EQ(sent(), "");
    EXPECT_FALSE(f()->Timer2->enabled());
}

TEST_F(AutoRun, TwoPassesRestartWithinTheTickAndSendOnOnlyOnce) {
    steps(3);
    chooseAuto();
    loop("2");
    f()->CheckBox3->setChecked(true); // "Auto DC ON"

    runner().Button8Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + "ON\r" + kPollOn));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 1");
    EXPECT_EQ(st().loopsLeft, 1);

    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(2) + kPollOn));
    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(3) + kPollOn + step(3) + kPollOn));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 1");

    runner().Timer2Timer(); // the tick at 300 ms: the second pass, step 1 at once
    EXPECT_EQ(sent(), bytes(step(1) + kPollOn));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 2");
    EXPECT_EQ(st().loopsLeft, 0);
    EXPECT_EQ(st().stepIndex, 1);
    EXPECT_EQ(f()->Edit4->text(), "1");
    expectAutoRunning();

    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(2) + kPollOn));
    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(3) + kPollOn + step(3) + kPollOn));
    runner().Timer2Timer(); // 600 ms: complete; no "OFF" without "Auto DC OFF"
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(status(), "Sequence Complete");
    expectIdle();
}

TEST_F(AutoRun, OneStepIgnoresThePassCount) {
    steps(1);
    chooseAuto();
    loop("5");

    runner().Button8Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + kPollOff));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 1");

    runner().Timer2Timer();
    EXPECT_EQ(sent(), bytes(step(1) + kPollOff + step(1) + kPollOff));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 1");
    EXPECT_EQ(st().stepIndex, 2);
    expectAutoRunning();

    runner().Timer2Timer();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(status(), "Sequence Complete");
    expectIdle();
}

TEST_F(RunStart, PassCountFromTheLoopFields) {
    struct Case {
        bool loop;
        const char* edit8;
        const char* edit8After;
        int loopsLeft;
        const char* status;
    } cases[] = {
        {true, "", "1", 0, "Sequence Running:- Loop count = 1"},
        {true, "0", "1", 0, "Sequence Running:- Loop count = 1"},
        {true, "3", "3", 2, "Sequence Running:- Loop count = 1"},
        {false, "7", "7", 0, "Sequence Running"},
    };
    steps(2);
    chooseAuto();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.loop ? "loop, " : "no loop, ") + "Edit8 '" + c.edit8 + "'");
        f()->CheckBox5->setChecked(c.loop);
        f()->Edit8->setText(c.edit8);
        runner().Button8Click();
        EXPECT_EQ(f()->Edit8->text(), c.edit8After);
        EXPECT_EQ(st().loopsLeft, c.loopsLeft);
        EXPECT_EQ(status(), c.status);
        expectAutoRunning();
        runner().Button5Click();
    }
}

TEST_F(RunStart, StepTimeFromEdit7) {
    struct Case {
        const char* edit7;
        const char* edit7After;
        int ms;
    } cases[] = {
        {"50", "100", 100},  {"", "100", 100},          {"100", "100", 100},
        {"250", "250", 250}, {"45000", "45000", 45000}, // beyond the spin button's range: used as
                                                        // typed
    };
    steps(2);
    chooseAuto();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("Edit7 '") + c.edit7 + "'");
        f()->Edit7->setText(c.edit7);
        runner().Button8Click();
        EXPECT_EQ(f()->Edit7->text(), c.edit7After);
        EXPECT_EQ(runner().stepTime(), c.ms);
        EXPECT_TRUE(f()->Timer2->enabled());
        EXPECT_NEAR(f()->Timer2->interval(), c.ms, 20);
        // A tick run by hand, long before it is due, holds the step one whole step time.
        runner().Timer2Timer();
        EXPECT_NEAR(f()->Timer2->interval(), c.ms, 20);
        runner().Button5Click();
    }
}

TEST_F(RunStart, ANumberBeyondThirtyTwoBitsRefusesTheStartAndSendsNothing) {
    steps(2);
    struct Case {
        const char* name;
        bool autoMode;
        const char* edit7;
        const char* edit8;
        const char* message;
    } cases[] = {
        {"pass count", false, "100", "99999999999", "'99999999999' is not a valid integer value"},
        {"pass count, Auto", true, "100", "2147483648",
         "'2147483648' is not a valid integer value"},
        {"step time", true, "4294967396", "1", "'4294967396' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.autoMode)
            chooseAuto();
        else
            runner().RadioButton1Click();
        loop(c.edit8);
        f()->Edit7->setText(c.edit7);
        prompts.clear();
        serial.clearRecords();
        runner().Button8Click();
        EXPECT_EQ(prompts.shown, std::vector<std::string>{std::string("exception:") + c.message});
        EXPECT_TRUE(serial.calls.empty()) << "the port is not even reset";
        EXPECT_TRUE(f()->Button8->isEnabled());
        EXPECT_TRUE(f()->Timer3->enabled()) << "the idle poll goes on";
        expectIdle();
    }
}

TEST_F(RunStart, CommsSuspendedOnlySaysSo) {
    st().commsSuspended = 1;
    f()->Timer3->setEnabled(false);
    runner().Button8Click();
    EXPECT_EQ(status(), "Comms Suspended");
    EXPECT_TRUE(serial.calls.empty());
    EXPECT_TRUE(f()->Button8->isEnabled());
    expectIdle();
}

TEST_F(RunStart, AnotherModelIsRefusedAfterOnlyTheIdentification) {
    supply().setModel(sim::Model::VD826);
    f()->Timer3->setEnabled(true);
    for (bool autoMode : {true, false}) {
        SCOPED_TRACE(autoMode ? "Auto" : "Manual");
        if (autoMode)
            chooseAuto();
        else
            runner().RadioButton1Click();
        f()->Button2->setEnabled(false);
        runner().Button8Click();
        EXPECT_EQ(sent(), bytes(kIdnBytes));
        EXPECT_EQ(status(), "Unit connected and sequence do not match");
        EXPECT_EQ(st().commsFault, 1);
        EXPECT_EQ(st().stepIndex, -1);
        EXPECT_TRUE(f()->Button8->isEnabled());
        EXPECT_EQ(f()->Button2->isEnabled(), autoMode) << "the automatic start enables ON/OFF";
        EXPECT_FALSE(f()->Timer3->enabled()) << "the idle poll stays stopped";
        EXPECT_FALSE(f()->Timer1->enabled());
        EXPECT_FALSE(f()->Timer2->enabled());
        EXPECT_FALSE(f()->Button5->isEnabled());
        EXPECT_TRUE(f()->File1->menuAction()->isEnabled());
    }
}

TEST_F(RunStart, ModelThreeNeverStarts) {
    restartWith("3,1,0");
    for (sim::Model model : {sim::Model::KM417, sim::Model::VD826}) {
        supply().setModel(model);
        for (bool autoMode : {true, false}) {
            SCOPED_TRACE(std::string(sim::modelName(model)) + (autoMode ? ", Auto" : ", Manual"));
            if (autoMode)
                chooseAuto();
            else
                runner().RadioButton1Click();
            runner().Button8Click();
            EXPECT_EQ(sent(), bytes(kIdnBytes));
            EXPECT_EQ(status(), "Unit connected and sequence do not match");
            EXPECT_EQ(st().stepIndex, -1);
            EXPECT_TRUE(f()->Button8->isEnabled());
        }
    }
}

TEST_F(RunStart, NoReplyToTheIdentification) {
    chooseAuto();
    serial.muted = true;
    runner().Button8Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes));
    EXPECT_EQ(status(), "No PSU detected - Sequence aborted");
    EXPECT_EQ(st().connectedModel, 0);
    expectIdle();
}

TEST_F(AutoRun, StopSendsNothingAndReturnsToIdle) {
    steps(3);
    chooseAuto();
    f()->CheckBox4->setChecked(true);
    runner().Button8Click();
    runner().Timer2Timer();
    sent();

    runner().Button5Click();
    EXPECT_EQ(sent(), "") << "no \"OFF\" on Stop, whatever Auto DC OFF says";
    EXPECT_EQ(status(), "Sequence Aborted");
    EXPECT_EQ(f()->Edit9->text(), "");
    EXPECT_EQ(f()->Panel1->text(), ". . .");
    EXPECT_EQ(f()->Panel2->text(), ". . .");
    EXPECT_EQ(st().commsFault, 0);
    EXPECT_TRUE(ctx().Form6->Button1->isEnabled());
    EXPECT_TRUE(f()->Edit7->isEnabled()) << "Auto is chosen";
    expectIdle();

    runner().Timer2Timer();
    EXPECT_EQ(sent(), "");
}

// The link times out in the poll after a step: the tick sends nothing more, the run is
// over with stepIndex -1 and no timer of the run is armed again.
TEST_F(AutoRun, ATimeOutInsideATickEndsTheRunThere) {
    struct Case {
        const char* name;
        int steps;
        int ticksBefore; // healthy ticks before the silent one
        std::string silentTick;
    } cases[] = {
        {"poll after step 2 of five", 5, 0, step(2) + "out?\r"},
        {"poll after the last step's first send", 3, 1, step(3) + "out?\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restartWith("1,1,0");
        steps(c.steps);
        chooseAuto();
        f()->CheckBox4->setChecked(true);
        runner().Button8Click();
        for (int i = 0; i < c.ticksBefore; ++i)
            runner().Timer2Timer();
        sent();

        serial.muted = true;
        runner().Timer2Timer();
        EXPECT_EQ(sent(), bytes(c.silentTick)) << "nothing after the failed exchange";
        EXPECT_EQ(status(), "No communication with PSU");
        EXPECT_EQ(st().stepIndex, -1);
        EXPECT_FALSE(f()->Timer2->enabled());
        EXPECT_FALSE(f()->Timer1->enabled());
        EXPECT_FALSE(ctx().Form6->Button1->isEnabled());
        EXPECT_TRUE(f()->Button8->isEnabled());
        EXPECT_TRUE(f()->CheckBox5->isEnabled());
        EXPECT_TRUE(ctx().Form2->StringGrid1->isEnabled());
        EXPECT_TRUE(f()->Timer3->enabled());

        serial.muted = false;
        runner().Timer2Timer(); // no further tick does anything
        EXPECT_EQ(sent(), "");
        EXPECT_EQ(st().stepIndex, -1);
    }
}

TEST_F(RunStart, ATimeOutInTheFirstStepsPollLeavesTheWindowIdle) {
    for (bool autoMode : {true, false}) {
        SCOPED_TRACE(autoMode ? "Auto" : "Manual");
        restartWith("1,1,0");
        steps(3);
        if (autoMode)
            chooseAuto();
        // The supply identifies itself, then falls silent.
        auto answer = serial.peer;
        serial.peer = [&](std::string_view chunk, std::string& reply) {
            answer(chunk, reply);
            if (chunk == "out?")
                serial.muted = true;
        };
        runner().Button8Click();
        serial.peer = answer;
        EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + "out?\r"));
        EXPECT_EQ(status(), "No communication with PSU");
        EXPECT_EQ(st().stepIndex, -1);
        EXPECT_FALSE(f()->Timer1->enabled());
        EXPECT_FALSE(f()->Timer2->enabled());
        EXPECT_TRUE(f()->Timer3->enabled());
        EXPECT_TRUE(f()->Button8->isEnabled());
        EXPECT_FALSE(f()->Button5->isEnabled());
        EXPECT_TRUE(f()->File1->menuAction()->isEnabled()) << "nothing was locked";
        EXPECT_TRUE(ctx().Form2->StringGrid1->isEnabled());
        EXPECT_TRUE(ctx().Form3->isEnabled());
        EXPECT_TRUE(f()->RadioButton1->isEnabled());
        serial.muted = false;
        runner().Timer2Timer();
        EXPECT_EQ(sent(), "");
    }
}

// Moving the grid's current row checks the cell it leaves; a loaded value above the
// limit brings a message box, whose own event loop delivers a step tick that falls due
// meanwhile. That tick must not run inside the one that showed the box: it comes once,
// right after it, so the supply gets every step whole and in order.
TEST_F(AutoRun, ATickDueWhileAMessageBoxIsOpenComesAfterTheTick) {
    steps(4);
    table().setCell(VoltsColumn, 2, "40.00"); // above model 1's limit, as a file may hold it
    chooseAuto();
    runner().Button8Click();
    runner().Timer2Timer(); // step 2, "40.00" as it stands
    sent();

    // The box shown when step 2's cell is left: a tick falls due while it is open.
    auto leave = std::move(table().onCurrentCellChanging);
    int boxes = 0;
    table().onCurrentCellChanging = [&](CellPos from, CellPos to) {
        leave(from, to);
        if (prompts.count(std::string("error:") + kTextValueExceeds) > boxes) {
            ++boxes;
            runner().Timer2Timer();
        }
    };
    runner().Timer2Timer();
    table().onCurrentCellChanging = std::move(leave);

    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(table().cell(VoltsColumn, 2), "0.00");
    // Step 3 whole, then the tick that fell due: step 4 twice.
    EXPECT_EQ(sent(), bytes(step(3) + kPollOff + step(4) + kPollOff + step(4) + kPollOff));
    EXPECT_EQ(st().stepIndex, 5);
    EXPECT_EQ(table().currentRow(), 4);
    expectAutoRunning();
    runner().Timer2Timer();
    EXPECT_EQ(status(), "Sequence Complete");
    expectIdle();
}

TEST_F(AutoRun, CellTextsAreCutToNineCharacters) {
    table().replaceSteps({{"1.00", "0.10", "short"}, {"00000001.5", "0.50000000000", "long"}});
    chooseAuto();
    runner().Button8Click();
    sent();
    runner().Timer2Timer();
    const std::string wire = sent();
    const std::string cut = bytes(stepBytes("00000001.", "0.5000000"));
    EXPECT_EQ(wire.substr(0, cut.size()), cut);
}

TEST_F(AutoRun, HiddenAutoStepButtonStartsDirectly) {
    steps(2);
    chooseAuto();
    f()->Button7->setEnabled(true);
    runner().Button7Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + kPollOff));
    expectAutoRunning();
    EXPECT_FALSE(f()->Button6->isEnabled());
    EXPECT_FALSE(f()->Button7->isEnabled());
    runner().Button5Click();
    EXPECT_TRUE(f()->Button6->isEnabled());
    EXPECT_TRUE(f()->Button7->isEnabled());
}

TEST_F(RunStart, ModeChoiceAndTheStepTimeUnit) {
    EXPECT_TRUE(f()->RadioButton1->isChecked());
    EXPECT_FALSE(f()->Label3->isHidden()) << "at start-up \"ms\" is shown";
    EXPECT_FALSE(f()->Edit7->isEnabled());

    chooseAuto();
    EXPECT_TRUE(f()->RadioButton2->isChecked());
    EXPECT_TRUE(f()->Edit7->isEnabled());
    EXPECT_TRUE(f()->UpDown3->isEnabled());

    runner().RadioButton1Click();
    EXPECT_TRUE(f()->RadioButton1->isChecked());
    EXPECT_FALSE(f()->RadioButton2->isChecked());
    EXPECT_FALSE(f()->Edit7->isEnabled());
    EXPECT_FALSE(f()->UpDown3->isEnabled());
    EXPECT_TRUE(f()->Label3->isHidden());

    // The real radio button: Auto brings "ms" back with the step time.
    f()->RadioButton2->click();
    EXPECT_TRUE(f()->RadioButton2->isChecked());
    EXPECT_TRUE(f()->Edit7->isEnabled());
    EXPECT_FALSE(f()->Label3->isHidden());
}

TEST_F(RunStart, StepTimeAndPassCountTakeOnlyDigits) {
    chooseAuto();
    for (QLineEdit* e : {f()->Edit7, f()->Edit8}) {
        e->clear();
        QTest::keyClicks(e, "1a2-3.4 5+e");
        EXPECT_EQ(e->text(), "12345");
        QTest::keyClick(e, Qt::Key_Backspace);
        EXPECT_EQ(e->text(), "1234");
        QTest::keyClicks(e, "999999"); // no maximum length
        EXPECT_EQ(e->text(), "1234999999");
    }
    for (char16_t key : {u'0', u'9', char16_t(8)}) {
        char16_t k = key;
        runner().Edit7KeyPress(k);
        EXPECT_EQ(k, key);
        k = key;
        runner().Edit8KeyPress(k);
        EXPECT_EQ(k, key);
    }
    for (char16_t key : {u'.', u'-', u'a', char16_t(13), char16_t(27), u' '}) {
        char16_t k = key;
        runner().Edit7KeyPress(k);
        EXPECT_EQ(k, 0);
        k = key;
        runner().Edit8KeyPress(k);
        EXPECT_EQ(k, 0);
    }
}

TEST_F(ManualRun, PlusWalksTheStepsAndCompletes) {
    steps(3);
    f()->CheckBox4->setChecked(true);

    runner().Button8Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + kPollOff));
    EXPECT_EQ(status(), "Sequence Running");
    EXPECT_EQ(f()->Edit9->text(), "step 1");
    EXPECT_FALSE(f()->Button4->isEnabled()) << "\"-\" waits for the first \"+\"";
    expectManualRunning();

    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(2))) << "no poll: the next Timer1 tick polls";
    EXPECT_EQ(st().stepIndex, 2);
    EXPECT_EQ(f()->Edit4->text(), "2");
    EXPECT_EQ(f()->Edit9->text(), "step 2");
    EXPECT_TRUE(f()->Button4->isEnabled());
    expectManualRunning();

    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(3)));
    expectManualRunning();

    runner().Button3Click();
    EXPECT_EQ(sent(), bytes("OFF\r"));
    EXPECT_EQ(status(), "Sequence Complete");
    EXPECT_EQ(f()->Edit9->text(), "");
    EXPECT_EQ(f()->Panel1->text(), ". . .");
    EXPECT_FALSE(f()->UpDown1->isEnabled());
    EXPECT_FALSE(f()->UpDown2->isEnabled());
    expectIdle();

    // The buttons are off now; even a press that came anyway sends nothing.
    runner().Button3Click();
    runner().Button4Click();
    EXPECT_EQ(sent(), "");
    EXPECT_FALSE(f()->Timer1->enabled());
}

TEST_F(ManualRun, MinusNeverLeavesThePass) {
    steps(3);
    loop("2");
    runner().Button8Click();
    sent();

    runner().Button3Click(); // step 2
    runner().Button4Click();
    EXPECT_EQ(sent(), bytes(step(2) + step(1)));
    EXPECT_EQ(st().stepIndex, 1);
    EXPECT_TRUE(f()->Button4->isEnabled());
    EXPECT_TRUE(f()->Timer1->enabled());
    runner().Button4Click();
    EXPECT_EQ(sent(), "") << "no wrap to the last step";
    EXPECT_EQ(st().stepIndex, 1);

    runner().Button3Click();
    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(2) + step(3)));
    runner().Button3Click(); // past the last step: the second pass
    EXPECT_EQ(sent(), bytes(step(1)));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 2");
    EXPECT_EQ(st().loopsLeft, 0);
    runner().Button4Click();
    EXPECT_EQ(sent(), "") << "no way back into the first pass";
    EXPECT_EQ(st().stepIndex, 1);

    runner().Button3Click();
    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(2) + step(3)));
    expectManualRunning();
    runner().Button3Click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(status(), "Sequence Complete");
    expectIdle();
}

TEST_F(ManualRun, OneStepIsRepeatedOncePerPassAndOnGoesOutOnce) {
    steps(1);
    loop("3");
    f()->CheckBox3->setChecked(true);
    runner().Button8Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + "ON\r" + kPollOn));

    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(1)));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 2");
    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(1)));
    EXPECT_EQ(status(), "Sequence Running:- Loop count = 3");
    expectManualRunning();
    runner().Button3Click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(status(), "Sequence Complete");
    expectIdle();
}

TEST_F(ManualRun, StopAndTheRunsOwnPoll) {
    steps(3);
    f()->CheckBox4->setChecked(true);
    runner().Button8Click();
    runner().Button3Click();
    sent();

    link().Timer1Timer(); // the 333 ms poll of the run
    EXPECT_EQ(sent(), bytes(kPollOff));
    EXPECT_TRUE(f()->Timer1->enabled());

    runner().Button5Click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(status(), "Sequence Aborted");
    EXPECT_FALSE(f()->UpDown1->isEnabled());
    expectIdle();
}

TEST_F(ManualRun, ATimeOutInThePollEndsTheRun) {
    steps(3);
    runner().Button8Click();
    sent();
    serial.muted = true;
    link().Timer1Timer();
    EXPECT_EQ(sent(), bytes("out?\r"));
    EXPECT_EQ(status(), "No communication with PSU");
    EXPECT_EQ(st().stepIndex, -1);
    EXPECT_FALSE(f()->Timer1->enabled());
    EXPECT_FALSE(f()->Button3->isEnabled());
    EXPECT_FALSE(f()->Button4->isEnabled());
    EXPECT_TRUE(f()->Button8->isEnabled());
    runner().Button3Click();
    EXPECT_EQ(sent(), "");
    EXPECT_FALSE(f()->Timer1->enabled());
}

TEST_F(ManualRun, HiddenManualStepButtonStartsDirectly) {
    steps(2);
    runner().Button6Click();
    EXPECT_EQ(sent(), bytes(kIdnBytes + "\r" + step(1) + kPollOff));
    expectManualRunning();
}

} // namespace

// Comments are 8-bit text; the running step's comment shows each byte as its character.
TEST_F(ManualRun, ShowsAnEightBitCommentAsItsCharacters) {
    steps(1);
    table().setCell(CommentColumn, 1,
                    "Pr\xFC"
                    "fung 5 \xB5"
                    "A");
    runner().Button8Click();
    EXPECT_EQ(f()->Edit9->text(), QString::fromUtf8("Prüfung 5 µA"));
}

// The front panel on the in-process fake supply: ON/OFF, the preset windows with their
// key filters and "Send", and the fine adjustment through the real spin buttons.
#include "RunFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include <QToolButton>
#include <clocale>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

class FrontPanelTest : public RunFixture {
protected:
    QLineEdit* voltsEntry() { return ctx().Form6->Edit1; }
    QLineEdit* ampsEntry() { return ctx().Form7->Edit1; }
    void clickUp(UpDown* u) { u->upButton()->click(); }
    void clickDown(UpDown* u) { u->downButton()->click(); }
};

TEST_F(FrontPanelTest, OnOffTogglesTheOutput) {
    panel().Button2Click();
    EXPECT_EQ(sent(), bytes("ON\r"));
    EXPECT_EQ(st().outputOn, 1);
    EXPECT_TRUE(supply().outputOn());
    panel().Button2Click();
    EXPECT_EQ(sent(), bytes("OFF\r"));
    EXPECT_EQ(st().outputOn, 0);
    EXPECT_FALSE(f()->Timer1->enabled()) << "no run, no run poll";

    // It toggles what the last poll reported.
    supply().setOutputOn(true);
    link().Timer3Timer();
    sent();
    panel().Button2Click();
    EXPECT_EQ(sent(), bytes("OFF\r"));
}

TEST_F(FrontPanelTest, OnOffWithALinkFaultSendsNothingButStartsTheRunPoll) {
    st().commsFault = 1;
    panel().Button2Click();
    EXPECT_EQ(sent(), "");
    EXPECT_EQ(st().outputOn, 0);
    EXPECT_FALSE(f()->Timer1->enabled());

    // During an automatic run ON/OFF starts the 333 ms poll, which the completion stops.
    steps(2);
    chooseAuto();
    runner().Button8Click();
    sent();
    st().commsFault = 1;
    panel().Button2Click();
    EXPECT_EQ(sent(), "");
    EXPECT_TRUE(f()->Timer1->enabled());
    st().commsFault = 0;
    panel().Button2Click();
    EXPECT_EQ(sent(), bytes("ON\r"));
    runner().Timer2Timer();
    runner().Timer2Timer();
    EXPECT_EQ(status(), "Sequence Complete");
    EXPECT_FALSE(f()->Timer1->enabled());
}

TEST_F(FrontPanelTest, SuspendedCommunicationOnlySaysSo) {
    st().commsSuspended = 1;
    f()->Timer3->setEnabled(false);
    using Handler = void (FrontPanel::*)();
    for (Handler h :
         {&FrontPanel::Button2Click, &FrontPanel::Button1Click, &FrontPanel::Button9Click}) {
        f()->setStatus("Waiting");
        f()->Timer3->setEnabled(false);
        (panel().*h)();
        EXPECT_EQ(status(), "Comms Suspended");
        EXPECT_TRUE(f()->Timer3->enabled());
    }
    EXPECT_TRUE(serial.calls.empty());
    EXPECT_TRUE(ctx().Form6->isHidden());
    EXPECT_TRUE(ctx().Form7->isHidden());
}

TEST_F(FrontPanelTest, VSetAndISetShowTheirWindows) {
    panel().Button1Click();
    EXPECT_FALSE(ctx().Form6->isHidden());
    EXPECT_TRUE(ctx().Form7->isHidden());
    panel().Button9Click();
    EXPECT_FALSE(ctx().Form7->isHidden());
    EXPECT_TRUE(serial.calls.empty());
}

TEST_F(FrontPanelTest, PresetsAreSentAsTypedUpToTheModelsLimit) {
    struct Case {
        bool volts;
        const char* entry;
        const char* sent; // nothing: refused
    } cases[] = {
        {true, "12", "v 12\r"},  {true, "30.8", "v 30.8\r"},  {true, "30.81", nullptr},
        {true, "", "v 0.00\r"},  {true, "0", "v 0.00\r"},     {true, "0.0", "v 0.00\r"},
        {true, ".5", "v .5\r"},  {false, "2.06", "i 2.06\r"}, {false, "2.061", nullptr},
        {false, "", "i 0.01\r"}, {false, "0", "i 0.01\r"},    {false, "1", "i 1\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.volts ? "volts '" : "amps '") + c.entry + "'");
        QLineEdit* entry = c.volts ? voltsEntry() : ampsEntry();
        QPushButton* send = c.volts ? ctx().Form6->Button1 : ctx().Form7->Button1;
        entry->setText(c.entry);
        prompts.clear();
        send->click();
        if (c.sent) {
            EXPECT_EQ(sent(), bytes(c.sent));
            EXPECT_TRUE(prompts.shown.empty());
            EXPECT_EQ(entry->text(), "");
            const std::string value = std::string(c.sent).substr(2, std::string(c.sent).size() - 3);
            EXPECT_EQ(c.volts ? st().voltsText.str() : st().ampsText.str(), value);
        } else {
            EXPECT_EQ(sent(), "");
            EXPECT_EQ(prompts.shown,
                      (std::vector<std::string>{"beep", "error:Value Exceeds Maximum Setting"}));
            EXPECT_EQ(entry->text(), c.entry) << "the entry keeps what was typed";
        }
    }
}

TEST_F(FrontPanelTest, PresetLimitsFollowTheModel) {
    restartWith("2,1,0");
    voltsEntry()->setText("35.4");
    ctx().Form6->Button1->click();
    ampsEntry()->setText("5.05");
    ctx().Form7->Button1->click();
    EXPECT_EQ(sent(), bytes("v 35.4\ri 5.05\r"));
}

TEST_F(FrontPanelTest, PresetKeyFilters) {
    struct Case {
        bool volts;
        const char* typed;
        const char* entry;
    } cases[] = {
        {true, "12.345678", "12.345"}, // a seventh character is ignored
        {false, "1.23456", "1.234"},   // a sixth in the amps entry
        {true, "1.2.3", "1.23"},       // a second "."
        {true, "-5", "5"},             // never a minus
        {false, "a1,b2 e-3", "123"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QLineEdit* entry = c.volts ? voltsEntry() : ampsEntry();
        entry->clear();
        QTest::keyClicks(entry, c.typed);
        EXPECT_EQ(entry->text(), c.entry);
    }
    // Backspace always passes, even at the longest entry.
    voltsEntry()->setText("123456");
    QTest::keyClick(voltsEntry(), Qt::Key_Backspace);
    EXPECT_EQ(voltsEntry()->text(), "12345");

    // Enter: kept out of the volts entry, passed on in the amps entry.
    QSignalSpy voltsEnter(voltsEntry(), &QLineEdit::returnPressed);
    QSignalSpy ampsEnter(ampsEntry(), &QLineEdit::returnPressed);
    QTest::keyClick(voltsEntry(), Qt::Key_Return);
    QTest::keyClick(ampsEntry(), Qt::Key_Return);
    EXPECT_EQ(voltsEnter.count(), 0);
    EXPECT_EQ(ampsEnter.count(), 1);
    EXPECT_EQ(sent(), "") << "Enter sends nothing";

    for (char16_t key : {char16_t(13), char16_t(27), char16_t(8), u'.', u'7'}) {
        char16_t k = key;
        panel().Form7Edit1KeyPress(k);
        EXPECT_EQ(k, key);
    }
    ampsEntry()->setText("1.5");
    char16_t k = u'.';
    panel().Form7Edit1KeyPress(k);
    EXPECT_EQ(k, 0);
    k = 13;
    panel().Form6Edit1KeyPress(k);
    EXPECT_EQ(k, 0);
}

TEST_F(FrontPanelTest, PastedEntriesAreCutAndKeptToNumbers) {
    struct Case {
        bool volts;
        const char* pasted;
        const char* entry;
    } cases[] = {
        {true, "12.3456789", "12.345"},
        {false, "1.23456789", "1.234"},
        {true, "123456789012345", "123456"},
        {true, "-5", ""}, // refused: the key filter would not let it in either
        {true, "12abc", ""},
        {false, "1.2.3", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pasted);
        QLineEdit* entry = c.volts ? voltsEntry() : ampsEntry();
        entry->clear();
        QApplication::clipboard()->setText(c.pasted);
        entry->paste();
        EXPECT_EQ(entry->text(), c.entry);
    }
    voltsEntry()->clear();
    voltsEntry()->insert("30.80000");
    ctx().Form6->Button1->click();
    EXPECT_EQ(sent(), bytes("v 30.800\r"));
}

TEST_F(FrontPanelTest, AfterASendFineAdjustmentStartsFromThePreset) {
    f()->UpDown1->setEnabled(true);
    voltsEntry()->setText("12");
    ctx().Form6->Button1->click();
    EXPECT_EQ(sent(), bytes("v 12\r")) << "sent without decimals";
    clickUp(f()->UpDown1);
    EXPECT_EQ(sent(), bytes("v 12.01\r"));
}

TEST_F(FrontPanelTest, FineAdjustmentStepsByOneHundredthWithinTheLimits) {
    f()->UpDown1->setEnabled(true);
    f()->UpDown2->setEnabled(true);
    struct Case {
        bool volts;
        bool up;
        const char* from;
        const char* sent;
    } cases[] = {
        {true, true, "12.50", "v 12.51\r"}, {true, false, "12.50", "v 12.49\r"},
        {true, true, "30.80", "v 30.80\r"}, {true, true, "30.79", "v 30.80\r"},
        {true, false, "0.00", "v 0.00\r"},  {true, false, "0.01", "v 0.00\r"},
        {true, true, "", "v 0.01\r"},       {false, true, "1.00", "i 1.01\r"},
        {false, false, "0.01", "i 0.01\r"}, {false, false, "0.02", "i 0.01\r"},
        {false, true, "2.06", "i 2.06\r"},  {false, false, "0.00", "i 0.01\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.volts ? "volts " : "amps ") +
                     (c.up ? "up from '" : "down from '") + c.from + "'");
        if (c.volts)
            st().voltsText = c.from;
        else
            st().ampsText = c.from;
        UpDown* spin = c.volts ? f()->UpDown1 : f()->UpDown2;
        if (c.up)
            clickUp(spin);
        else
            clickDown(spin);
        EXPECT_EQ(sent(), bytes(c.sent));
        const std::string value = std::string(c.sent).substr(2, std::string(c.sent).size() - 3);
        EXPECT_EQ(c.volts ? st().voltsText.str() : st().ampsText.str(), value);
        EXPECT_EQ(spin->buddy()->text(), "0") << "the spin button starts from 0 again";
    }
}

TEST_F(FrontPanelTest, FineAdjustmentShowsTheSettingInTheRegulatedReadout) {
    f()->UpDown1->setEnabled(true);
    f()->UpDown2->setEnabled(true);
    f()->Panel1->setText("reading");
    f()->Panel2->setText("reading");
    st().voltsText = "5.00";
    st().ampsText = "1.00";

    st().currentLimit = 0; // voltage regulation: the volts readout shows the setting
    clickUp(f()->UpDown1);
    clickUp(f()->UpDown2);
    EXPECT_EQ(f()->Panel1->text(), "5.01");
    EXPECT_EQ(f()->Panel2->text(), "reading");

    st().currentLimit = 1; // current limit: the amps readout shows the limit
    clickUp(f()->UpDown1);
    clickUp(f()->UpDown2);
    EXPECT_EQ(f()->Panel1->text(), "5.01");
    EXPECT_EQ(f()->Panel2->text(), "1.02");
    EXPECT_EQ(sent(), bytes("v 5.01\ri 1.01\rv 5.02\ri 1.02\r"));
}

TEST_F(FrontPanelTest, SpinButtonsWorkOnlyInAManualRunAndTheNextStepOverwrites) {
    clickUp(f()->UpDown1);
    EXPECT_EQ(sent(), "") << "disabled while idle";

    steps(3);
    runner().Button8Click(); // manual
    sent();
    clickUp(f()->UpDown1);
    clickUp(f()->UpDown1);
    clickDown(f()->UpDown2);
    EXPECT_EQ(sent(), bytes("v 1.01\rv 1.02\ri 0.09\r"));
    runner().Button3Click();
    EXPECT_EQ(sent(), bytes(step(2)));
    EXPECT_EQ(st().voltsText.str(), "2.00");
    EXPECT_EQ(st().ampsText.str(), "0.20");

    runner().Button5Click();
    clickUp(f()->UpDown1);
    EXPECT_EQ(sent(), "") << "disabled again after Stop";

    // An automatic run leaves them disabled.
    chooseAuto();
    runner().Button8Click();
    sent();
    clickUp(f()->UpDown2);
    EXPECT_EQ(sent(), "");
}

TEST_F(FrontPanelTest, SendButtonsDuringRuns) {
    steps(2);
    runner().Button8Click(); // manual: the preset windows can send
    sent();
    voltsEntry()->setText("3");
    ctx().Form6->Button1->click();
    EXPECT_EQ(sent(), bytes("v 3\r"));
    runner().Button5Click();

    chooseAuto();
    runner().Button8Click();
    sent();
    EXPECT_FALSE(ctx().Form6->Button1->isEnabled());
    EXPECT_FALSE(ctx().Form7->Button1->isEnabled());
    voltsEntry()->setText("3");
    ctx().Form6->Button1->click();
    EXPECT_EQ(sent(), "");
    runner().Button5Click();
    EXPECT_TRUE(ctx().Form6->Button1->isEnabled());
}

} // namespace

namespace {

// Under a desktop locale with a decimal comma, "." stays the decimal point on the wire.
TEST_F(FrontPanelTest, DecimalCommaDesktopStillSendsAPoint) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (scripts/setup makes one)";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    f()->UpDown1->setEnabled(true);
    voltsEntry()->setText("12.5");
    ctx().Form6->Button1->click();
    clickUp(f()->UpDown1);
    EXPECT_EQ(sent(), bytes("v 12.5\rv 12.51\r"));
    st().outputOn = 0;
    st().currentLimit = 0;
    serial.sim()->engine.setOutputOn(false);
    link().PollStatus();
    EXPECT_EQ(f()->Panel1->text(), "12.51");
    std::setlocale(LC_ALL, old.c_str());
    QLocale::setDefault(QLocale::c());
}

} // namespace

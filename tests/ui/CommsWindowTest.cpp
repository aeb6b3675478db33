// The communication configuration window on the fake serial control: the port list and
// its tool tips, port choice by picking and typing, the link test, the line-end box,
// suspend and resume, and closing.
#include "ui/CommsWindow.h"
#include "AppFixture.h"
#include "ScriptedSupply.h"
#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

using Calls = std::vector<std::string>;

class CommsWindowTest : public AppFixture {
protected:
    void startWith(const std::string& config, std::set<int> ports) {
        app.reset();
        serial.existing = std::move(ports);
        writeConfig(config);
        start();
    }
    TForm3* w() { return ctx().Form3; }
    QComboBox* box() { return w()->comport_combo; }
    std::vector<std::string> entries() {
        std::vector<std::string> out;
        for (int i = 0; i < box()->count(); ++i)
            out.push_back(box()->itemText(i).toStdString());
        return out;
    }
    std::string edit1() { return w()->Edit1->text().toStdString(); }
    // The user picks entry `index` of the list, as with the arrow keys.
    void pick(int index) {
        while (box()->currentIndex() < index)
            QTest::keyClick(box(), Qt::Key_Down);
        while (box()->currentIndex() > index)
            QTest::keyClick(box(), Qt::Key_Up);
    }
};

TEST_F(CommsWindowTest, ListsThePresentPortsWithTheirDevicesAsToolTips) {
    startWith("1,0,1", {1, 3});
    EXPECT_EQ(entries(), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(box()->itemData(0, Qt::ToolTipRole).toString(), "/dev/fake1");
    EXPECT_EQ(box()->itemData(1, Qt::ToolTipRole).toString(), "/dev/fake3");
    EXPECT_EQ(box()->currentText(), "1");
    EXPECT_EQ(box()->toolTip(), "/dev/fake1");
    EXPECT_EQ(w()->baud_combo->currentText(), "9600");
    EXPECT_FALSE(w()->baud_combo->isEnabled());
}

TEST_F(CommsWindowTest, TheListLooksAtCom1ToCom256Only) {
    startWith("1,0,1", {0, 1, 256, 257, 1000});
    EXPECT_EQ(entries(), (std::vector<std::string>{"1", "256"}));
}

TEST_F(CommsWindowTest, PickingTheSecondPortOpensItAndCloseRecordsIt) {
    startWith("1,0,1", {1, 3});
    serial.clearRecords();
    pick(1);
    EXPECT_EQ(serial.calls, (Calls{"PortReset", "PortConfigure(3)"}));
    EXPECT_TRUE(serial.open);
    EXPECT_EQ(serial.openPort, 3);
    EXPECT_EQ(box()->toolTip(), "/dev/fake3");
    EXPECT_EQ(st().comPort, 0) << "choosing a port does not change comPort";
    ctx().Form1->close();
    EXPECT_EQ(readConfigFile(), "1,3,1");
}

TEST_F(CommsWindowTest, TheConfiguredPortIsSelectedAndOpenedOnceMore) {
    startWith("1,3,0", {1, 3});
    EXPECT_EQ(box()->currentText(), "3");
    // Start-up's probe and opening, then the window's own port choice.
    EXPECT_EQ(serial.calls, (Calls{"PortConfigure(3)", "PortReset", "PortReset", "PortConfigure(3)",
                                   "PortReset", "PortConfigure(3)"}));
    EXPECT_TRUE(serial.open);
    EXPECT_FALSE(w()->CheckBox1->isChecked());
    EXPECT_EQ(st().lineEndMode, 0);
}

TEST_F(CommsWindowTest, AConfiguredPortNotListedLeavesTheFirstShownButClosed) {
    // Port 4's adapter was unplugged: start-up forgets it and the window opens nothing.
    startWith("1,4,1", {1, 3});
    EXPECT_EQ(st().comPort, 0);
    EXPECT_EQ(box()->currentText(), "1");
    EXPECT_FALSE(serial.open);
    for (const std::string& call : serial.calls)
        EXPECT_NE(call, "PortConfigure(1)");
    ctx().Form1->close();
    EXPECT_EQ(readConfigFile(), "1,1,1") << "the next start opens the first listed port";
}

TEST_F(CommsWindowTest, NoPortGivesTheSingleEntryAndPickingItReleasesThePort) {
    startWith("1,0,1", {});
    EXPECT_EQ(entries(), (std::vector<std::string>{"No COM Port found"}));
    serial.clearRecords();
    emit box()->activated(0);
    EXPECT_EQ(serial.calls, (Calls{"PortReset"}));
    EXPECT_TRUE(prompts.shown.empty());
    ctx().Form1->close();
    EXPECT_EQ(readConfigFile(), "1,0,1");
}

TEST_F(CommsWindowTest, TypingOneThenTwoOpensPortOneThenPortTwelve) {
    startWith("1,0,1", {1, 12});
    box()->lineEdit()->clear();
    serial.clearRecords();
    QTest::keyClicks(box()->lineEdit(), "12");
    EXPECT_EQ(serial.calls,
              (Calls{"PortReset", "PortConfigure(1)", "PortReset", "PortConfigure(12)"}));
    EXPECT_EQ(serial.openPort, 12);
    EXPECT_EQ(box()->currentText(), "12");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CommsWindowTest, TypedTextThatIsNoNumberIsReportedAndThePortStaysReleased) {
    startWith("1,1,1", {1});
    ASSERT_TRUE(serial.open);
    QLineEdit* edit = box()->lineEdit();
    serial.clearRecords();
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(prompts.shown, (Calls{"exception:'1x' is not a valid integer value"}));
    EXPECT_EQ(serial.calls, (Calls{"PortReset"}));
    EXPECT_FALSE(serial.open);

    // Emptying the box: the empty text is no number either.
    prompts.clear();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(prompts.shown, (Calls{"exception:'' is not a valid integer value"}));
    EXPECT_FALSE(serial.open);
}

TEST_F(CommsWindowTest, ANumberBeyondSixteenBitsOpensNoOtherPort) {
    startWith("1,1,1", {1});
    box()->lineEdit()->clear();
    serial.clearRecords();
    QTest::keyClicks(box()->lineEdit(), "65537"); // would wrap round to port 1
    EXPECT_EQ(serial.calls.back(), "PortReset");
    EXPECT_FALSE(serial.open);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CommsWindowTest, LineEndBoxFollowsTheConfigurationAndSetsTheMode) {
    startWith("1,1,1", {1});
    EXPECT_TRUE(w()->CheckBox1->isChecked());
    EXPECT_EQ(st().lineEndMode, 1);
    w()->CheckBox1->click();
    EXPECT_EQ(st().lineEndMode, 0);
    serial.clearRecords();
    w()->Button1->click();
    EXPECT_EQ(visible(serial.wire), "*idn?\\r") << "the next command uses the new line end";
    w()->CheckBox1->click();
    EXPECT_EQ(st().lineEndMode, 1);
}

TEST_F(CommsWindowTest, SuspendAndResumeToggleTheFlagAndCaptions) {
    startWith("1,1,1", {1});
    w()->Button2->click();
    EXPECT_EQ(st().commsSuspended, 1);
    EXPECT_EQ(w()->Button2->text(), "Resume");
    EXPECT_EQ(w()->windowTitle(), "Communication Suspended");
    EXPECT_TRUE(serial.open) << "suspending keeps the port";
    w()->Button2->click();
    EXPECT_EQ(st().commsSuspended, 0);
    EXPECT_EQ(w()->Button2->text(), "Suspend");
    EXPECT_EQ(w()->windowTitle(), "Communication Configuration");
}

TEST_F(CommsWindowTest, TestWhileSuspendedDoesNothing) {
    startWith("1,1,1", {1});
    w()->Button2->click();
    w()->Edit1->setText("earlier");
    st().commsFault = 1;
    serial.clearRecords();
    w()->Button1->click();
    EXPECT_TRUE(serial.calls.empty());
    EXPECT_EQ(edit1(), "earlier");
    EXPECT_EQ(st().commsFault, 1);
}

TEST_F(CommsWindowTest, TestWithASilentSupplyTimesOut) {
    startWith("1,1,1", {1});
    serial.muted = true;
    serial.clearRecords();
    w()->Button1->click();
    EXPECT_EQ(serial.calls, (Calls{"PortWrite(*idn?)", "PortWrite(\\n)", "PortRead(40)"}));
    EXPECT_EQ(edit1(), "Timed Out");
    EXPECT_EQ(ctx().Form1->status(), "No communication with PSU");
    EXPECT_EQ(st().commsFault, 1);
}

TEST_F(CommsWindowTest, TestShowsTheIdentificationWithoutItsLineEnd) {
    startWith("1,1,1", {1});
    st().commsFault = 1;
    std::string duringWait;
    {
        ScriptedSupply supply(serial);
        supply.replies = {{"*idn?", "BRENNIK,KM 417R,0,1.12\n"}};
        supply.onLine = [&](const std::string&) { duringWait = edit1(); };
        w()->Button1->click();
    }
    EXPECT_EQ(duringWait, "Connecting...");
    EXPECT_EQ(edit1(), "BRENNIK,KM 417R,0,1.12");
    EXPECT_EQ(st().commsFault, 0);
    EXPECT_EQ(serial.calls.back(), "PortRead(40)");

    // Trailing blanks and control characters go; those inside stay.
    ScriptedSupply supply(serial);
    supply.replies = {{"*idn?", "ACME  PS\t1 \t\r\x01\n"}};
    w()->Button1->click();
    EXPECT_EQ(edit1(), "ACME  PS\t1");
}

TEST_F(CommsWindowTest, TestUsesThePortAsItIs) {
    startWith("1,1,1", {1});
    serial.PortReset();
    serial.clearRecords();
    w()->Button1->click();
    EXPECT_EQ(edit1(), "Timed Out") << "the test opens no port";
    for (const std::string& call : serial.calls)
        EXPECT_EQ(call.rfind("PortConfigure", 0), std::string::npos);
}

TEST_F(CommsWindowTest, ReopeningClearsTheTestTextAndKeepsTheList) {
    startWith("1,1,1", {1, 3});
    w()->show();
    w()->Button1->click();
    EXPECT_FALSE(edit1().empty());
    serial.existing = {1, 3, 5}; // a new adapter: the list is built once per run
    w()->close();
    EXPECT_TRUE(edit1().empty());
    EXPECT_FALSE(w()->isVisible());
    w()->show();
    EXPECT_TRUE(edit1().empty());
    EXPECT_EQ(entries(), (std::vector<std::string>{"1", "3"}));
    EXPECT_TRUE(serial.open) << "closing the window leaves the port";
    w()->close();
}

} // namespace

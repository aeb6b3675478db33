// The whole program's link end to end: the real serial control on the pseudo-terminal of
// kadenzo-psu-sim, whose console switches the supply, mutes it or pulls its cable.
#include "SimAppFixture.h"
#include "link/Link.h"
#include "ui/CommsWindow.h"
#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

class LinkEndToEnd : public SimAppFixture {
protected:
    void SetUp() override { startProgram(); }

    Link& link() { return *ctx().link; }
    std::string panel1() { return f()->Panel1->text().toStdString(); }
    std::string panel2() { return f()->Panel2->text().toStdString(); }
    bool lit(Shape* lamp) { return lamp->brushColor() == lampOn(); }
    bool sendButtonsOn() { return ctx().Form6->Button1->isEnabled(); }

    // A console command, taken once the simulator has answered a "status" after it.
    void console(const std::string& line) {
        sim->command(line);
        sim->command("status");
        ASSERT_TRUE(sim->waitForLine("KM 417R").has_value()) << line << ": " << sim->errors();
    }
};

TEST_F(LinkEndToEnd, IdlePollKeepsReadoutsAndLampsInStepWithTheSupply) {
    link().sendCommand("v ", "12");
    link().sendCommand("i ", "1");
    console("output on");
    console("load 24");
    link().Timer3Timer();
    EXPECT_EQ(status(), "Waiting");
    EXPECT_TRUE(lit(f()->on_led));
    EXPECT_FALSE(lit(f()->lim_led));
    EXPECT_EQ(panel1(), "12.00"); // the setting
    EXPECT_EQ(panel2(), "0.500"); // the current at the output
    EXPECT_TRUE(sendButtonsOn());

    console("load 5"); // 12 V would need 2.4 A: the supply holds 1 A
    link().Timer3Timer();
    EXPECT_TRUE(lit(f()->on_led));
    EXPECT_TRUE(lit(f()->lim_led));
    EXPECT_EQ(panel1(), "5.00"); // the voltage at the output
    EXPECT_EQ(panel2(), "1.00"); // the limit

    console("output off");
    link().Timer3Timer();
    EXPECT_FALSE(lit(f()->on_led));
    EXPECT_FALSE(lit(f()->lim_led));
    EXPECT_EQ(panel1(), "12.00");
    EXPECT_EQ(panel2(), "1.00");
    EXPECT_EQ(status(), "Waiting");
}

TEST_F(LinkEndToEnd, TheIdleTimerPollsOnItsOwn) {
    console("output on");
    f()->Timer3->setEnabled(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lit(f()->on_led); }, 3000));
    EXPECT_EQ(status(), "Waiting");
}

TEST_F(LinkEndToEnd, MuteGivesNoCommunicationAndUnmuteRecovers) {
    link().Timer3Timer();
    ASSERT_EQ(status(), "Waiting");
    console("mute");
    link().Timer3Timer();
    EXPECT_EQ(status(), "No communication with PSU");
    EXPECT_EQ(panel1(), ". . .");
    EXPECT_EQ(panel2(), ". . .");
    EXPECT_FALSE(sendButtonsOn());
    EXPECT_TRUE(f()->Timer3->enabled()) << "polling goes on";
    console("unmute");
    link().Timer3Timer();
    EXPECT_EQ(status(), "Waiting");
    EXPECT_TRUE(sendButtonsOn());
    EXPECT_EQ(panel1(), "0.00");
}

TEST_F(LinkEndToEnd, UnplugNeverFreezesAndTheLinkWorksAgainAfterPlug) {
    link().Timer3Timer();
    ASSERT_EQ(status(), "Waiting");

    sim->command("unplug");
    ASSERT_TRUE(sim->waitForLine("unplugged").has_value());
    QTest::qWait(50); // the window goes on handling events with the line hung up
    for (int tick = 0; tick < 3; ++tick) {
        link().Timer3Timer();
        EXPECT_EQ(status(), "No communication with PSU");
        QTest::qWait(10);
    }
    EXPECT_FALSE(serial->isOpen());
    EXPECT_TRUE(prompts.shown.empty());

    sim->command("plug");
    ASSERT_TRUE(sim->waitForLine("plugged").has_value());
    link().Timer3Timer();
    EXPECT_EQ(status(), "No communication with PSU") << "nothing reopens the port by itself";

    // The next identification (Start) opens the new terminal behind the same port.
    link().IdentifyInstrument();
    EXPECT_EQ(ctx().st.commsFault, 0);
    EXPECT_EQ(ctx().st.connectedModel, 1);
    link().Timer3Timer();
    EXPECT_EQ(status(), "Waiting");

    // Once more, and this time choosing the port in the configuration window reopens it.
    sim->command("unplug");
    ASSERT_TRUE(sim->waitForLine("unplugged").has_value());
    link().Timer3Timer();
    EXPECT_EQ(status(), "No communication with PSU");
    sim->command("plug");
    ASSERT_TRUE(sim->waitForLine("plugged").has_value());
    QComboBox* box = ctx().Form3->comport_combo;
    ASSERT_EQ(box->currentText(), "1");
    emit box->activated(0);
    EXPECT_TRUE(serial->isOpen());
    link().Timer3Timer();
    EXPECT_EQ(status(), "Waiting");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(LinkEndToEnd, CommsWindowTestShowsTheIdentification) {
    ctx().Form3->Button1->click();
    EXPECT_EQ(ctx().Form3->Edit1->text(), "BRENNIK,KM 417R,0,1.12");
    console("mute");
    ctx().Form3->Button1->click();
    EXPECT_EQ(ctx().Form3->Edit1->text(), "Timed Out");
    EXPECT_EQ(status(), "No communication with PSU");
}

} // namespace

#pragma once
// A whole program on the fake serial control with port 1 open, model 1 and the CR line
// end, for tests of the runner and the front panel. Ticks and polls are driven by
// calling their handlers; the bytes the supply received are taken event by event.
#include "AppFixture.h"
#include "SimPeer.h"
#include "link/Link.h"
#include "panel/FrontPanel.h"
#include "run/Runner.h"
#include "sequence/SequenceTable.h"
#include "ui/Forms.h"
#include "ui/SequenceEditor.h"
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

#include <string>
#include <vector>

namespace kadenzo::test {

// What the supply receives, with the CR line end.
inline std::string stepBytes(const std::string& volts, const std::string& amps) {
    return "v " + volts + "\ri " + amps + "\r";
}
inline const std::string kIdnBytes = "*idn?\r";
// PollStatus with the output off and no current limit, and with the output on.
inline const std::string kPollOff = "out?\rm?\r";
inline const std::string kPollOn = "out?\rm?\rio?\r";

class RunFixture : public AppFixture {
protected:
    void SetUp() override { restartWith("1,1,0"); }

    Runner& runner() { return *ctx().runner; }
    FrontPanel& panel() { return *ctx().panel; }
    Link& link() { return *ctx().link; }
    SequenceTable& table() { return ctx().editor->table(); }
    sim::Engine& supply() { return serial.sim()->engine; }

    // Steps "1.00"/"0.10"/"step 1", "2.00"/"0.20"/"step 2", ...
    void steps(int n) {
        std::vector<StepTexts> rows;
        for (int i = 1; i <= n; ++i)
            rows.push_back({std::to_string(i) + ".00", "0." + std::to_string(i) + "0",
                            "step " + std::to_string(i)});
        table().replaceSteps(rows);
    }
    static std::string step(int i) {
        return stepBytes(std::to_string(i) + ".00", "0." + std::to_string(i) + "0");
    }

    void chooseAuto() { runner().RadioButton2Click(); }
    void loop(const char* passes) {
        f()->CheckBox5->setChecked(true);
        f()->Edit8->setText(passes);
    }

    // The bytes the supply received since the last call, CR and LF made visible.
    std::string sent() {
        std::string bytes = visible(serial.wire);
        serial.clearRecords();
        return bytes;
    }
    static std::string bytes(const std::string& raw) { return visible(raw); }

    // The states of the controls that tell the run states apart.
    void expectIdle() {
        SCOPED_TRACE("idle");
        EXPECT_EQ(st().stepIndex, -1);
        EXPECT_TRUE(f()->Button8->isEnabled());
        EXPECT_FALSE(f()->Button5->isEnabled());
        EXPECT_FALSE(f()->Button3->isEnabled());
        EXPECT_FALSE(f()->Button4->isEnabled());
        EXPECT_TRUE(f()->CheckBox5->isEnabled());
        EXPECT_TRUE(f()->RadioButton1->isEnabled());
        EXPECT_TRUE(f()->Edit8->isEnabled());
        EXPECT_EQ(f()->Edit7->isEnabled(), f()->RadioButton2->isChecked());
        EXPECT_TRUE(f()->File1->menuAction()->isEnabled());
        EXPECT_TRUE(ctx().Form2->StringGrid1->isEnabled());
        EXPECT_TRUE(ctx().Form2->File1->menuAction()->isEnabled());
        EXPECT_TRUE(ctx().Form3->isEnabled());
        EXPECT_FALSE(f()->Timer1->enabled());
        EXPECT_FALSE(f()->Timer2->enabled());
        EXPECT_TRUE(f()->Timer3->enabled());
        EXPECT_EQ(f()->Edit4->text(), " ---");
        EXPECT_EQ(f()->ProgressBar1->value(), 0);
    }
    void expectAutoRunning() {
        SCOPED_TRACE("automatic run");
        EXPECT_GE(st().stepIndex, 1);
        EXPECT_FALSE(f()->Button8->isEnabled());
        EXPECT_TRUE(f()->Button5->isEnabled());
        EXPECT_FALSE(f()->Button3->isEnabled());
        EXPECT_FALSE(f()->CheckBox5->isEnabled());
        EXPECT_FALSE(f()->RadioButton2->isEnabled());
        EXPECT_FALSE(f()->Edit7->isEnabled());
        EXPECT_FALSE(f()->Edit8->isEnabled());
        EXPECT_FALSE(f()->File1->menuAction()->isEnabled());
        EXPECT_FALSE(ctx().Form2->StringGrid1->isEnabled());
        EXPECT_FALSE(ctx().Form2->File1->menuAction()->isEnabled());
        EXPECT_FALSE(ctx().Form2->I1->menuAction()->isEnabled());
        EXPECT_FALSE(ctx().Form6->Button1->isEnabled());
        EXPECT_FALSE(ctx().Form7->Button1->isEnabled());
        EXPECT_TRUE(ctx().Form3->isEnabled());
        EXPECT_TRUE(f()->Timer2->enabled());
        EXPECT_FALSE(f()->Timer3->enabled());
    }
    void expectManualRunning() {
        SCOPED_TRACE("manual run");
        EXPECT_GE(st().stepIndex, 1);
        EXPECT_FALSE(f()->Button8->isEnabled());
        EXPECT_TRUE(f()->Button5->isEnabled());
        EXPECT_TRUE(f()->Button3->isEnabled());
        EXPECT_TRUE(f()->UpDown1->isEnabled());
        EXPECT_TRUE(f()->UpDown2->isEnabled());
        EXPECT_FALSE(f()->CheckBox5->isEnabled());
        EXPECT_FALSE(f()->File1->menuAction()->isEnabled());
        EXPECT_FALSE(ctx().Form2->StringGrid1->isEnabled());
        EXPECT_FALSE(ctx().Form3->isEnabled());
        EXPECT_TRUE(ctx().Form6->Button1->isEnabled());
        EXPECT_TRUE(f()->Timer1->enabled());
        EXPECT_FALSE(f()->Timer2->enabled());
        EXPECT_FALSE(f()->Timer3->enabled());
    }
};

} // namespace kadenzo::test

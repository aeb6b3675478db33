// Sequences played end to end: the whole program on the real serial control, on the
// pseudo-terminal of kadenzo-psu-sim, with the step timer running on its own. What the
// supply received, and when, is read from the simulator's trace.
#include "SimAppFixture.h"
#include "run/Runner.h"
#include "sequence/SequenceTable.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

class RunEndToEnd : public SimAppFixture {
protected:
    void SetUp() override {
        startProgram({"--trace", "@/trace.txt"});
        if (HasFatalFailure())
            return;
        f()->RadioButton2->click(); // Auto
    }

    void steps(int n) {
        std::vector<StepTexts> rows;
        for (int i = 1; i <= n; ++i)
            rows.push_back({std::to_string(i) + ".00", "0." + std::to_string(i) + "0", ""});
        ctx().editor->table().replaceSteps(rows);
    }
    bool waitForStatus(const std::string& text, int ms) {
        return QTest::qWaitFor([&] { return status() == text; }, ms);
    }
    // The command lines the supply received, in order, with their times.
    std::vector<TraceLine> commands() {
        std::vector<TraceLine> lines;
        for (const TraceLine& l : readTrace(sim->file("trace.txt")))
            if (l.text.rfind("> ", 0) != 0 && l.text.rfind("# ", 0) != 0)
                lines.push_back(l);
        return lines;
    }
};

TEST_F(RunEndToEnd, ThreeStepsAtOneHundredMilliseconds) {
    steps(3);
    f()->CheckBox3->setChecked(true); // "Auto DC ON"
    f()->CheckBox4->setChecked(true); // "Auto DC OFF"
    f()->Button8->click();
    ASSERT_TRUE(waitForStatus("Sequence Complete", 3000)) << status();
    EXPECT_EQ(ctx().st.stepIndex, -1);
    EXPECT_TRUE(prompts.shown.empty());
    f()->Timer3->setEnabled(false);
    ASSERT_TRUE(sim->sync().has_value()); // every command has reached the trace

    std::vector<std::string> got;
    std::vector<double> stepTimes; // the "v " commands
    double offAt = 0;
    for (const TraceLine& l : commands()) {
        got.push_back(l.text);
        if (l.text.rfind("v ", 0) == 0)
            stepTimes.push_back(l.ms);
        if (l.text == "OFF\\n")
            offAt = l.ms;
    }
    const std::vector<std::string> poll = {"out?\\n", "m?\\n", "io?\\n"};
    std::vector<std::string> want = {"*idn?\\n", "\\n", "v 1.00\\n", "i 0.10\\n", "ON\\n"};
    auto add = [&](std::vector<std::string> lines) {
        want.insert(want.end(), lines.begin(), lines.end());
    };
    add(poll);
    add({"v 2.00\\n", "i 0.20\\n"});
    add(poll);
    add({"v 3.00\\n", "i 0.30\\n"});
    add(poll);
    add({"v 3.00\\n", "i 0.30\\n"});
    add(poll);
    add({"OFF\\n"});
    EXPECT_EQ(got, want);

    // Each step is held its step time: steps 1 and 2 up to the next step, step 3 from its
    // first send to the completion. The bounds only catch a step skipped, cut short or
    // doubled; the precision is the benchmark's matter.
    ASSERT_EQ(stepTimes.size(), 4u);
    const double held[] = {stepTimes[1] - stepTimes[0], stepTimes[2] - stepTimes[1],
                           offAt - stepTimes[2]};
    for (double ms : held) {
        EXPECT_GE(ms, 90.0);
        EXPECT_LE(ms, 300.0);
    }
}

TEST_F(RunEndToEnd, ACablePulledMidRunEndsTheRunAndAfterPlugANewRunStarts) {
    steps(20);
    f()->CheckBox4->setChecked(true);
    f()->Button8->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ctx().st.stepIndex >= 3; }, 3000));

    sim->command("unplug");
    ASSERT_TRUE(sim->waitForLine("unplugged").has_value());
    ASSERT_TRUE(waitForStatus("No communication with PSU", 3000)) << status();
    EXPECT_EQ(ctx().st.stepIndex, -1);
    EXPECT_FALSE(f()->Timer2->enabled());
    EXPECT_TRUE(f()->Button8->isEnabled());
    EXPECT_FALSE(f()->Button5->isEnabled());
    QTest::qWait(250); // the window stays responsive; no tick comes
    EXPECT_EQ(ctx().st.stepIndex, -1);
    EXPECT_TRUE(prompts.shown.empty());

    sim->command("plug");
    ASSERT_TRUE(sim->waitForLine("plugged").has_value());
    f()->Timer3->setEnabled(false);
    steps(2);
    f()->Button8->click();
    EXPECT_EQ(status(), "Sequence Running");
    ASSERT_TRUE(waitForStatus("Sequence Complete", 3000)) << status();
    ASSERT_TRUE(sim->sync().has_value());
    const std::vector<TraceLine> lines = commands();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, "OFF\\n") << "the new run completed on the new line";
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace

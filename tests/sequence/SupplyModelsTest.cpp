#include "sequence/SupplyModels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kadenzo;

namespace {

constexpr float kM1Volts = 30.8f, kM1Amps = 2.06f, kM2Volts = 35.4f, kM2Amps = 5.05f;

SequenceTable tableOf(const std::vector<StepTexts>& steps) {
    SequenceTable t;
    t.replaceSteps(steps);
    return t;
}

} // namespace

TEST(SupplyModels, TableOfModels) {
    const auto& m = supplyModels();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].number, 1);
    EXPECT_STREQ(m[0].caption, "KM 417R");
    EXPECT_EQ(m[0].maxVolts, 30.8f);
    EXPECT_EQ(m[0].maxAmps, 2.06f);
    EXPECT_STREQ(m[0].idNumber, "417");
    EXPECT_TRUE(m[0].visible);
    EXPECT_STREQ(m[1].caption, "VD 826R");
    EXPECT_EQ(m[1].maxVolts, 35.4f);
    EXPECT_EQ(m[1].maxAmps, 5.05f);
    EXPECT_STREQ(m[1].idNumber, "826");
    EXPECT_TRUE(m[1].visible);
    EXPECT_STREQ(m[2].caption, "ZN 826R");
    EXPECT_EQ(m[2].maxVolts, 35.4f);
    EXPECT_EQ(m[2].maxAmps, 5.05f);
    EXPECT_STREQ(m[2].idNumber, "826");
    EXPECT_FALSE(m[2].visible);
    EXPECT_EQ(findSupplyModel(3), &m[2]);
    EXPECT_EQ(findSupplyModel(0), nullptr);
    EXPECT_EQ(findSupplyModel(4), nullptr);
}

TEST(SupplyModels, ValidateCellVerdicts) {
    struct Case {
        int column;
        const char* text;
        float maxVolts, maxAmps;
        const char* result;
        bool rejected;
    };
    const Case cases[] = {
        {VoltsColumn, "30.8", kM1Volts, kM1Amps, "30.80", false},
        {VoltsColumn, "30.80", kM1Volts, kM1Amps, "30.80", false},
        {VoltsColumn, "30.81", kM1Volts, kM1Amps, "0.00", true},
        {VoltsColumn, "30.8000001", kM1Volts, kM1Amps, "30.80", false}, // equal in single precision
        {VoltsColumn, "12", kM1Volts, kM1Amps, "12.00", false},
        {VoltsColumn, "12.345", kM1Volts, kM1Amps, "12.35", false},
        {VoltsColumn, "", kM1Volts, kM1Amps, "0.00", false},
        {VoltsColumn, "0", kM1Volts, kM1Amps, "0.00", false},
        {VoltsColumn, "-0", kM1Volts, kM1Amps, "0.00", false},
        {VoltsColumn, "-1", kM1Volts, kM1Amps, "-1.00", false}, // only the upper limit counts
        {VoltsColumn, "abc", kM1Volts, kM1Amps, "0.00", false},
        {VoltsColumn, " 5V", kM1Volts, kM1Amps, "5.00", false},
        {VoltsColumn, "33", kM1Volts, kM1Amps, "0.00", true},
        {VoltsColumn, "33", kM2Volts, kM2Amps, "33.00", false},
        {VoltsColumn, "35.4", kM2Volts, kM2Amps, "35.40", false},
        {VoltsColumn, "35.41", kM2Volts, kM2Amps, "0.00", true},
        {VoltsColumn, "1e999", kM2Volts, kM2Amps, "0.00", true},
        {VoltsColumn, "-1e999", kM2Volts, kM2Amps, "0.00", true},
        {AmpsColumn, "0", kM1Volts, kM1Amps, "0.01", false},
        {AmpsColumn, "", kM1Volts, kM1Amps, "0.01", false},
        {AmpsColumn, "0.004", kM1Volts, kM1Amps, "0.00", false},
        {AmpsColumn, "0.005", kM1Volts, kM1Amps, "0.00", false}, // 0.004999... in single precision
        {AmpsColumn, "2.06", kM1Volts, kM1Amps, "2.06", false},
        {AmpsColumn, "2.07", kM1Volts, kM1Amps, "0.01", true},
        {AmpsColumn, "5", kM1Volts, kM1Amps, "0.01", true},
        {AmpsColumn, "5", kM2Volts, kM2Amps, "5.00", false},
        {AmpsColumn, "5.05", kM2Volts, kM2Amps, "5.05", false},
        {AmpsColumn, "5.06", kM2Volts, kM2Amps, "0.01", true},
        {AmpsColumn, "30", kM2Volts, kM2Amps, "0.01", true}, // volts limit does not apply
        {CommentColumn, "99 V, 9 A", kM1Volts, kM1Amps, "99 V, 9 A", false},
        {CommentColumn, "", kM1Volts, kM1Amps, "", false},
        {StepColumn, "7", kM1Volts, kM1Amps, "7", false},
    };
    for (const Case& c : cases) {
        CellVerdict v = validateCellText(c.column, c.text, c.maxVolts, c.maxAmps);
        EXPECT_EQ(v.text, c.result) << "column " << c.column << " '" << c.text << "'";
        EXPECT_EQ(v.rejected, c.rejected) << "column " << c.column << " '" << c.text << "'";
    }
}

TEST(SupplyModels, SwitchesToModel1OnlyWhenEveryStepIsWithinItsLimits) {
    using O = ModelSwitch::Outcome;
    struct Case {
        const char* name;
        std::vector<StepTexts> steps;
        O outcome;
        int row;
        const char* message;
    };
    const char* over = "One or more data values exceed PSU limits\rPlease correct and retry";
    const Case cases[] = {
        {"all within",
         {{"30.80", "2.06", ""}, {"0.00", "0.01", ""}, {"-1.00", "0.00", ""}},
         O::Switched,
         0,
         ""},
        {"33 V in step 2",
         {{"1.00", "0.01", ""}, {"33.00", "1.00", ""}, {"40", "9", ""}},
         O::OverLimit,
         2,
         over},
        {"2.07 A in step 1", {{"1.00", "2.07", ""}, {"1.00", "1.00", ""}}, O::OverLimit, 1, over},
        // Full precision here: a value that equals 30.8 in single precision still fails.
        {"30.8000001 V", {{"30.8000001", "1.00", ""}}, O::OverLimit, 1, over},
        {"2.0600001 A", {{"1.00", "2.0600001", ""}}, O::OverLimit, 1, over},
        {"empty volts",
         {{"1.00", "1.00", ""}, {"", "1.00", ""}},
         O::ConversionFailed,
         2,
         "'' is not a valid floating point value"},
        {"letters in amps",
         {{"1.00", "1A", ""}},
         O::ConversionFailed,
         1,
         "'1A' is not a valid floating point value"},
        {"conversion before limit",
         {{"99", "x", ""}},
         O::ConversionFailed,
         1,
         "'x' is not a valid floating point value"},
        {"later row not reached", {{"31", "1", ""}, {"x", "1", ""}}, O::OverLimit, 1, over},
    };
    for (const Case& c : cases) {
        SequenceTable t = tableOf(c.steps);
        t.setCurrentCell(CommentColumn, 1);
        ModelSwitch s = switchModel(t, 1);
        EXPECT_EQ(s.outcome, c.outcome) << c.name;
        EXPECT_EQ(s.row, c.row) << c.name;
        EXPECT_EQ(s.message, c.message) << c.name;
        // The current cell is left on the Volts cell of the offending or the last step.
        int expectedRow = c.outcome == O::Switched ? t.stepCount() : c.row;
        EXPECT_EQ(t.currentCell(), (CellPos{VoltsColumn, expectedRow})) << c.name;
    }
}

TEST(SupplyModels, Model1ScanMovesThroughTheTableSoTheEditorProcessesEachCellLeft) {
    SequenceTable t = tableOf({{"1", "1", "a"}, {"", "1", "b"}, {"2", "1", "c"}});
    t.setCurrentCell(AmpsColumn, 2);
    std::vector<std::string> moves;
    // Like the editor: an empty cell being left gets its default.
    t.onCurrentCellChanging = [&](CellPos from, CellPos to) {
        moves.push_back(std::to_string(from.col) + "," + std::to_string(from.row) + "->" +
                        std::to_string(to.col) + "," + std::to_string(to.row));
        if (t.cell(from.col, from.row).empty())
            t.setCell(from.col, from.row, cellDefault(from.col));
    };
    ModelSwitch s = switchModel(t, 1);
    EXPECT_EQ(s.outcome, ModelSwitch::Outcome::Switched);
    // Column first, then row; the empty Volts of step 2 was filled when the scan left it.
    EXPECT_EQ(moves, (std::vector<std::string>{"2,2->1,2", "1,2->1,1", "1,1->1,2", "1,2->1,3"}));
    EXPECT_EQ(t.cell(VoltsColumn, 2), "0.00");
}

TEST(SupplyModels, SwitchesToModels2And3WithoutLookingAtTheTable) {
    for (int model : {2, 3}) {
        SequenceTable t = tableOf({{"99", "x", ""}, {"", "", ""}});
        t.setCurrentCell(CommentColumn, 2);
        bool moved = false;
        t.onCurrentCellChanging = [&](CellPos, CellPos) { moved = true; };
        ModelSwitch s = switchModel(t, model);
        EXPECT_EQ(s.outcome, ModelSwitch::Outcome::Switched) << model;
        EXPECT_FALSE(moved) << model;
        EXPECT_EQ(t.step(1), (StepTexts{"99", "x", ""})) << model;
    }
    for (int model : {0, 4, -1}) {
        SequenceTable t;
        EXPECT_EQ(switchModel(t, model).outcome, ModelSwitch::Outcome::UnknownModel) << model;
    }
}

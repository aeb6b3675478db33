#include "sequence/SequenceTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kadenzo;

namespace {

// A table whose steps carry the given comments (volts 1.00, 2.00, ...).
SequenceTable tableOf(const std::vector<std::string>& comments) {
    SequenceTable t;
    std::vector<StepTexts> steps;
    for (size_t i = 0; i < comments.size(); ++i)
        steps.push_back({std::to_string(i + 1) + ".00", "0.50", comments[i]});
    t.replaceSteps(steps);
    return t;
}

// The comments and step numbers of all steps, "1:A 2:B".
std::string layout(const SequenceTable& t) {
    std::string s;
    for (int r = 1; r < t.RowCount(); ++r) {
        if (!s.empty())
            s += ' ';
        s += t.cell(StepColumn, r) + ":" + t.cell(CommentColumn, r);
    }
    return s;
}

std::string describe(const TableChange& c) {
    const char* kinds[] = {"cells", "inserted", "removed", "reset"};
    return std::string(kinds[static_cast<int>(c.kind)]) + " " + std::to_string(c.firstRow) + "+" +
           std::to_string(c.count) + " c" + std::to_string(c.column);
}

// Records every notification of a table, in order.
struct Recorder {
    std::vector<std::string> events;
    explicit Recorder(SequenceTable& t) {
        t.onAboutToChange = [this](const TableChange& c) {
            events.push_back("about " + describe(c));
        };
        t.onChanged = [this](const TableChange& c) { events.push_back("changed " + describe(c)); };
        t.onCurrentCellChanging = [this, &t](CellPos from, CellPos to) {
            EXPECT_EQ(t.currentCell(), from); // still on the cell being left
            events.push_back("leave " + pos(from) + "->" + pos(to));
        };
        t.onCurrentCellChanged = [this](CellPos from, CellPos to) {
            events.push_back("moved " + pos(from) + "->" + pos(to));
        };
    }
    static std::string pos(CellPos p) {
        return std::to_string(p.col) + "," + std::to_string(p.row);
    }
};

} // namespace

TEST(SequenceTable, StartsWithOneDefaultStepAndTheHeader) {
    SequenceTable t;
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.stepCount(), 1);
    const char* header[] = {"Step", "Volts", "I Limit", "Comment"};
    const char* step[] = {"1", "0.00", "0.01", ""};
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(t.cell(c, 0), header[c]);
        EXPECT_EQ(t.cell(c, 1), step[c]);
    }
    EXPECT_EQ(t.currentCell(), (CellPos{1, 1}));
    EXPECT_STREQ(cellDefault(VoltsColumn), "0.00");
    EXPECT_STREQ(cellDefault(AmpsColumn), "0.01");
    EXPECT_STREQ(cellDefault(CommentColumn), "");
}

TEST(SequenceTable, CellsOutsideTheStepsCannotBeWrittenAndReadEmpty) {
    SequenceTable t;
    t.setCell(1, 0, "x"); // header
    t.setCell(1, 2, "x"); // beyond the last row
    t.setCell(4, 1, "x");
    t.setCell(-1, 1, "x");
    EXPECT_EQ(t.cell(1, 0), "Volts");
    EXPECT_EQ(t.cell(1, 2), "");
    EXPECT_EQ(t.cell(4, 1), "");
    EXPECT_EQ(t.cell(0, -1), "");
    t.setCell(CommentColumn, 1, std::string("\xE9\x00\xFF,\r", 5)); // 8-bit bytes kept as they are
    EXPECT_EQ(t.cell(CommentColumn, 1), std::string("\xE9\x00\xFF,\r", 5));
}

TEST(SequenceTable, CurrentCellStaysInTheEditableCellsAndNotifiesAroundEachMove) {
    SequenceTable t = tableOf({"A", "B", "C"});
    Recorder rec(t);
    t.setCurrentCell(0, 0); // clamped to column 1, row 1: no move
    t.setCurrentCell(3, 2);
    t.setCurrentCell(3, 2); // no move, no notification
    t.setCurrentCell(9, 99);
    t.setCurrentRow(1);
    t.setCurrentCol(1);
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"leave 1,1->3,2", "moved 1,1->3,2", "leave 3,2->3,3",
                                        "moved 3,2->3,3", "leave 3,3->3,1", "moved 3,3->3,1",
                                        "leave 3,1->1,1", "moved 3,1->1,1"}));
}

TEST(SequenceTable, LeaveHandlerCanRewriteTheCellBeingLeft) {
    SequenceTable t;
    t.appendRow();
    t.setCell(VoltsColumn, 1, "");
    t.onCurrentCellChanging = [&t](CellPos from, CellPos) {
        if (t.cell(from.col, from.row).empty())
            t.setCell(from.col, from.row, cellDefault(from.col));
    };
    t.setCurrentRow(2);
    EXPECT_EQ(t.cell(VoltsColumn, 1), "0.00");
    EXPECT_EQ(t.currentCell(), (CellPos{1, 2}));
}

TEST(SequenceTable, RowOperationsShiftWholeStepsAndRenumber) {
    struct Case {
        const char* name;
        void (*op)(SequenceTable&);
        std::string expected;
    };
    const Case cases[] = {
        {"append", [](SequenceTable& t) { t.appendRow(); }, "1:A 2:B 3:C 4:"},
        {"insert at 1", [](SequenceTable& t) { t.insertRow(1); }, "1: 2:A 3:B 4:C"},
        {"insert at 2", [](SequenceTable& t) { t.insertRow(2); }, "1:A 2: 3:B 4:C"},
        {"insert after last", [](SequenceTable& t) { t.insertRow(4); }, "1:A 2:B 3:C 4:"},
        {"remove 1", [](SequenceTable& t) { EXPECT_TRUE(t.removeRow(1)); }, "1:B 2:C"},
        {"remove 2", [](SequenceTable& t) { EXPECT_TRUE(t.removeRow(2)); }, "1:A 2:C"},
        {"remove last", [](SequenceTable& t) { EXPECT_TRUE(t.removeRow(3)); }, "1:A 2:B"},
        {"remove header", [](SequenceTable& t) { EXPECT_FALSE(t.removeRow(0)); }, "1:A 2:B 3:C"},
        {"grow",
         [](SequenceTable& t) {
             t.setRowCount(6);
             t.renumber();
         },
         "1:A 2:B 3:C 4: 5:"},
        {"shrink", [](SequenceTable& t) { t.setRowCount(2); }, "1:A"},
        {"shrink below 2", [](SequenceTable& t) { t.setRowCount(0); }, "1:A"},
        {"reset", [](SequenceTable& t) { t.reset(); }, "1:"},
    };
    for (const Case& c : cases) {
        SequenceTable t = tableOf({"A", "B", "C"});
        c.op(t);
        EXPECT_EQ(layout(t), c.expected) << c.name;
    }

    // Inserted rows are empty in all three cells; moved rows keep all three.
    SequenceTable t = tableOf({"A", "B"});
    t.insertRow(1);
    EXPECT_EQ(t.step(1), (StepTexts{"", "", ""}));
    EXPECT_EQ(t.step(2), (StepTexts{"1.00", "0.50", "A"}));
    EXPECT_EQ(t.step(3), (StepTexts{"2.00", "0.50", "B"}));

    t.reset();
    EXPECT_EQ(t.step(1), (StepTexts{"0.00", "0.01", ""}));
}

TEST(SequenceTable, TheOnlyStepIsNeverRemoved) {
    SequenceTable t;
    t.setCell(CommentColumn, 1, "keep");
    EXPECT_FALSE(t.removeRow(1));
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.cell(CommentColumn, 1), "keep");
}

TEST(SequenceTable, CurrentRowKeepsItsNumberOrMovesToTheLastStepWithoutALeave) {
    SequenceTable t = tableOf({"A", "B", "C"});
    t.setCurrentCell(2, 3);
    Recorder rec(t);
    t.removeRow(3);
    EXPECT_EQ(t.currentCell(), (CellPos{2, 2}));
    // The rows and numbers are reported first, then the move; no leave for a removed cell.
    EXPECT_EQ(rec.events, (std::vector<std::string>{"about removed 3+1 c-1",
                                                    "changed removed 3+1 c-1", "moved 2,3->2,2"}));

    rec.events.clear();
    t.insertRow(1);
    EXPECT_EQ(t.currentCell(), (CellPos{2, 2})); // same row number, now step A
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"about inserted 1+1 c-1", "changed inserted 1+1 c-1",
                                        "changed cells 1+3 c0"}));

    rec.events.clear();
    t.replaceSteps({{"1", "2", "x"}});
    EXPECT_EQ(t.currentCell(), (CellPos{2, 1}));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"about reset 0+0 c-1", "changed reset 0+0 c-1",
                                                    "moved 2,2->2,1"}));
}

TEST(SequenceTable, CellWritesAndRenumberingAreReported) {
    SequenceTable t = tableOf({"A", "B", "C"});
    Recorder rec(t);
    t.setCell(AmpsColumn, 2, "1.00");
    t.removeRow(1);
    t.appendRow();
    EXPECT_EQ(rec.events,
              (std::vector<std::string>{"changed cells 2+1 c2", "about removed 1+1 c-1",
                                        "changed removed 1+1 c-1", "changed cells 1+2 c0",
                                        "about inserted 3+1 c-1", "changed inserted 3+1 c-1",
                                        "changed cells 3+1 c0"}));
    // A file's step numbers are never trusted: replaceSteps numbers the steps itself.
    t.setCell(StepColumn, 1, "99");
    t.renumber();
    EXPECT_EQ(layout(t), "1:B 2:C 3:");
}

TEST(SequenceTable, ReplaceStepsWithNothingLeavesOneDefaultStep) {
    SequenceTable t = tableOf({"A", "B"});
    t.replaceSteps({});
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.step(1), (StepTexts{"0.00", "0.01", ""}));
    EXPECT_EQ(t.cell(StepColumn, 1), "1");
}

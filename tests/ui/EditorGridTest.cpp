// The sequence editor window on the real grid: layout, key filter, Enter and Escape,
// leaving a cell, the row operations, Delete's state and the model switches.
#include "EditorFixture.h"
#include "sequence/SupplyModels.h"

#include <QHeaderView>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

using EditorGrid = EditorFixture;

const std::string kExceeds = std::string("error:") + kTextValueExceeds;

TEST_F(EditorGrid, CreatedWithOneDefaultStepUnderAFixedHeader) {
    EXPECT_EQ(form()->windowTitle(), "Sequence Editor");
    SequenceGridModel* m = ed().gridModel();
    ASSERT_EQ(grid()->model(), m);
    EXPECT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->columnCount(), 4);
    QHeaderView* h = grid()->horizontalHeader();
    EXPECT_TRUE(h->isVisible());
    const char* titles[] = {"Step", "Volts", "I Limit", "Comment"};
    const int widths[] = {64, 64, 64, 359};
    for (int col = 0; col < 4; ++col) {
        EXPECT_EQ(m->headerData(col, Qt::Horizontal).toString(), titles[col]);
        EXPECT_EQ(grid()->columnWidth(col), widths[col]);
    }
    EXPECT_EQ(grid()->rowHeight(0), 16);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"0.00", "0.01", ""}}));
    EXPECT_EQ(numbers(), std::vector<std::string>{"1"});
    // The step column is fixed: neither editable nor selectable.
    EXPECT_EQ(m->flags(m->indexOf(StepColumn, 1)), Qt::NoItemFlags);
    EXPECT_TRUE(m->flags(m->indexOf(VoltsColumn, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 1}));
    EXPECT_EQ(gridCell(), (CellPos{VoltsColumn, 1}));
    EXPECT_FALSE(form()->Button2->isEnabled());
    EXPECT_TRUE(form()->KM417R1->isChecked());
    EXPECT_FALSE(form()->Vd826R1->isChecked());
    EXPECT_FALSE(form()->ZN826R1->isVisible());
    EXPECT_EQ(ed().unsavedChanges, 0);
    EXPECT_EQ(ed().cellRejected, 0);
}

TEST_F(EditorGrid, ShowingTheEditorEnablesTheMainWindowsManualStep) {
    form()->hide();
    main()->Button6->setEnabled(false);
    form()->show();
    EXPECT_TRUE(main()->Button6->isEnabled());
}

TEST_F(EditorGrid, TheGridShowsTheTableAndFollowsItsCurrentCell) {
    setSteps({{"1.00", "0.10", "a"}, {"2.00", "0.20", "caf\xE9"}, {"3.00", "0.30", ""}});
    SequenceGridModel* m = ed().gridModel();
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->data(m->indexOf(VoltsColumn, 2)).toString(), "2.00");
    // 8-bit text: byte 0xE9 is shown as U+00E9.
    EXPECT_EQ(m->data(m->indexOf(CommentColumn, 2)).toString(), QString::fromUtf8("café"));
    table().setCell(AmpsColumn, 3, "0.99");
    EXPECT_EQ(m->data(m->indexOf(AmpsColumn, 3)).toString(), "0.99");

    // The table moves the grid ...
    table().setCurrentCell(CommentColumn, 3);
    EXPECT_EQ(gridCell(), (CellPos{CommentColumn, 3}));
    // ... and the grid moves the table, by mouse and by arrow keys.
    clickCell(AmpsColumn, 2);
    EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 2}));
    QTest::keyClick(grid(), Qt::Key_Down);
    EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 3}));
    QTest::keyClick(grid(), Qt::Key_Left);
    QTest::keyClick(grid(), Qt::Key_Left);
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 3})) << "never the step column";
    EXPECT_EQ(gridCell(), (CellPos{VoltsColumn, 3}));
    clickCell(StepColumn, 1);
    EXPECT_NE(table().currentCol(), StepColumn);
    EXPECT_EQ(gridCell(), table().currentCell());
}

TEST_F(EditorGrid, TypingWritesIntoTheTableAsTheKeysArrive) {
    type("12.5");
    ASSERT_NE(ed().cellEditor(), nullptr);
    EXPECT_EQ(cell(VoltsColumn, 1), "12.5") << "typing replaces the text, live";
    EXPECT_EQ(ed().unsavedChanges, 1);
    key(Qt::Key_Tab);
    EXPECT_EQ(cell(VoltsColumn, 1), "12.50") << "left by Tab: validated";
    EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 1}));
    type("1.5");
    key(Qt::Key_Tab);
    type("Ramp up, slow");
    key(Qt::Key_Return);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"12.50", "1.50", "Ramp up, slow"}}));
}

TEST_F(EditorGrid, KeyFilterOfTheNumberColumns) {
    struct Case {
        int col;
        const char* start;
        const char* keys;
        const char* result;
    } cases[] = {
        {VoltsColumn, "", "12.3456", "12.345"}, // 6 characters at most
        {AmpsColumn, "", "1.2345", "1.234"},    // 5 characters at most
        {VoltsColumn, "", "1.2.3", "1.23"},     // a second "." is dropped
        {VoltsColumn, "", "1a-b2 V", "12"},     // letters, "-" and blanks are dropped
        {AmpsColumn, "", "+0,5e1", "051"},      // so are "+", "," and the exponent
        {VoltsColumn, "12.345", "6", "12.345"}, // a full cell takes no further digit
        {AmpsColumn, "1.234", "9.", "1.234"},   // nor "."
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " into \"" + c.start + "\"");
        setSteps({{"0.00", "0.01", ""}}, c.col, 1);
        table().setCell(c.col, 1, c.start);
        editAtEnd();
        type(c.keys);
        EXPECT_EQ(cell(c.col, 1), c.result);
        key(Qt::Key_Escape);
    }
}

TEST_F(EditorGrid, BackspaceWorksInAFullCell) {
    setSteps({{"12.345", "0.01", ""}});
    editAtEnd();
    type("6");
    EXPECT_EQ(cell(VoltsColumn, 1), "12.345");
    key(Qt::Key_Backspace);
    EXPECT_EQ(cell(VoltsColumn, 1), "12.34");
    type("7");
    EXPECT_EQ(cell(VoltsColumn, 1), "12.347");
}

// X11 gives the Delete key the text 0x7f: it is an editing key, not a typed
// character, so the key filter lets it through in every column.
TEST_F(EditorGrid, DeleteKeyWorksInEveryColumn) {
    for (int col : {VoltsColumn, AmpsColumn, CommentColumn}) {
        SCOPED_TRACE(col);
        setSteps({{"12.34", "1.23", "abc"}}, col, 1);
        editAtEnd();
        QTest::keyClick(ed().cellEditor(), Qt::Key_Home);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7f)));
        QApplication::sendEvent(ed().cellEditor(), &del);
        const std::string want[] = {"", "2.34", ".23", "bc"};
        EXPECT_EQ(cell(col, 1), want[col]);
        EXPECT_EQ(ed().unsavedChanges, 1);
        key(Qt::Key_Escape);
        ed().unsavedChanges = 0;
    }
}

TEST_F(EditorGrid, KeyFilterOfTheCommentColumn) {
    setSteps({{"0.00", "0.01", ""}}, CommentColumn, 1);
    type("Letters-, and . any: #1!");
    EXPECT_EQ(cell(CommentColumn, 1), "Letters-, and . any: #1!");
    typeChar(QChar(0xE9)); // e acute: 8-bit text holds it
    EXPECT_EQ(cell(CommentColumn, 1), "Letters-, and . any: #1!\xE9");
    typeChar(QChar(0x3A9)); // Omega: 8-bit text cannot hold it
    EXPECT_EQ(cell(CommentColumn, 1), "Letters-, and . any: #1!\xE9");

    key(Qt::Key_Escape);
    setSteps({{"0.00", "0.01", ""}}, CommentColumn, 1);
    type(std::string(41, 'x'));
    EXPECT_EQ(cell(CommentColumn, 1), std::string(40, 'x')) << "the 41st is dropped";
    key(Qt::Key_Backspace);
    EXPECT_EQ(cell(CommentColumn, 1), std::string(39, 'x'));
    type("yz");
    EXPECT_EQ(cell(CommentColumn, 1), std::string(39, 'x') + "y");
}

TEST_F(EditorGrid, APasteKeepsTheRulesOfTypedKeys) {
    struct Case {
        int col;
        const char* clipboard;
        const char* result;
    } cases[] = {
        {VoltsColumn, "5.5", "5.5"},
        {VoltsColumn, "abc", ""},     // letters refused
        {VoltsColumn, "1234567", ""}, // longer than 6
        {AmpsColumn, "1.2.3", ""},    // a second "."
        {CommentColumn, "ok, fine", "ok, fine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard);
        setSteps({{"", "", ""}}, c.col, 1);
        editAtEnd();
        QLineEdit* e = ed().cellEditor();
        e->insert(QString::fromLatin1(c.clipboard));
        // insert() is programmatic; a user's paste arrives as an edit.
        emit e->textEdited(e->text());
        EXPECT_EQ(cell(c.col, 1), c.result);
        EXPECT_EQ(e->text().toStdString(), c.result);
        key(Qt::Key_Escape);
    }
}

TEST_F(EditorGrid, UnsavedChangesFollowTheKeysThatPass) {
    struct Case {
        int col;
        const char* keys;
        int unsaved;
    } cases[] = {
        {VoltsColumn, "x", 0}, // dropped letter
        {VoltsColumn, "5", 1}, // digit
        {AmpsColumn, "\b", 1}, // Backspace
        {CommentColumn, "x", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        setSteps({{"1.00", "0.50", ""}}, c.col, 1);
        ed().unsavedChanges = 0;
        if (c.keys[0] == '\b')
            key(Qt::Key_Backspace);
        else
            type(c.keys);
        EXPECT_EQ(ed().unsavedChanges, c.unsaved);
        if (ed().cellEditor())
            key(Qt::Key_Escape);
    }
    // A second "." is dropped but counts as a change.
    setSteps({{"1.00", "0.50", ""}});
    editAtEnd();
    ed().unsavedChanges = 0;
    type(".");
    EXPECT_EQ(cell(VoltsColumn, 1), "1.00");
    EXPECT_EQ(ed().unsavedChanges, 1);
}

TEST_F(EditorGrid, EscapeRestoresTheTextTheCellHadWhenItBecameCurrent) {
    setSteps({{"5.00", "0.50", ""}, {"6.00", "0.60", ""}});
    type("12");
    EXPECT_EQ(cell(VoltsColumn, 1), "12");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(VoltsColumn, 1), "5.00");
    EXPECT_EQ(ed().cellEditor(), nullptr) << "Escape ends the editing";

    // ... or when Enter was last pressed in it.
    type("12");
    key(Qt::Key_Return);
    EXPECT_EQ(cell(VoltsColumn, 1), "12.00");
    EXPECT_EQ(ed().cellEntryText, "12.00");
    type("3");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(VoltsColumn, 1), "12.00");

    // Escape on the grid itself, no editor open.
    table().setCell(VoltsColumn, 1, "7");
    QTest::keyClick(grid(), Qt::Key_Escape);
    EXPECT_EQ(cell(VoltsColumn, 1), "12.00");

    // Moving to another cell records that cell's text.
    QTest::keyClick(grid(), Qt::Key_Down);
    type("9");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(VoltsColumn, 2), "6.00");
}

TEST_F(EditorGrid, EnterValidatesAgainstTheLimits) {
    struct Case {
        int model;
        int col;
        const char* keys; // "" : the cell emptied with Backspace
        const char* result;
        bool rejected;
    } cases[] = {
        {1, VoltsColumn, "30.8", "30.80", false}, {1, VoltsColumn, "30.81", "0.00", true},
        {1, VoltsColumn, "12", "12.00", false},   {1, VoltsColumn, "0", "0.00", false},
        {1, VoltsColumn, "", "0.00", false},      {1, AmpsColumn, "", "0.01", false},
        {1, AmpsColumn, "0", "0.01", false},      {1, AmpsColumn, "0.004", "0.00", false},
        {1, AmpsColumn, "2.06", "2.06", false},   {1, AmpsColumn, "5", "0.01", true},
        {2, AmpsColumn, "5", "5.00", false},      {2, VoltsColumn, "35.4", "35.40", false},
        {2, VoltsColumn, "35.41", "0.00", true},  {1, VoltsColumn, "1.234", "1.23", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("model ") + std::to_string(c.model) + " \"" + c.keys + "\"");
        const SupplyModel* m = findSupplyModel(c.model);
        st().maxVolts = m->maxVolts;
        st().maxAmps = m->maxAmps;
        setSteps({{"1.00", "0.50", ""}}, c.col, 1);
        if (*c.keys)
            type(c.keys);
        else
            key(Qt::Key_Backspace);
        key(Qt::Key_Return);
        EXPECT_EQ(cell(c.col, 1), c.result);
        EXPECT_EQ(ed().cellRejected, c.rejected ? 1 : 0);
        if (c.rejected) {
            EXPECT_EQ(prompts.shown, (std::vector<std::string>{"beep", kExceeds}));
        } else {
            EXPECT_TRUE(prompts.shown.empty());
        }
        EXPECT_EQ(table().currentCell(), (CellPos{c.col, 1})) << "Enter does not move";
    }
}

TEST_F(EditorGrid, EnterAndEscapeWorkInAFullCell) {
    setSteps({{"30.815", "0.01", ""}});
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_EQ(cell(VoltsColumn, 1), "0.00");
    EXPECT_EQ(prompts.count(kExceeds), 1);
    setSteps({{"1.00", "0.01", ""}});
    type("12.345");
    key(Qt::Key_Escape);
    EXPECT_EQ(cell(VoltsColumn, 1), "1.00");
}

TEST_F(EditorGrid, LeavingACellFillsDefaultsAndValidates) {
    setSteps({{"1.00", "0.50", "a"}, {"2.00", "0.60", "b"}});
    // Above the limit: the message, the default, and the move takes place all the same.
    type("31");
    key(Qt::Key_Down);
    EXPECT_EQ(cell(VoltsColumn, 1), "0.00");
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"beep", kExceeds}));
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 2}));
    EXPECT_EQ(ed().cellRejected, 1);

    // An empty cell left with an arrow key or the mouse gets its default.
    prompts.clear();
    key(Qt::Key_Backspace);
    EXPECT_EQ(cell(VoltsColumn, 2), "");
    ASSERT_NE(ed().cellEditor(), nullptr);
    key(Qt::Key_Up);
    EXPECT_EQ(cell(VoltsColumn, 2), "0.00");
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 1}));
    clickCell(AmpsColumn, 2);
    key(Qt::Key_Backspace);
    EXPECT_EQ(cell(AmpsColumn, 2), "");
    clickCell(CommentColumn, 1);
    EXPECT_EQ(cell(AmpsColumn, 2), "0.01");
    EXPECT_EQ(table().currentCell(), (CellPos{CommentColumn, 1}));

    // A legal value is reformatted; comments are left alone.
    clickCell(VoltsColumn, 2);
    type("12");
    clickCell(CommentColumn, 2);
    EXPECT_EQ(cell(VoltsColumn, 2), "12.00");
    type(" x ");
    clickCell(VoltsColumn, 1);
    EXPECT_EQ(cell(CommentColumn, 2), " x ");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(EditorGrid, LosingActivationValidatesTheCurrentCell) {
    setSteps({{"1.00", "0.50", ""}});
    type("99");
    form()->onDeactivate();
    EXPECT_EQ(cell(VoltsColumn, 1), "0.00");
    EXPECT_EQ(prompts.count(kExceeds), 1);
    EXPECT_EQ(ed().cellRejected, 1);
}

// ---------------------------------------------------------------- row operations

const StepTexts A{"1.00", "0.10", "A"};
const StepTexts B{"2.00", "0.20", "B"};
const StepTexts C{"3.00", "0.30", "C"};
const StepTexts Fresh{"0.00", "0.01", ""};

TEST_F(EditorGrid, AddAppendsADefaultStepAndMovesToIt) {
    click(form()->Button1);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{Fresh, Fresh}));
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 2}));
    EXPECT_EQ(gridCell(), (CellPos{VoltsColumn, 2}));
    EXPECT_TRUE(form()->Button2->isEnabled());
    EXPECT_EQ(ed().unsavedChanges, 1);

    // The column stays.
    setSteps({A, B}, CommentColumn, 1);
    click(form()->Button1);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{A, B, Fresh}));
    EXPECT_EQ(table().currentCell(), (CellPos{CommentColumn, 3}));
}

TEST_F(EditorGrid, DeleteRemovesTheCurrentStep) {
    // On a one-step table: nothing removed, Delete disabled, the table marked changed.
    form()->Button2->setEnabled(true);
    click(form()->Button2);
    EXPECT_EQ(steps(), std::vector<StepTexts>{Fresh});
    EXPECT_FALSE(form()->Button2->isEnabled());
    EXPECT_EQ(ed().unsavedChanges, 1);

    // Step 3 of three: two remain and the current cell is on step 2.
    setSteps({A, B, C}, AmpsColumn, 3);
    form()->Button2->setEnabled(true);
    click(form()->Button2);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{A, B}));
    EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 2}));
    EXPECT_EQ(gridCell(), (CellPos{AmpsColumn, 2}));
    EXPECT_TRUE(form()->Button2->isEnabled());

    // Step 1 of three: the steps below move up, renumbered; the current row number stays.
    setSteps({A, B, C}, VoltsColumn, 1);
    click(form()->Button2);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{B, C}));
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 1}));
    click(form()->Button2);
    EXPECT_EQ(steps(), std::vector<StepTexts>{C});
    EXPECT_FALSE(form()->Button2->isEnabled());
    // Escape now brings back this step's own text, not the deleted one's.
    table().setCell(VoltsColumn, 1, "9");
    QTest::keyClick(grid(), Qt::Key_Escape);
    EXPECT_EQ(cell(VoltsColumn, 1), "3.00");
}

TEST_F(EditorGrid, InsertPutsADefaultStepAtTheCurrentRow) {
    setSteps({A, B, C}, CommentColumn, 2);
    click(form()->Button3);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{A, Fresh, B, C}));
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(table().currentCell(), (CellPos{CommentColumn, 2}));
    EXPECT_EQ(gridCell(), (CellPos{CommentColumn, 2}));
    EXPECT_TRUE(form()->Button2->isEnabled());
    EXPECT_EQ(ed().unsavedChanges, 1);

    // The step pushed down gets defaults for empty cells.
    setSteps({{"", "", "x"}});
    click(form()->Button3);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{Fresh, {"0.00", "0.01", "x"}}));
    EXPECT_EQ(table().currentRow(), 1);
}

TEST_F(EditorGrid, CopyDuplicatesTheCurrentStepWithoutItsComment) {
    setSteps({A, B, C}, AmpsColumn, 2);
    click(form()->Button4);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{A, {"2.00", "0.20", ""}, B, C}));
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 2}));
    EXPECT_EQ(gridCell(), (CellPos{AmpsColumn, 2}));
    EXPECT_TRUE(form()->Button2->isEnabled());
    EXPECT_EQ(ed().unsavedChanges, 1);
}

TEST_F(EditorGrid, ARejectedCellStopsTheOperationOnce) {
    QPushButton* buttons[] = {form()->Button1, form()->Button2, form()->Button3, form()->Button4};
    for (QPushButton* b : buttons) {
        SCOPED_TRACE(b->text().toStdString());
        setSteps({A, B});
        form()->Button2->setEnabled(true);
        ed().unsavedChanges = 0;
        type("99");
        ed().unsavedChanges = 0;
        click(b);
        EXPECT_EQ(prompts.shown, (std::vector<std::string>{"beep", kExceeds}));
        EXPECT_EQ(steps(), (std::vector<StepTexts>{{"0.00", "0.10", "A"}, B}));
        EXPECT_EQ(ed().unsavedChanges, 0) << "the operation did nothing";
        click(b);
        EXPECT_NE(steps().size(), 2u) << "pressed again, it is done";
    }
    // A rejection followed by a move to a Comment cell does not block the next operation.
    setSteps({A, B});
    type("99");
    clickCell(CommentColumn, 1);
    ASSERT_EQ(table().currentCol(), CommentColumn);
    EXPECT_EQ(ed().cellRejected, 1);
    click(form()->Button1);
    EXPECT_EQ(steps().size(), 3u);
}

TEST_F(EditorGrid, TheOperationsWorkRightAfterTypingInAnOpenEditor) {
    setSteps({A, B});
    type("7");
    ASSERT_NE(ed().cellEditor(), nullptr);
    click(form()->Button4);
    EXPECT_EQ(ed().cellEditor(), nullptr);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"7.00", "0.10", ""}, {"7.00", "0.10", "A"}, B}));
}

// ---------------------------------------------------------------- models

struct Ticks {
    bool km, vd, zn;
};

class EditorModels : public EditorFixture {
protected:
    void expectModel(int model, Ticks t) {
        EXPECT_EQ(st().selectedModel, model);
        const SupplyModel* m = findSupplyModel(model);
        EXPECT_FLOAT_EQ(st().maxVolts, m->maxVolts);
        EXPECT_FLOAT_EQ(st().maxAmps, m->maxAmps);
        EXPECT_EQ(main()->KM417R1->isChecked(), t.km);
        EXPECT_EQ(main()->Vd826R1->isChecked(), t.vd);
        EXPECT_EQ(main()->Zn826R1->isChecked(), t.zn);
        EXPECT_EQ(form()->KM417R1->isChecked(), t.km);
        EXPECT_EQ(form()->Vd826R1->isChecked(), t.vd);
        EXPECT_EQ(form()->ZN826R1->isChecked(), t.zn);
    }
    // The items of both windows, by model.
    QAction* item(bool editor, int model) {
        if (editor)
            return model == 1 ? form()->KM417R1 : model == 2 ? form()->Vd826R1 : form()->ZN826R1;
        return model == 1 ? main()->KM417R1 : model == 2 ? main()->Vd826R1 : main()->Zn826R1;
    }
};

TEST_F(EditorModels, SwitchesFromEitherWindow) {
    struct Case {
        int from;
        std::vector<StepTexts> steps;
        int to;
        int model;         // after the click
        std::string shown; // "" none
        int row;           // current row after the click (0: not checked)
    } cases[] = {
        {1, {A, B}, 2, 2, "", 0},
        {1, {A, B}, 3, 3, "", 0},
        {2, {A, B}, 1, 1, "", 2}, // within limits: on the last step's Volts
        {3, {A, B}, 1, 1, "", 2},
        {2, {A, {"30.80", "2.06", ""}}, 1, 1, "", 2}, // the limits themselves pass
        {2,
         {A, {"33.00", "0.20", ""}, C},
         1,
         2,
         std::string("confirmOk:") + kTextExceedPsuLimits,
         2},
        {2,
         {A, B, {"3.00", "2.07", ""}},
         1,
         2,
         std::string("confirmOk:") + kTextExceedPsuLimits,
         3},
        {2, {A, {"", "0.20", ""}, C}, 1, 2, "exception:'' is not a valid floating point value", 2},
        {2,
         {A, {"5V", "0.20", ""}, C},
         1,
         2,
         "exception:'5V' is not a valid floating point value",
         2},
        {2, {A, B}, 2, 2, "", 0},
    };
    for (bool editor : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(editor ? "editor" : "main") + " window, " +
                         std::to_string(c.from) + " to " + std::to_string(c.to));
            item(false, c.from)->trigger();
            ASSERT_EQ(st().selectedModel, c.from);
            setSteps(c.steps, VoltsColumn, 1);
            ed().unsavedChanges = 0;
            item(editor, c.to)->trigger();
            expectModel(c.model, {c.model == 1, c.model == 2, c.model == 3});
            if (c.shown.empty()) {
                EXPECT_TRUE(prompts.shown.empty());
            } else {
                EXPECT_EQ(prompts.shown, std::vector<std::string>{c.shown});
            }
            if (c.row) {
                EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, c.row}));
            }
            EXPECT_EQ(gridCell(), table().currentCell());
            EXPECT_EQ(ed().unsavedChanges, 0) << "a switch is no change of the table";
        }
    }
}

TEST_F(EditorModels, TheScanLeavesCellsAgainstTheLimitsInForce) {
    item(false, 2)->trigger();
    // Each cell the scan leaves is validated (and reformatted) on the way.
    setSteps({{"12", "0.5", ""}, {"3", "1", ""}}, AmpsColumn, 1);
    item(true, 1)->trigger();
    expectModel(1, {true, false, false});
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"12.00", "0.50", ""}, {"3", "1", ""}}))
        << "the cells left are reformatted; the last one stays current";
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 2}));
}

TEST_F(EditorModels, AModelOutsideTheTableKeepsItsTicksWhenASwitchIsRefused) {
    app.reset();
    writeConfig("7,0,1");
    start();
    ASSERT_EQ(st().selectedModel, 7);
    EXPECT_FLOAT_EQ(st().maxVolts, 30.8f);
    setSteps({{"33.00", "0.20", ""}});
    for (QAction* a : {main()->KM417R1, form()->KM417R1}) {
        a->trigger();
        EXPECT_EQ(st().selectedModel, 7);
        EXPECT_TRUE(main()->KM417R1->isChecked());
        EXPECT_FALSE(main()->Vd826R1->isChecked());
        EXPECT_FALSE(form()->KM417R1->isChecked()) << "the editor ticks only a matching item";
    }
}

} // namespace

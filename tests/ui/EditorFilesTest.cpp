// New, Load, Save and CSV import from both windows' File menus, through the fake
// prompts, on real files; and the close query's save.
#include "EditorFixture.h"
#include "sequence/CsvImport.h"
#include "sequence/SeqFile.h"
#include "sequence/SupplyModels.h"

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

using EditorFiles = EditorFixture;

const std::string kUnsavedLost = std::string("confirm:") + kTextUnsavedDataLost;
const std::string kSeqDialog = "save:Kadenzo Files|*.seq";
const std::string kOpenDialog = "open:Kadenzo Files|*.seq";
const std::string kCsvDialog = "open:Comma Separated Values|*.csv";

const StepTexts Fresh{"0.00", "0.01", ""};

// ---------------------------------------------------------------- save

TEST_F(EditorFiles, SavesTheDefaultTableAsEighteenBytes) {
    const std::string file = path("default.seq");
    prompts.files = {file};
    main()->Save1->trigger();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kSeqDialog});
    EXPECT_EQ(readFile(file), std::string("1\r\n1,0.00,0.01,\r\n*"));
    EXPECT_EQ(readFile(file).size(), 18u);
    EXPECT_EQ(main()->SaveDialog1.fileName, file) << "the dialog proposes it next time";
}

TEST_F(EditorFiles, SavesTheCellsAsTheyStand) {
    setSteps({{"", "0.50", "Ramp up, slow"}, {"12.50", "", ""}}, CommentColumn, 1);
    ed().unsavedChanges = 1;
    selectModel2();
    const std::string file = path("two.seq");
    prompts.files = {file};
    EXPECT_EQ(ed().SaveSequence(), SequenceEditor::SaveResult::Saved);
    EXPECT_EQ(readFile(file), "2\r\n1,0.00,0.50,Ramp up, slow\r\n2,12.50,0.01,\r\n*");
    EXPECT_EQ(cell(VoltsColumn, 1), "0.00") << "the table holds what the file holds";
    EXPECT_EQ(cell(AmpsColumn, 2), "0.01");
    EXPECT_EQ(ed().unsavedChanges, 0);
}

TEST_F(EditorFiles, ACancelledDialogOrARejectedCellWritesNothing) {
    ed().unsavedChanges = 1;
    EXPECT_EQ(ed().SaveSequence(), SequenceEditor::SaveResult::NotSaved);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kSeqDialog});
    EXPECT_EQ(ed().unsavedChanges, 1);

    prompts.clear();
    table().setCell(VoltsColumn, 1, "31");
    prompts.files = {path("never.seq")};
    EXPECT_EQ(ed().SaveSequence(), SequenceEditor::SaveResult::NotSaved);
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{"beep", std::string("error:") + kTextValueExceeds}));
    EXPECT_EQ(cell(VoltsColumn, 1), "0.00");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("never.seq"))));
    EXPECT_EQ(ed().unsavedChanges, 1);
}

TEST_F(EditorFiles, AFailedWriteLeavesTheOldFileAndTheFlag) {
    // A name so long that no file can be created beside it: the old file stays.
    const std::string old = path(std::string(250, 'n'));
    writeFile(old, "old contents");
    const std::string missingFolder = path("no/such/folder/x.seq");
    for (const std::string& file : {old, missingFolder}) {
        SCOPED_TRACE(file.substr(0, 60));
        prompts.clear();
        setSteps({{"1.00", "0.10", "new"}});
        ed().unsavedChanges = 1;
        prompts.files = {file};
        EXPECT_EQ(ed().SaveSequence(), SequenceEditor::SaveResult::WriteFailed);
        ASSERT_EQ(prompts.shown.size(), 2u);
        EXPECT_EQ(prompts.shown[1].rfind("error:Cannot write file " + file + "\r", 0), 0u)
            << prompts.shown[1];
        EXPECT_GT(prompts.shown[1].size(), ("error:Cannot write file " + file + "\r").size())
            << "the reason follows the name";
        EXPECT_EQ(ed().unsavedChanges, 1);
    }
    EXPECT_EQ(readFile(old), "old contents");
}

TEST_F(EditorFiles, ASaveOverAnOldFileReplacesItWhole) {
    const std::string file = path("over.seq");
    writeFile(file, std::string(5000, 'x'));
    prompts.files = {file};
    EXPECT_EQ(ed().SaveSequence(), SequenceEditor::SaveResult::Saved);
    EXPECT_EQ(readFile(file), "1\r\n1,0.00,0.01,\r\n*");
}

// ---------------------------------------------------------------- load

TEST_F(EditorFiles, LoadsAFileForAnotherModel) {
    const std::string file = path("two.seq");
    writeFile(file, "2\r\n1,0.00,0.01,\r\n2,12.50,1.00,Ramp up, slow\r\n*");
    form()->hide();
    main()->Button6->setEnabled(false);
    form()->Button2->setEnabled(false);
    prompts.files = {file};
    main()->Load1->trigger();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kOpenDialog}) << "nothing to save";
    EXPECT_EQ(steps(), (std::vector<StepTexts>{Fresh, {"12.50", "1.00", "Ramp up, slow"}}));
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(st().selectedModel, 2);
    EXPECT_FLOAT_EQ(st().maxVolts, 35.4f);
    EXPECT_FLOAT_EQ(st().maxAmps, 5.05f);
    EXPECT_TRUE(main()->Vd826R1->isChecked());
    EXPECT_FALSE(main()->KM417R1->isChecked());
    EXPECT_TRUE(form()->Vd826R1->isChecked());
    EXPECT_FALSE(form()->KM417R1->isChecked());
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 1}));
    EXPECT_EQ(gridCell(), (CellPos{VoltsColumn, 1}));
    EXPECT_TRUE(form()->Button2->isEnabled());
    EXPECT_TRUE(form()->isVisible());
    EXPECT_TRUE(main()->Button6->isEnabled());
    EXPECT_EQ(ed().unsavedChanges, 0);
    EXPECT_EQ(main()->OpenDialog1.fileName, file);
}

TEST_F(EditorFiles, LoadKeepsTextsAsStoredAndNumbersTheSteps) {
    const std::string file = path("raw.seq");
    writeFile(file, "1\r\n5,1.00,0.10,a\r\n7,5,1,b\r\n9,33,0.3,c\r\n*");
    setSteps(std::vector<StepTexts>(20, Fresh), VoltsColumn, 1);
    prompts.files = {file};
    form()->Load1->trigger();
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2", "3"}));
    // Moving to the last step, then to step 1, validates the cells left on the way:
    // step 1's Volts and step 3's Volts. The middle step stays as stored.
    EXPECT_EQ(steps(), (std::vector<StepTexts>{
                           {"1.00", "0.10", "a"}, {"5", "1", "b"}, {"0.00", "0.3", "c"}}));
    EXPECT_EQ(prompts.count(std::string("error:") + kTextValueExceeds), 1)
        << "33 V is above model 1's limit";
    EXPECT_EQ(st().selectedModel, 1);
}

TEST_F(EditorFiles, ALoadedModelsLimitsApplyToTheCellsLeftOnTheWay) {
    const std::string file = path("high.seq");
    writeFile(file, "2\r\n1,33.00,5.00,\r\n2,34,5,\r\n*");
    setSteps({Fresh}, VoltsColumn, 1);
    prompts.files = {file};
    main()->Load1->trigger();
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"33.00", "5.00", ""}, {"34.00", "5", ""}}));
    EXPECT_TRUE(prompts.shown.size() == 1) << "no rejection: the file is for model 2";
}

TEST_F(EditorFiles, ModelDigitsOfTheFile) {
    struct Case {
        const char* digit;
        int from;
        int model;
    } cases[] = {{"1", 2, 1}, {"2", 1, 2}, {"3", 2, 2}, {"3", 1, 1}, {"9", 2, 2}, {"x", 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("digit ") + c.digit);
        (c.from == 1 ? main()->KM417R1 : main()->Vd826R1)->trigger();
        const std::string file = path("m.seq");
        writeFile(file, std::string(c.digit) + "\r\n1,1.00,0.50,\r\n*");
        prompts.files = {file};
        main()->Load1->trigger();
        EXPECT_EQ(steps(), (std::vector<StepTexts>{{"1.00", "0.50", ""}}));
        EXPECT_EQ(st().selectedModel, c.model);
        const SupplyModel* m = findSupplyModel(c.model);
        EXPECT_FLOAT_EQ(st().maxVolts, m->maxVolts);
        EXPECT_EQ(main()->KM417R1->isChecked(), c.model == 1);
        EXPECT_EQ(form()->Vd826R1->isChecked(), c.model == 2);
    }
}

TEST_F(EditorFiles, AFileForModel3KeepsModel3sLimits) {
    config = "3,0,1";
    app.reset();
    SetUp();
    const std::string file = path("m3.seq");
    writeFile(file, "3\r\n1,35.00,5.00,\r\n*");
    prompts.files = {file};
    main()->Load1->trigger();
    EXPECT_EQ(st().selectedModel, 3);
    EXPECT_FLOAT_EQ(st().maxVolts, 35.4f);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"35.00", "5.00", ""}}));
}

TEST_F(EditorFiles, RefusedFilesLeaveEverythingAsItWas) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"too large", "2\r\n1,1.00,0.50," + std::string(kSeqMaxFileBytes, 'c') + "\r\n*",
         "200,000"},
        {"two commas", "2\r\n1,1.00,0.50,\r\n2,1.00\r\n*", "commas"},
        {"long field", "2\r\n1,1.00,0.50," + std::string(160, 'c') + "\r\n*", "159"},
        {"no records", "2\r\n*", "no steps"},
        {"empty", "", "empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        main()->KM417R1->trigger();
        setSteps({{"1.00", "0.10", "keep"}, {"2.00", "0.20", "me"}}, AmpsColumn, 2);
        form()->Button2->setEnabled(false);
        const std::string file = path("bad.seq");
        writeFile(file, c.bytes);
        prompts.files = {file};
        form()->Load1->trigger();
        ASSERT_EQ(prompts.shown.size(), 2u);
        EXPECT_EQ(prompts.shown[1].rfind("error:Cannot load file " + file + "\r", 0), 0u);
        EXPECT_NE(prompts.shown[1].find(c.reason), std::string::npos) << prompts.shown[1];
        EXPECT_EQ(steps(),
                  (std::vector<StepTexts>{{"1.00", "0.10", "keep"}, {"2.00", "0.20", "me"}}));
        EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 2}));
        EXPECT_EQ(st().selectedModel, 1) << "the model digit is not applied";
        EXPECT_FALSE(form()->Button2->isEnabled());
    }
}

TEST_F(EditorFiles, AFileWithoutItsEndMarkerLoadsItsCompleteRecords) {
    const std::string file = path("cut.seq");
    writeFile(file, "1\r\n1,1.00,0.10,a\r\n2,2.00,0.20,b\r\n3,3.0");
    prompts.files = {file};
    main()->Load1->trigger();
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"1.00", "0.10", "a"}, {"2.00", "0.20", "b"}}));
}

TEST_F(EditorFiles, AFileThatCannotBeOpenedChangesNothingSilently) {
    setSteps({{"1.00", "0.10", "keep"}});
    prompts.files = {path("missing.seq")};
    main()->Load1->trigger();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kOpenDialog});
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"1.00", "0.10", "keep"}}));
    prompts.files = {std::string()};
    main()->Load1->trigger();
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"1.00", "0.10", "keep"}}));
}

TEST_F(EditorFiles, CommentBytesSurviveLoadAndSave) {
    std::string comments = "Ramp up, slow";
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
        high += static_cast<char>(b);
    const std::string bytes = "2\r\n1,1.00,0.10," + comments + "\r\n2,2.00,0.20," +
                              high.substr(0, 100) + "\r\n3,3.00,0.30," + high.substr(100) +
                              ",;\"'\t\r\n*";
    const std::string in = path("in.seq");
    const std::string out = path("out.seq");
    writeFile(in, bytes);
    prompts.files = {in, out};
    main()->Load1->trigger();
    main()->Save1->trigger();
    EXPECT_EQ(readFile(out), bytes);
    // The grid shows each byte as the character of that code.
    EXPECT_EQ(ed().gridModel()->data(ed().gridModel()->indexOf(CommentColumn, 2)).toString(),
              QString::fromLatin1(high.substr(0, 100).data(), 100));
}

TEST_F(EditorFiles, InsertAndCopyRightAfterLoadingOneStep) {
    const std::string file = path("one.seq");
    writeFile(file, "1\r\n1,4.00,0.40,x\r\n*");
    for (QPushButton* b : {form()->Button3, form()->Button4}) {
        SCOPED_TRACE(b->text().toStdString());
        ed().unsavedChanges = 0;
        prompts.files = {file};
        main()->Load1->trigger();
        click(b);
        const StepTexts first = b == form()->Button3 ? Fresh : StepTexts{"4.00", "0.40", ""};
        EXPECT_EQ(steps(), (std::vector<StepTexts>{first, {"4.00", "0.40", "x"}}));
        EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 1}));
    }
}

// ---------------------------------------------------------------- the unsaved-data prompt

TEST_F(EditorFiles, LoadAsksFirstWhenThereAreUnsavedChanges) {
    const std::string file = path("next.seq");
    writeFile(file, "1\r\n1,9.00,0.90,next\r\n*");
    const StepTexts mine{"1.00", "0.10", "mine"};
    const StepTexts next{"9.00", "0.90", "next"};

    struct Case {
        const char* name;
        Prompts::Answer answer;
        std::vector<std::optional<std::string>> files; // save (Yes), then open
        std::vector<StepTexts> after;
        bool saved;
    } cases[] = {
        {"Cancel", Prompts::Answer::Cancel, {}, {mine}, false},
        {"No", Prompts::Answer::No, {file}, {next}, false},
        {"Yes", Prompts::Answer::Yes, {path("saved.seq"), file}, {next}, true},
        // The prompt said the data would be lost: the table is reset all the same.
        {"Yes, save cancelled", Prompts::Answer::Yes, {std::nullopt, std::nullopt}, {Fresh}, false},
        // A write that failed keeps the table (and does not go on to load).
        {"Yes, write failed", Prompts::Answer::Yes, {path("no/such/dir.seq"), file}, {mine}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(QString::fromStdString(path("saved.seq")));
        setSteps({mine});
        ed().unsavedChanges = 1;
        prompts.answers = {c.answer};
        prompts.files.assign(c.files.begin(), c.files.end());
        form()->Load1->trigger();
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_EQ(prompts.shown[0], kUnsavedLost);
        EXPECT_EQ(steps(), c.after);
        EXPECT_EQ(QFile::exists(QString::fromStdString(path("saved.seq"))), c.saved);
        if (c.saved) {
            EXPECT_EQ(readFile(path("saved.seq")), "1\r\n1,1.00,0.10,mine\r\n*");
        }
    }
}

TEST_F(EditorFiles, NewResetsToOneDefaultStep) {
    const StepTexts mine{"1.00", "0.10", "mine"};
    struct Case {
        const char* name;
        int unsaved;
        Prompts::Answer answer;
        std::vector<std::optional<std::string>> files;
        bool asked;
        std::vector<StepTexts> after;
    } cases[] = {
        {"nothing to save", 0, Prompts::Answer::Cancel, {}, false, {Fresh}},
        {"Cancel", 1, Prompts::Answer::Cancel, {}, true, {mine, mine}},
        {"No", 1, Prompts::Answer::No, {}, true, {Fresh}},
        {"Yes", 1, Prompts::Answer::Yes, {path("new.seq")}, true, {Fresh}},
        {"Yes, save cancelled", 1, Prompts::Answer::Yes, {std::nullopt}, true, {Fresh}},
        {"Yes, write failed", 1, Prompts::Answer::Yes, {path("no/dir/x.seq")}, true, {mine, mine}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        selectModel2();
        setSteps({mine, mine}, CommentColumn, 2);
        form()->hide();
        form()->Button2->setEnabled(true);
        ed().unsavedChanges = c.unsaved;
        prompts.answers = {c.answer};
        prompts.files.assign(c.files.begin(), c.files.end());
        (c.unsaved ? main()->New1 : form()->New1)->trigger();
        EXPECT_EQ(prompts.count(kUnsavedLost), c.asked ? 1 : 0);
        EXPECT_EQ(steps(), c.after);
        if (c.after.size() == 1) {
            EXPECT_EQ(numbers(), std::vector<std::string>{"1"});
            EXPECT_EQ(ed().unsavedChanges, 0);
            EXPECT_EQ(table().currentCell(), (CellPos{CommentColumn, 1}));
        }
        // The model, the limits, Delete and the window stay.
        EXPECT_EQ(st().selectedModel, 2);
        EXPECT_FLOAT_EQ(st().maxVolts, 35.4f);
        EXPECT_TRUE(form()->Button2->isEnabled());
        EXPECT_FALSE(form()->isVisible());
    }
    EXPECT_EQ(readFile(path("new.seq")), "2\r\n1,1.00,0.10,mine\r\n2,1.00,0.10,mine\r\n*");
}

// ---------------------------------------------------------------- CSV import

TEST_F(EditorFiles, ImportReplacesTheTableWithTheCheckedLines) {
    const std::string file = path("in.csv");
    writeFile(file, "5,1.234\r\n31,1.5\r\n-1,1\r\n,1\r\n5,0\r\n5,\r\n5,0.01\r\nVolts,Amps\r\n");
    setSteps(std::vector<StepTexts>(10, {"1.00", "0.10", "old"}), AmpsColumn, 4);
    form()->Button2->setEnabled(false);
    form()->hide();
    prompts.files = {file};
    main()->Import1->trigger();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kCsvDialog}) << "no unsaved-data prompt";
    EXPECT_EQ(steps(), (std::vector<StepTexts>{
                           {"5.00", "1.23", kTextIllegalImport},
                           {"0.00", "1.50", kTextVoltsExceeded},
                           {"0.00", "1.00", kTextVoltsExceeded},
                           {"0.00", "1.00", ""},
                           {"5.00", "0.01", kTextAmpsExceeded},
                           {"5.00", "0.01", kTextAmpsExceeded},
                           {"5.00", "0.01", ""},
                           {"0.00", "0.01", kTextAmpsExceeded},
                       }));
    EXPECT_EQ(numbers(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(ed().unsavedChanges, 1);
    EXPECT_EQ(table().currentCell(), (CellPos{AmpsColumn, 4})) << "the current cell stays";
    EXPECT_EQ(gridCell(), (CellPos{AmpsColumn, 4}));
    EXPECT_FALSE(form()->Button2->isEnabled()) << "Delete is left as it was";
    EXPECT_FALSE(form()->isVisible());
    EXPECT_EQ(st().selectedModel, 1);
    EXPECT_EQ(main()->importdialog.fileName, file);
}

TEST_F(EditorFiles, ImportFromTheEditorMenuAndLinesOfAnyEnding) {
    const std::string file = path("lf.csv");
    writeFile(file, "\xEF\xBB\xBF"
                    "1,0.5\n2,0.6\n3,0.7\n\n\n");
    setSteps(std::vector<StepTexts>(10, Fresh), VoltsColumn, 9);
    prompts.files = {file};
    form()->Importcsv1->trigger();
    EXPECT_EQ(steps(), (std::vector<StepTexts>{
                           {"1.00", "0.50", ""}, {"2.00", "0.60", ""}, {"3.00", "0.70", ""}}));
    EXPECT_EQ(table().currentCell(), (CellPos{VoltsColumn, 3})) << "its row is gone";
    EXPECT_EQ(gridCell(), (CellPos{VoltsColumn, 3}));
}

TEST_F(EditorFiles, ImportFailuresLeaveTheTable) {
    setSteps({{"1.00", "0.10", "keep"}});
    ed().unsavedChanges = 0;
    // Cancelled.
    main()->Import1->trigger();
    EXPECT_EQ(prompts.shown, std::vector<std::string>{kCsvDialog});
    // A file that cannot be opened.
    prompts.clear();
    const std::string missing = path("missing.csv");
    prompts.files = {missing};
    main()->Import1->trigger();
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{kCsvDialog, "exception:Cannot open file " + missing}));
    // An empty file.
    prompts.clear();
    const std::string empty = path("empty.csv");
    writeFile(empty, "");
    prompts.files = {empty};
    main()->Import1->trigger();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].rfind("error:Cannot import file " + empty + "\r", 0), 0u);
    EXPECT_EQ(steps(), (std::vector<StepTexts>{{"1.00", "0.10", "keep"}}));
    EXPECT_EQ(ed().unsavedChanges, 0);
}

// ---------------------------------------------------------------- close query

TEST_F(EditorFiles, CloseQueryKeepsTheProgramWhenTheSaveFailedToWrite) {
    main()->show();
    ed().unsavedChanges = 1;
    prompts.answers = {Prompts::Answer::Yes};
    prompts.files = {path("no/such/folder/x.seq")};
    EXPECT_FALSE(main()->close());
    EXPECT_EQ(prompts.shown[0], "confirm:Unsaved sequence data\r Do you want to save ?");
    EXPECT_TRUE(main()->isVisible());
    EXPECT_EQ(ed().unsavedChanges, 1);

    // Yes, then a cancelled dialog: the program ends.
    prompts.answers = {Prompts::Answer::Yes};
    EXPECT_TRUE(main()->close());
}

TEST_F(EditorFiles, CloseQuerySavesOnYes) {
    main()->show();
    table().setCell(CommentColumn, 1, "kept");
    ed().unsavedChanges = 1;
    prompts.answers = {Prompts::Answer::Yes};
    prompts.files = {path("at-close.seq")};
    EXPECT_TRUE(main()->close());
    EXPECT_EQ(readFile(path("at-close.seq")), "1\r\n1,0.00,0.01,kept\r\n*");
}

} // namespace

#pragma once
// The whole program on fakes with the sequence editor shown, and helpers that type
// real key presses into its grid: into the open cell editor when there is one,
// else into the grid itself (which opens the editor as a user's typing does).
#include "AppFixture.h"
#include "sequence/SequenceTable.h"
#include "ui/Forms.h"
#include "ui/SequenceEditor.h"
#include "ui/SequenceGridModel.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kadenzo::test {

class EditorFixture : public AppFixture {
protected:
    void SetUp() override {
        writeConfig(config);
        start();
        form()->show();
        QApplication::processEvents();
        prompts.clear();
    }

    // config.INI for start-up: model 1, no port, line feed.
    std::string config = "1,0,1";

    TForm1* main() { return ctx().Form1; }
    TForm2* form() { return ctx().Form2; }
    QTableView* grid() { return form()->StringGrid1; }
    SequenceEditor& ed() { return *ctx().editor; }
    SequenceTable& table() { return ed().table(); }
    std::string cell(int col, int row) { return table().cell(col, row); }

    QWidget* keyTarget() {
        QLineEdit* e = ed().cellEditor();
        return e ? static_cast<QWidget*>(e) : grid();
    }
    void key(Qt::Key k) { QTest::keyClick(keyTarget(), k); }
    void type(const std::string& text) {
        for (char ch : text)
            QTest::keyClick(keyTarget(), ch);
    }
    // A key press typing one character of any code (QTest types Latin-1 only).
    void typeChar(QChar ch) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(keyTarget(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(keyTarget(), &release);
    }
    // Opens the editor on the current cell with the cursor after its text.
    void editAtEnd() {
        QTest::keyClick(grid(), Qt::Key_F2);
        ASSERT_NE(ed().cellEditor(), nullptr);
        QTest::keyClick(ed().cellEditor(), Qt::Key_End);
    }
    // Model 2 through the main window's menu (no check of the table).
    void selectModel2() {
        main()->Vd826R1->trigger();
        prompts.clear();
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void clickCell(int col, int row) {
        QModelIndex i = ed().gridModel()->indexOf(col, row);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(i).center());
    }

    // Replaces the steps and makes (col, row) current, as a loaded table would be.
    void setSteps(const std::vector<StepTexts>& steps, int col = VoltsColumn, int row = 1) {
        table().replaceSteps(steps);
        // Moved without the cell-leave processing, which would check the new cells.
        auto leave = std::move(table().onCurrentCellChanging);
        table().onCurrentCellChanging = nullptr;
        table().setCurrentCell(col, row);
        table().onCurrentCellChanging = std::move(leave);
        ed().cellEntryText = cell(col, row);
        prompts.clear();
    }
    std::vector<StepTexts> steps() {
        std::vector<StepTexts> out;
        for (int r = 1; r < table().RowCount(); ++r)
            out.push_back(table().step(r));
        return out;
    }
    std::vector<std::string> numbers() {
        std::vector<std::string> out;
        for (int r = 1; r < table().RowCount(); ++r)
            out.push_back(cell(StepColumn, r));
        return out;
    }
    // The grid's current index, as a table cell.
    CellPos gridCell() { return SequenceGridModel::cellOf(grid()->currentIndex()); }

    std::string path(const std::string& name) { return files.path().toStdString() + "/" + name; }
    void writeFile(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    QTemporaryDir files;
};

} // namespace kadenzo::test

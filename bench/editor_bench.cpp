// Sequence editor benchmark: the whole program on the offscreen platform, with the
// fake serial control and scripted prompts. Prints the median time of each operation,
// each measured until the events it caused (the grid's repaint among them) are done.
//   load     LoadSequence of a 200,000-byte .seq file (about 8,000 steps), the editor
//            hidden before, so the load shows it
//   save     SaveSequence of that table to a file
//   insert / copy / delete   the editor's buttons at step 1 of that table
//   csv      ImportCsv of a CSV file of 10,000 lines
#include "BenchData.h"
#include "FakePrompts.h"
#include "FakeSerial.h"
#include "app/Kadenzo.h"
#include "sequence/SeqFile.h"
#include "ui/Forms.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace kadenzo;

namespace {

using namespace kadenzo::bench;

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void settle() {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
}

template <class Setup, class Op, class Undo>
void measure(const char* name, int runs, Setup setup, Op op, Undo undo) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setup();
        settle();
        auto start = Clock::now();
        op();
        settle();
        auto end = Clock::now();
        undo();
        settle();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    report(name, ms);
}

void nothing() {}

// Counts the paint events of a widget, to show that the measured span includes them.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void fail(const char* what) {
    std::printf("failed: %s\n", what);
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    qputenv("APPDATA", dir.path().toLocal8Bit());
    std::filesystem::create_directories(base + "/Kadenzo");
    writeFile(base + "/Kadenzo/config.INI", "2,0,1");

    const std::string seqPath = base + "/big.seq";
    const std::string outPath = base + "/out.seq";
    const std::string csvPath = base + "/big.csv";
    const std::string seq = seqFile(kSeqMaxFileBytes, 8000);
    writeFile(seqPath, seq);
    writeFile(csvPath, csvFile(10000));
    std::printf(".seq file: %zu bytes, 8000 steps; CSV file: 10000 lines\n", seq.size());

    test::FakeSerial serial;
    test::FakePrompts prompts;
    Kadenzo app(serial, prompts);
    Context& c = app.context();
    c.Form1->Timer3->setEnabled(false); // no status polls in between
    app.show();
    SequenceEditor& editor = *c.editor;
    SequenceTable& table = editor.table();
    const int runs = 21;
    PaintCounter painted;
    c.Form2->StringGrid1->viewport()->installEventFilter(&painted);

    measure(
        "load", runs,
        [&] {
            c.Form2->hide();
            editor.unsavedChanges = 0;
            editor.NewSequence();
            prompts.files = {seqPath};
        },
        [&] { editor.LoadSequence(); }, nothing);
    if (table.stepCount() != 8000 || !c.Form2->isVisible())
        fail("load");
    std::printf("          grid painted %d times in %d loads\n", painted.paints, runs);

    measure(
        "save", runs, [&] { prompts.files = {outPath}; },
        [&] {
            if (editor.SaveSequence() != SequenceEditor::SaveResult::Saved)
                fail("save");
        },
        nothing);
    if (readFile(outPath) != seq)
        fail("save did not reproduce the file");

    TForm2* f = c.Form2;
    table.setCurrentCell(VoltsColumn, 1);
    measure(
        "insert", runs, nothing, [&] { f->Button3->click(); }, [&] { f->Button2->click(); });
    measure(
        "copy", runs, nothing, [&] { f->Button4->click(); }, [&] { f->Button2->click(); });
    const StepTexts first = table.step(1);
    measure(
        "delete", runs, nothing, [&] { f->Button2->click(); },
        [&] {
            table.insertRow(1);
            table.setCell(VoltsColumn, 1, first.volts);
            table.setCell(AmpsColumn, 1, first.amps);
            table.setCell(CommentColumn, 1, first.comment);
        });
    prompts.files = {outPath};
    if (table.stepCount() != 8000 || editor.SaveSequence() != SequenceEditor::SaveResult::Saved ||
        readFile(outPath) != seq)
        fail("row operations did not restore the table");

    measure(
        "csv", runs,
        [&] {
            editor.unsavedChanges = 0;
            editor.NewSequence();
            prompts.files = {csvPath};
        },
        [&] { editor.ImportCsv(); }, nothing);
    if (table.stepCount() != 10000)
        fail("csv");
    if (!prompts.shown.empty() && prompts.count("beep") > 0)
        fail("a value was rejected on the way");
    return 0;
}

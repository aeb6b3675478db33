// Sequence data benchmark: prints the median time of each operation.
//   load   parse a 200,000-byte .seq file (about 8,000 steps) into the table
//   save   write that table as .seq bytes
//   insert / copy / delete   the editor's row operations at step 1 of that table
//   csv    import a CSV file of 10,000 lines into the table
// Figures are for the data only; the editor's grid is not part of it.
#include "BenchData.h"
#include "sequence/CsvImport.h"
#include "sequence/SeqFile.h"
#include "sequence/SequenceTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kadenzo;

namespace {

using namespace kadenzo::bench;

template <class Setup, class Op, class Undo>
void measure(const char* name, int runs, Setup setup, Op op, Undo undo) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setup();
        auto start = Clock::now();
        op();
        auto end = Clock::now();
        undo();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    report(name, ms);
}

void nothing() {}

} // namespace

int main() {
    const int runs = 31;
    const std::string seq = seqFile(kSeqMaxFileBytes, 8000);
    const std::string csv = csvFile(10000);
    std::printf(".seq file: %zu bytes; CSV file: %zu bytes, 10000 lines\n", seq.size(), csv.size());

    SequenceTable table;
    measure(
        "load", runs, [&] { table.reset(); },
        [&] {
            if (!loadSeq(seq, table).ok)
                std::abort();
        },
        nothing);
    std::printf("          %d steps loaded\n", table.stepCount());

    std::string written;
    measure(
        "save", runs, nothing, [&] { written = writeSeq(table, 2); }, nothing);
    if (written != seq) {
        std::printf("save did not reproduce the file\n");
        return 1;
    }

    // The editor's Insert at step 1: a new empty row 1 with the default values.
    measure(
        "insert", runs, nothing,
        [&] {
            table.insertRow(1);
            table.setCell(VoltsColumn, 1, kDefaultVolts);
            table.setCell(AmpsColumn, 1, kDefaultAmps);
        },
        [&] { table.removeRow(1); });
    // Copy at step 1: a new row 1 with step 2's values.
    measure(
        "copy", runs, nothing,
        [&] {
            table.insertRow(1);
            table.setCell(VoltsColumn, 1, table.cell(VoltsColumn, 2));
            table.setCell(AmpsColumn, 1, table.cell(AmpsColumn, 2));
        },
        [&] { table.removeRow(1); });
    StepTexts first = table.step(1);
    measure(
        "delete", runs, nothing, [&] { table.removeRow(1); },
        [&] {
            table.insertRow(1);
            table.setCell(VoltsColumn, 1, first.volts);
            table.setCell(AmpsColumn, 1, first.amps);
            table.setCell(CommentColumn, 1, first.comment);
        });
    if (writeSeq(table, 2) != seq) {
        std::printf("row operations did not restore the table\n");
        return 1;
    }

    measure(
        "csv", runs, [&] { table.reset(); },
        [&] {
            if (!importCsvInto(csv, 30.8f, 2.06f, table).ok)
                std::abort();
        },
        nothing);
    std::printf("          %d steps imported\n", table.stepCount());
    return 0;
}

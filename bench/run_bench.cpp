// How well an automatic run keeps its step time: the whole program on the real serial
// control against kadenzo-psu-sim paced at 9600 baud, the step timer running on its own.
// The times come from the simulator's trace: the interval between successive steps'
// "v " commands (the second send of a pass's last step aside) and the last step's hold
// up to the completion's "OFF". Prints the median and 99th percentile of the error of
// each step and the length of the whole run.
//
//   run_bench                    200 steps at 100 ms, then 20 steps at 1000 ms
//   run_bench --steps N --ms MS  one run of N steps at MS milliseconds
#include "FakePrompts.h"
#include "SimProcess.h"
#include "app/Kadenzo.h"
#include "link/QtSerialControl.h"
#include "run/Runner.h"
#include "sequence/NumberText.h"
#include "sequence/SequenceTable.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kadenzo;

namespace {

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size()))) - 1;
    return v[std::min(i, v.size() - 1)];
}

// One automatic run of `steps` steps at `ms`; false when it did not complete.
bool measure(int steps, int ms) {
    test::SimProcess sim({"--baud-pace", "--trace", "@/trace.txt"});
    if (!sim.ready()) {
        std::fprintf(stderr, "run_bench: the simulator did not start: %s\n", sim.errors().c_str());
        return false;
    }
    // The program uses the simulator's data folder, whose ports folder names COM1.
    sim.shareDataFolder();

    test::FakePrompts prompts;
    QtSerialControl serial;
    bool complete = false;
    {
        Kadenzo app(serial, prompts);
        Context& c = app.context();
        TForm1* f = c.Form1;
        if (!serial.isOpen()) {
            std::fprintf(stderr, "run_bench: the program could not open COM1\n");
            return false;
        }
        f->Timer3->setEnabled(false);
        std::vector<StepTexts> rows;
        for (int i = 1; i <= steps; ++i)
            rows.push_back({format42(i % 30), format32((i % 20) / 10.0), ""});
        c.editor->table().replaceSteps(rows);
        c.runner->RadioButton2Click();
        f->Edit7->setText(QString::number(ms));
        f->CheckBox3->setChecked(true); // "ON" after the first step: polls read the output
        f->CheckBox4->setChecked(true); // "OFF" marks the completion in the trace

        c.runner->Button8Click();
        QElapsedTimer limit;
        limit.start();
        const qint64 longest = static_cast<qint64>(steps) * ms * 2 + 5000;
        while (f->status() != "Sequence Complete" && c.st.stepIndex != -1 &&
               limit.elapsed() < longest)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        complete = f->status() == "Sequence Complete";
        f->Timer3->setEnabled(false);
        if (!complete)
            std::fprintf(stderr, "run_bench: the run did not complete: %s\n",
                         f->status().toStdString().c_str());
    }
    sim.sync();
    sim.finish(SIGTERM);
    if (!complete)
        return false;

    std::vector<double> stepAt;
    double offAt = -1;
    for (const test::TraceLine& l : test::readTrace(sim.file("trace.txt"))) {
        if (l.text.rfind("v ", 0) == 0)
            stepAt.push_back(l.ms);
        else if (l.text == "OFF\\n")
            offAt = l.ms;
    }
    // Steps 1 to N, then the second send of step N.
    if (stepAt.size() != static_cast<size_t>(steps) + 1 || offAt < 0) {
        std::fprintf(stderr, "run_bench: the trace holds %zu step commands, not %d\n",
                     stepAt.size(), steps + 1);
        return false;
    }
    std::vector<double> held;
    for (int i = 0; i + 1 < steps; ++i)
        held.push_back(stepAt[i + 1] - stepAt[i]);
    held.push_back(offAt - stepAt[steps - 1]);
    std::vector<double> error;
    for (double h : held)
        error.push_back(std::fabs(h - ms));
    const double whole = offAt - stepAt[0];
    const double nominal = static_cast<double>(steps) * ms;
    std::printf("%4d steps at %5d ms: step error median %6.3f ms, p99 %6.3f ms, max %6.3f ms; "
                "whole run %9.1f ms (%+.3f %% of %.0f)\n",
                steps, ms, percentile(error, 0.5), percentile(error, 0.99),
                *std::max_element(error.begin(), error.end()), whole,
                (whole - nominal) / nominal * 100.0, nominal);
    return true;
}

int parse(const char* text) {
    try {
        return strToInt(text);
    } catch (const ConversionError& e) {
        std::fprintf(stderr, "run_bench: %s\n", e.what());
        std::exit(2);
    }
}

} // namespace

int main(int argc, char** argv) {
    int steps = 0;
    int ms = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--steps" && i + 1 < argc) {
            steps = parse(argv[++i]);
        } else if (arg == "--ms" && i + 1 < argc) {
            ms = parse(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: run_bench [--steps N --ms MS]\n");
            return 2;
        }
    }
    if ((steps != 0) != (ms != 0) || (steps != 0 && steps < 2) || (ms != 0 && ms < 100)) {
        std::fprintf(stderr, "run_bench: give --steps N (2 or more) and --ms MS (100 or more)\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);

    std::printf("automatic run against kadenzo-psu-sim --baud-pace, times from its trace\n");
    bool ok = true;
    if (steps != 0) {
        ok = measure(steps, ms);
    } else {
        ok = measure(200, 100) && ok;
        ok = measure(20, 1000) && ok;
    }
    return ok ? 0 : 1;
}

// How long one idle status poll (Timer3Timer) blocks the UI thread, against
// kadenzo-psu-sim paced at 9600 baud with its default latency, through the real
// serial control: with the supply answering and with it muted. Prints medians.
//
//   link_bench [--ticks N]      (N answering ticks per case, default 31)
#include "FakePrompts.h"
#include "SimProcess.h"
#include "app/Kadenzo.h"
#include "link/Link.h"
#include "link/QtSerialControl.h"
#include "sequence/NumberText.h"
#include "ui/TForm1.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kadenzo;

namespace {

struct Figures {
    double median, min, max;
    int ticks;
    int unexpected; // ticks that did not end with the expected status
};

Figures measure(Context& c, int ticks, const QString& expectedStatus) {
    std::vector<double> ms;
    int unexpected = 0;
    for (int i = 0; i < ticks; ++i) {
        const auto start = std::chrono::steady_clock::now();
        c.link->Timer3Timer();
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        unexpected += c.Form1->status() != expectedStatus;
        c.Form1->Timer3->setEnabled(false);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back(), ticks, unexpected};
}

void print(const char* name, const Figures& f) {
    std::printf("%-44s median %7.1f ms   min %7.1f   max %7.1f   (%d ticks", name, f.median, f.min,
                f.max, f.ticks);
    if (f.unexpected)
        std::printf(", %d with an unexpected status", f.unexpected);
    std::printf(")\n");
}

bool console(test::SimProcess& sim, const std::string& line) {
    sim.command(line);
    sim.command("status");
    return sim.waitForLine("KM 417R").has_value();
}

} // namespace

int main(int argc, char** argv) {
    int ticks = 31;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--ticks" && i + 1 < argc) {
            try {
                ticks = std::max(1, strToInt(argv[++i]));
            } catch (const ConversionError& e) {
                std::fprintf(stderr, "link_bench: %s\n", e.what());
                return 2;
            }
        } else {
            std::fprintf(stderr, "usage: link_bench [--ticks N]\n");
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);

    test::SimProcess sim({"--baud-pace"});
    if (!sim.ready()) {
        std::fprintf(stderr, "link_bench: the simulator did not start: %s\n", sim.errors().c_str());
        return 1;
    }
    // The program uses the simulator's data folder, whose ports folder names COM1.
    sim.shareDataFolder();

    test::FakePrompts prompts;
    QtSerialControl serial;
    int code = 0;
    {
        Kadenzo app(serial, prompts);
        Context& c = app.context();
        c.Form1->Timer3->setEnabled(false); // ticks are run here, one after another
        if (!serial.isOpen()) {
            std::fprintf(stderr, "link_bench: the program could not open COM1\n");
            return 1;
        }
        std::printf("idle tick (Timer3Timer) against kadenzo-psu-sim --baud-pace, "
                    "read time-out %d ms\n",
                    QtSerialControl::ReadTimeoutMs);
        measure(c, 3, "Waiting"); // warm-up

        print("supply answering, output off:", measure(c, ticks, "Waiting"));

        c.link->sendCommand("v ", "12");
        c.link->sendCommand("i ", "1");
        if (!console(sim, "output on") || !console(sim, "load 24")) {
            std::fprintf(stderr, "link_bench: the simulator's console did not answer\n");
            return 1;
        }
        print("supply answering, output on, 24 ohm load:", measure(c, ticks, "Waiting"));

        if (!console(sim, "mute"))
            return 1;
        print("supply muted:", measure(c, std::max(1, ticks / 2), "No communication with PSU"));
        if (!prompts.shown.empty())
            code = 1;
    }
    sim.finish(SIGTERM);
    return code;
}

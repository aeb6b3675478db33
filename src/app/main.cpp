#include "app/Guard.h"
#include "app/Kadenzo.h"
#include "link/QtSerialControl.h"
#include "ui/QtPrompts.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kadenzo");
    kadenzo::QtPrompts prompts;
    kadenzo::QtSerialControl serial;
    std::unique_ptr<kadenzo::Kadenzo> program;
    // A failure while the windows are made is reported; the program then ends.
    kadenzo::guarded(prompts,
                     [&] { program = std::make_unique<kadenzo::Kadenzo>(serial, prompts); });
    if (!program)
        return 0;
    program->show();
    kadenzo::guarded(prompts, [&] { app.exec(); });
    return 0;
}

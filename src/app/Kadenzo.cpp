#include "app/Kadenzo.h"

#include "app/Shell.h"
#include "link/Link.h"
#include "link/TCWSerial.h"
#include "panel/FrontPanel.h"
#include "run/Runner.h"
#include "ui/CommsWindow.h"
#include "ui/Forms.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <initializer_list>

namespace kadenzo {

Kadenzo::Kadenzo(TCWSerial& serial, Prompts& prompts)
    : c(serial, prompts), shell_(std::make_unique<Shell>(c)), link_(std::make_unique<Link>(c)),
      runner_(std::make_unique<Runner>(c)), panel_(std::make_unique<FrontPanel>(c)),
      editor_(std::make_unique<SequenceEditor>(c)), comms_(std::make_unique<CommsWindow>(c)) {
    c.shell = shell_.get();
    c.link = link_.get();
    c.runner = runner_.get();
    c.panel = panel_.get();
    c.editor = editor_.get();
    c.comms = comms_.get();

    // The main window first: its start-up loads the state the others read.
    form1_ = std::make_unique<TForm1>();
    c.Form1 = form1_.get();
    link_->wire();
    shell_->wire();
    runner_->wire();
    shell_->FormCreate();

    form2_ = std::make_unique<TForm2>();
    c.Form2 = form2_.get();
    editor_->wire();
    editor_->FormCreate();

    form3_ = std::make_unique<TForm3>();
    c.Form3 = form3_.get();
    comms_->wire();
    comms_->FormCreate();

    form5_ = std::make_unique<TForm5>();
    c.Form5 = form5_.get();
    form6_ = std::make_unique<TForm6>();
    c.Form6 = form6_.get();
    form7_ = std::make_unique<TForm7>();
    c.Form7 = form7_.get();
    panel_->wire();

    // Closing the main window ends the program, whichever other windows are open.
    for (QWidget* w : std::initializer_list<QWidget*>{form2_.get(), form3_.get(), form5_.get(),
                                                      form6_.get(), form7_.get()})
        w->setAttribute(Qt::WA_QuitOnClose, false);
}

Kadenzo::~Kadenzo() {
    // The serial control outlives us: its error event must not reach a dead window.
    c.CWSerial1.OnError = nullptr;
}

void Kadenzo::show() {
    centreOnScreen(form1_.get());
    form1_->show();
}

} // namespace kadenzo

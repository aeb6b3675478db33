#include "app/Shell.h"

#include "app/Config.h"
#include "app/Guard.h"
#include "link/TCWSerial.h"
#include "sequence/SupplyModels.h"
#include "ui/Forms.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

namespace kadenzo {

void Shell::wire() {
    TForm1* f = c.Form1;
    onSignal(c.prompts, f->Quit1, &QAction::triggered, [this] { Quit1Click(); });
    onSignal(c.prompts, f->About2, &QAction::triggered, [this] { About2Click(); });
    onSignal(c.prompts, f->Editor1, &QAction::triggered, [this] { Editor1Click(); });
    onSignal(c.prompts, f->Configure1, &QAction::triggered, [this] { Configure1Click(); });
    f->onCloseQuery = [this] {
        bool close = true;
        guarded(c.prompts, [&] { close = FormCloseQuery(); });
        return close;
    };
    f->onClose = [this] { guarded(c.prompts, [&] { FormClose(); }); };
}

void Shell::setLimitsFromCheckedModel() {
    TForm1* f = c.Form1;
    int model = f->Zn826R1->isChecked() ? 3 : f->Vd826R1->isChecked() ? 2 : 1;
    const SupplyModel* m = findSupplyModel(model);
    c.st.maxVolts = m->maxVolts;
    c.st.maxAmps = m->maxAmps;
}

void Shell::FormCreate() {
    TForm1* f = c.Form1;
    MainState& st = c.st;

    // The readout face: our own file when it is beside us, else a free seven-segment face.
    QFontDatabase::addApplicationFont("Digirtu_.TTF");
    // 64 pixels high, or less where the face is wider than the panel takes for a reading
    // such as "30.800" (the current readout shows three decimals).
    QFont digits(TForm1::readoutFamily());
    digits.setBold(false);
    for (int px = 64; px >= 24; px -= 2) {
        digits.setPixelSize(px);
        if (QFontMetrics(digits).horizontalAdvance("88.888") <= f->Panel1->width() - 4)
            break;
    }
    f->Panel1->setFont(digits);
    f->Panel2->setFont(digits);

    // Defaults.
    st.comPort = 0;
    st.setVolts = 0.0f;
    st.setAmps = 0.0f;
    st.currentLimit = 0;
    st.outputOn = 0;
    st.commsSuspended = 0;
    st.selectedModel = 1;
    st.commsFault = 0;

    // The configuration file.
    const bool read = readConfig(st, c.prompts);
    if (!read)
        f->setStatus(kConfigUnreadableStatus);

    // Model checks: from the file, or model 1 when it could not be read.
    if (read) {
        if (st.selectedModel >= 1 && st.selectedModel <= 3) {
            f->KM417R1->setChecked(st.selectedModel == 1);
            f->Vd826R1->setChecked(st.selectedModel == 2);
            f->Zn826R1->setChecked(st.selectedModel == 3);
        }
    } else {
        f->KM417R1->setChecked(true);
        f->Vd826R1->setChecked(false);
    }

    // Limits of the checked model.
    setLimitsFromCheckedModel();

    // No run yet.
    st.stepIndex = 0;
    f->Edit4->setText(" ---");

    // The sequence dialogs start in the folder we were started in.
    std::string cwd = QDir::currentPath().toStdString().substr(0, 255);
    f->OpenDialog1.initialDir = cwd;
    f->SaveDialog1.initialDir = cwd;

    // Probe the configured port: one that is invalid or in use is forgotten.
    TCWSerial& port = c.CWSerial1;
    if (st.comPort != 0) {
        port.ComPort = static_cast<int16_t>(st.comPort);
        port.ExceptionOnError = false;
        port.PortConfigure();
        if (st.lastLinkError == serr::PortInvalid || st.lastLinkError == serr::PortInUse)
            st.comPort = 0;
        port.PortReset();
    }

    // Open it.
    if (st.comPort != 0) {
        port.PortReset();
        port.ComPort = static_cast<int16_t>(st.comPort);
        port.PortConfigure();
    }

    // Idle, with the status poll running.
    st.stepIndex = -1;
    f->Timer3->setEnabled(true);
}

bool Shell::FormCloseQuery() {
    SequenceEditor& editor = *c.editor;
    if (editor.unsavedChanges != 1)
        return true;
    switch (c.prompts.confirm("Unsaved sequence data\r Do you want to save ?")) {
    case Prompts::Answer::Yes:
        // Closing goes on after the save unless writing the chosen file failed:
        // the user asked to keep the data.
        return editor.SaveSequence() != SequenceEditor::SaveResult::WriteFailed;
    case Prompts::Answer::No:
        return true;
    default:
        return false;
    }
}

void Shell::FormClose() {
    writeConfig(c.st, c.Form3->comport_combo->currentText().toStdString());
    c.CWSerial1.PortReset();
}

void Shell::Quit1Click() {
    c.CWSerial1.PortReset();
    c.Form1->close();
}

void Shell::About2Click() {
    c.Form5->exec();
}

void Shell::Editor1Click() {
    c.Form2->show();
    c.Form2->raise();
}

void Shell::Configure1Click() {
    c.Form3->show();
    c.Form3->raise();
}

} // namespace kadenzo

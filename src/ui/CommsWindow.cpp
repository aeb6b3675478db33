#include "ui/CommsWindow.h"

#include "app/Guard.h"
#include "link/Link.h"
#include "link/TCWSerial.h"
#include "sequence/NumberText.h"
#include "ui/Forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>

namespace kadenzo {

namespace {

// The wait between the test's query and its read.
constexpr std::chrono::milliseconds kTestWait{100};
constexpr int32_t kIdnReply = 40;

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The reply without the blanks and control characters that end it.
std::string trimmedRight(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    return text;
}

} // namespace

void CommsWindow::wire() {
    TForm3* w = c.Form3;
    QComboBox* box = w->comport_combo;
    // The port box reacts to the user only (an entry picked, a character typed), not to
    // the list being built. Typed text is taken as typed: no completion from the list.
    box->setCompleter(nullptr);
    onSignal(c.prompts, box, &QComboBox::activated, [this] { comport_comboChange(); });
    onSignal(c.prompts, box->lineEdit(), &QLineEdit::textEdited, [this] { comport_comboChange(); });
    onSignal(c.prompts, w->Button1, &QPushButton::clicked, [this] { Button1Click(); });
    // Also when the box is ticked by the program, as at creation.
    onSignal(c.prompts, w->CheckBox1, &QCheckBox::toggled, [this] { CheckBox1Click(); });
    onSignal(c.prompts, w->Button2, &QPushButton::clicked, [this] { Button2Click(); });
    w->onClose = [this] { guarded(c.prompts, [this] { FormClose(); }); };
}

void CommsWindow::FormCreate() {
    TForm3* w = c.Form3;
    ListComPorts();
    if (c.st.lineEndMode == 1)
        w->CheckBox1->setChecked(true);
    const int configured = w->comport_combo->findText(QString::number(c.st.comPort));
    if (configured >= 0) {
        w->comport_combo->setCurrentIndex(configured);
        comport_comboChange();
    }
}

void CommsWindow::ListComPorts() {
    TForm3* w = c.Form3;
    QComboBox* box = w->comport_combo;
    w->baud_combo->setCurrentIndex(0);
    box->setCurrentIndex(0);
    box->clear();
    int found = 0;
    for (int n = 1; n <= kLastPort; ++n) {
        if (!c.CWSerial1.PortExists(n))
            continue;
        box->addItem(QString::number(n));
        box->setItemData(box->count() - 1, QString::fromStdString(c.CWSerial1.PortDevice(n)),
                         Qt::ToolTipRole);
        ++found;
    }
    if (found == 0)
        box->addItem(kNoComPort);
    box->setCurrentIndex(0);
    const int shown = box->currentIndex();
    box->setToolTip(shown >= 0 ? box->itemData(shown, Qt::ToolTipRole).toString() : QString());
}

void CommsWindow::comport_comboChange() {
    QComboBox* box = c.Form3->comport_combo;
    TCWSerial& port = c.CWSerial1;
    port.PortReset();
    box->setToolTip(QString());
    const QString text = box->currentText();
    if (text == kNoComPort)
        return;
    const int32_t n = strToInt(text.toStdString());
    // The control takes a 16-bit port number: a larger one names no port (it must not
    // wrap round to another port's number), so the port stays released.
    if (n < std::numeric_limits<int16_t>::min() || n > std::numeric_limits<int16_t>::max())
        return;
    port.ComPort = static_cast<int16_t>(n);
    port.PortConfigure();
    box->setToolTip(QString::fromStdString(port.PortDevice(n)));
}

void CommsWindow::Button1Click() {
    MainState& st = c.st;
    TForm3* w = c.Form3;
    if (st.commsSuspended == 1)
        return;
    st.commsFault = 0;
    w->Edit1->setText("Connecting...");
    c.link->sendCommand("*idn?");
    w->repaint();
    std::this_thread::sleep_for(kTestWait);
    const std::string reply = c.CWSerial1.PortRead(kIdnReply);
    w->Edit1->setText(latin1(trimmedRight(reply)));
    if (st.commsFault == 1)
        w->Edit1->setText("Timed Out");
}

void CommsWindow::CheckBox1Click() {
    c.st.lineEndMode = c.Form3->CheckBox1->isChecked() ? 1 : 0;
}

void CommsWindow::Button2Click() {
    MainState& st = c.st;
    TForm3* w = c.Form3;
    if (st.commsSuspended == 0) {
        st.commsSuspended = 1;
        w->Button2->setText("Resume");
        w->setWindowTitle("Communication Suspended");
    } else {
        st.commsSuspended = 0;
        w->Button2->setText("Suspend");
        w->setWindowTitle("Communication Configuration");
    }
}

void CommsWindow::FormClose() {
    c.Form3->Edit1->clear();
}

} // namespace kadenzo

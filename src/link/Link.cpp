#include "link/Link.h"

#include "app/ControlSets.h"
#include "app/Guard.h"
#include "link/TCWSerial.h"
#include "sequence/NumberText.h"
#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

namespace kadenzo {

namespace {

// Byte counts of the replies.
constexpr int32_t kStatusReply = 10; // "out?", "io?", "vo?", "v?", "i?"
constexpr int32_t kModeReply = 20;   // "m?"
constexpr int32_t kIdnReply = 40;    // "*idn?"

// Commands followed by a value text.
bool takesValue(std::string_view command) {
    return command == "v " || command == "i ";
}

// Character `i` of a reply; 0 when the reply is too short to have it.
char charAt(const std::string& reply, size_t i) {
    return i < reply.size() ? reply[i] : '\0';
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void Link::wire() {
    c.CWSerial1.OnError = [this](TCWSerial& s, int32_t code, const std::string& msg) {
        CWSerial1Error(s, code, msg);
    };
    // The data-ready and write-complete events play no part: every read is made at once.
    c.CWSerial1.OnDataReady = [] {};
    c.CWSerial1.OnWriteComplete = [] {};
    TForm1* f = c.Form1;
    onSignal(c.prompts, f->Timer3, &WindowTimer::timeout, [this] { Timer3Timer(); });
    onSignal(c.prompts, f->Timer1, &WindowTimer::timeout, [this] { Timer1Timer(); });
}

void Link::SendLineEnd() {
    if (c.st.lineEndMode == 0)
        c.CWSerial1.PortWrite("\r");
    if (c.st.lineEndMode == 1)
        c.CWSerial1.PortWrite("\n");
}

void Link::CWSerial1Error(TCWSerial&, int32_t errorCode, const std::string&) {
    MainState& st = c.st;
    st.commsFault = 0;
    st.lastLinkError = errorCode;
    if (errorCode != serr::Timeout)
        return;

    // No reply: end whatever runs and return the main window to idle.
    TForm1* f = c.Form1;
    f->Timer1->setEnabled(false);
    f->Timer2->setEnabled(false);
    f->Timer3->setEnabled(false);
    f->setStatus(kNoCommsStatus);
    st.commsFault = 1;
    // Start, mode and loop controls on, Send and Stop off, the hidden step buttons on,
    // "+" and "-" off, the editor, this window's menus and the configuration window on,
    // Timer3 on again. The windows made after the main one exist once start-up is over.
    if (c.Form2 && c.Form3 && c.Form6 && c.Form7)
        applyControlSet(c, ControlSet::LinkTimeout);
    f->Panel1->setText(kNoReading);
    f->Panel2->setText(kNoReading);
    QProgressBar* bar = f->ProgressBar1;
    bar->setValue(std::clamp(0, bar->minimum(), bar->maximum()));
    f->Edit4->setText(" ---");
    st.stepIndex = -1;
    f->Timer3->setEnabled(true);
}

void Link::sendCommand(std::string_view command, std::string_view value) {
    c.CWSerial1.PortWrite(command);
    if (takesValue(command) || !value.empty())
        c.CWSerial1.PortWrite(value);
    SendLineEnd();
}

std::string Link::query(std::string_view command, int32_t count) {
    sendCommand(command);
    return c.CWSerial1.PortRead(count);
}

std::string Link::readoutText(std::string_view reply) {
    if (reply.empty())
        return {};
    reply.remove_prefix(1);
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n'))
        reply.remove_suffix(1);
    return std::string(reply);
}

void Link::takeOutputReply(const std::string& reply) {
    const char state = charAt(reply, 5);
    if (state == 'F') {
        c.Form1->on_led->setBrushColor(lampOff());
        c.st.outputOn = 0;
    } else if (state == 'N') {
        c.Form1->on_led->setBrushColor(lampOn());
        c.st.outputOn = 1;
    }
}

void Link::takeModeReply(const std::string& reply) {
    const char mode = charAt(reply, 3);
    if (mode == 'V') {
        c.Form1->lim_led->setBrushColor(lampOff());
        c.st.currentLimit = 0;
    } else if (mode == 'I') {
        c.Form1->lim_led->setBrushColor(lampOn());
        c.st.currentLimit = 1;
    }
}

void Link::showVolts(std::string_view text) {
    c.Form1->Panel1->setText(latin1(text));
}

void Link::showAmps(std::string_view text) {
    c.Form1->Panel2->setText(latin1(text));
}

void Link::PollStatus() {
    MainState& st = c.st;
    st.outputOn = 1;
    if (st.commsFault)
        return;

    takeOutputReply(query("out?", kStatusReply));
    if (!st.commsFault)
        takeModeReply(query("m?", kModeReply));
    if (st.commsFault)
        return;

    // The setting texts are shown with two decimals. A reading is shown only when its
    // reply came: after a time-out the readouts keep the ". . ." of the error handling,
    // since a reply cut short is no reading.
    if (st.currentLimit == 0) {
        st.voltsText = format42(leadingFloat(st.voltsText));
        showVolts(st.voltsText);
        if (st.outputOn == 1) {
            const std::string amps = query("io?", kStatusReply);
            if (!st.commsFault)
                showAmps(readoutText(amps));
        } else {
            st.ampsText = format42(leadingFloat(st.ampsText));
            showAmps(st.ampsText);
        }
    } else {
        st.ampsText = st.outputOn == 1 ? format32(leadingFloat(st.ampsText))
                                       : format42(leadingFloat(st.ampsText));
        showAmps(st.ampsText);
        const std::string volts = query("vo?", kStatusReply);
        if (!st.commsFault)
            showVolts(readoutText(volts));
    }
}

void Link::Timer3Timer() {
    MainState& st = c.st;
    TForm1* f = c.Form1;
    f->Timer3->setEnabled(false);
    if (st.commsSuspended) {
        f->setStatus(kSuspendedStatus);
        f->Timer3->setEnabled(true);
        return;
    }

    st.commsFault = 0;
    const std::string out = query("out?", kStatusReply);
    if (!st.commsFault) {
        takeOutputReply(out);
        // The character test is made on whatever the read returned, reply or not.
        takeModeReply(query("m?", kModeReply));
        if (!st.commsFault)
            f->setStatus(kWaitingStatus);
    }

    PollStatus();

    if (!st.commsFault) {
        c.Form6->Button1->setEnabled(true);
        c.Form7->Button1->setEnabled(true);
        if (st.currentLimit == 1 || st.outputOn == 0) {
            const std::string amps = query("i?", kStatusReply);
            if (!st.commsFault)
                showAmps(readoutText(amps));
        }
        // The exchange stops at the first missing reply.
        if (st.currentLimit == 0 && !st.commsFault) {
            const std::string volts = query("v?", kStatusReply);
            if (!st.commsFault)
                showVolts(readoutText(volts));
        }
    }
    f->Timer3->setEnabled(true);
}

void Link::Timer1Timer() {
    TForm1* f = c.Form1;
    f->Timer1->setEnabled(false);
    PollStatus();
    if (!c.st.commsFault)
        f->Timer1->setEnabled(true);
}

void Link::IdentifyInstrument() {
    MainState& st = c.st;
    TForm1* f = c.Form1;
    c.CWSerial1.PortReset();
    c.CWSerial1.PortConfigure();
    f->setStatus(kConnectingStatus);
    // The reply is awaited without events: show the text now.
    f->StatusBar1->repaint();
    sendCommand("*idn?");
    st.commsFault = 0;
    st.connectedModel = 0;
    const std::string reply = c.CWSerial1.PortRead(kIdnReply);
    if (st.commsFault) {
        f->setStatus(kNoPsuStatus);
        st.connectedModel = 0;
    } else {
        if (reply.find("417") != std::string::npos)
            st.connectedModel = 1;
        if (reply.find("826") != std::string::npos)
            st.connectedModel = 2;
    }
    if (!st.commsFault && st.selectedModel != st.connectedModel) {
        f->setStatus(kMismatchStatus);
        st.commsFault = 1;
        f->Button8->setEnabled(true);
    }
}

} // namespace kadenzo

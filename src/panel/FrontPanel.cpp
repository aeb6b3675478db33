#include "panel/FrontPanel.h"

#include "app/Guard.h"
#include "app/Prompts.h"
#include "link/Link.h"
#include "sequence/NumberText.h"
#include "sequence/SupplyModels.h"
#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include <string>

namespace kadenzo {

// The volts and amps sides are one design; this is every difference between them.
struct SettingSide {
    PresetForm* (*form)(Context&);
    int longestEntry;        // characters an entry may hold
    bool enterRejected;      // Enter is kept out of the entry
    const char* zeroEntry;   // what a zero entry is replaced by (and sent as)
    float MainState::*limit; // highest value the model accepts
    const char* command;     // "v " or "i "
    SettingText MainState::*text;
    float MainState::*value; // working copy for fine adjustment
    float lowest;            // fine adjustment never goes below this
    QLineEdit* (*buddy)(Context&);
    QLabel* (*readout)(Context&);
    int32_t readoutWhenLimit; // the readout shows the adjusted value when currentLimit is this
};

namespace {

const SettingSide kVolts = {
    [](Context& c) -> PresetForm* { return c.Form6; },
    6,
    true,
    "0.00",
    &MainState::maxVolts,
    "v ",
    &MainState::voltsText,
    &MainState::setVolts,
    0.0f,
    [](Context& c) { return c.Form1->Edit1; },
    [](Context& c) { return c.Form1->Panel1; },
    0,
};

const SettingSide kAmps = {
    [](Context& c) -> PresetForm* { return c.Form7; },
    5,
    false,
    "0.01",
    &MainState::maxAmps,
    "i ",
    &MainState::ampsText,
    &MainState::setAmps,
    0.01f,
    [](Context& c) { return c.Form1->Edit2; },
    [](Context& c) { return c.Form1->Panel2; },
    1,
};

void setUpEntry(const SettingSide& side, Context& c) {
    QLineEdit* entry = side.form(c)->Edit1;
    // Typed keys pass the key filter; pasted text does not, so the entry itself keeps
    // to what the filter lets through: at most `longestEntry` characters (a longer
    // paste is cut), digits and one ".".
    entry->setMaxLength(side.longestEntry);
    entry->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*\\.?[0-9]*")), entry));
}

} // namespace

void FrontPanel::wire() {
    TForm1* f = c.Form1;
    Prompts& p = c.prompts;
    onSignal(p, f->Button2, &QPushButton::clicked, [this] { Button2Click(); });
    onSignal(p, f->Button1, &QPushButton::clicked, [this] { Button1Click(); });
    onSignal(p, f->Button9, &QPushButton::clicked, [this] { Button9Click(); });
    onSignal(p, f->Edit1, &QLineEdit::textChanged, [this] { Edit1Change(); });
    onSignal(p, f->Edit2, &QLineEdit::textChanged, [this] { Edit2Change(); });

    setUpEntry(kVolts, c);
    setUpEntry(kAmps, c);
    onSignal(p, c.Form6->Button1, &QPushButton::clicked, [this] { Form6Button1Click(); });
    onSignal(p, c.Form7->Button1, &QPushButton::clicked, [this] { Form7Button1Click(); });
    installKeyPress(c.Form6->Edit1, [this](char16_t& key) { Form6Edit1KeyPress(key); });
    installKeyPress(c.Form7->Edit1, [this](char16_t& key) { Form7Edit1KeyPress(key); });
}

void FrontPanel::Button2Click() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    if (st.commsSuspended) {
        f->setStatus(kSuspendedStatus);
        f->Timer3->setEnabled(true);
        return;
    }
    if (st.stepIndex != -1)
        f->Timer1->setEnabled(true);
    if (st.commsFault)
        return;
    if (st.outputOn == 0) {
        st.outputOn = 1;
        c.link->sendCommand("ON");
    } else if (st.outputOn == 1) {
        st.outputOn = 0;
        c.link->sendCommand("OFF");
    }
}

void FrontPanel::showPreset(PresetForm* form) {
    if (c.st.commsSuspended) {
        c.Form1->setStatus(kSuspendedStatus);
        c.Form1->Timer3->setEnabled(true);
        return;
    }
    form->show();
    form->raise();
    form->activateWindow();
}

void FrontPanel::Button1Click() {
    showPreset(c.Form6);
}

void FrontPanel::Button9Click() {
    showPreset(c.Form7);
}

void FrontPanel::presetKeyPress(const SettingSide& side, char16_t& key) {
    const QString entry = side.form(c)->Edit1->text();
    const bool digit = key >= u'0' && key <= u'9';
    if (entry.size() == side.longestEntry && key != 8)
        key = 0;
    else if (!digit && key != u'.' && key != 8 && key != 13 && key != 27)
        key = 0;
    else if (key == u'.' && entry.contains(u'.'))
        key = 0;
    else if (key == 13 && side.enterRejected)
        key = 0;
}

void FrontPanel::Form6Edit1KeyPress(char16_t& key) {
    presetKeyPress(kVolts, key);
}

void FrontPanel::Form7Edit1KeyPress(char16_t& key) {
    presetKeyPress(kAmps, key);
}

void FrontPanel::presetSend(const SettingSide& side) {
    MainState& st = c.st;
    QLineEdit* entry = side.form(c)->Edit1;
    const float value = leadingFloat(entry->text().toStdString());
    if (value == 0.0f)
        entry->setText(side.zeroEntry);
    if (value > st.*side.limit) {
        c.prompts.beep();
        c.prompts.error(kTextValueExceeds);
        return;
    }
    // The entry goes out as typed, never longer than an entry may be.
    const std::string typed = entry->text().left(side.longestEntry).toStdString();
    c.link->sendCommand(side.command, typed);
    st.*side.text = typed;
    entry->clear();
}

void FrontPanel::Form6Button1Click() {
    presetSend(kVolts);
}

void FrontPanel::Form7Button1Click() {
    presetSend(kAmps);
}

void FrontPanel::fineAdjust(const SettingSide& side) {
    MainState& st = c.st;
    QLineEdit* buddy = side.buddy(c);
    const QString position = buddy->text();
    if (position == "0")
        return;
    float& value = st.*side.value;
    value = leadingFloat((st.*side.text).str());
    value = static_cast<float>(position == "1" ? value + 0.01 : value - 0.01);
    if (value > st.*side.limit)
        value = st.*side.limit;
    if (!(value >= side.lowest)) // below the lowest setting (or no number at all)
        value = side.lowest;
    st.*side.text = format42(value);
    c.link->sendCommand(side.command, st.*side.text);
    // Back to 0 for the spin button's next click; this change runs the handler again,
    // which stops at once.
    buddy->setText("0");
    if (st.currentLimit == side.readoutWhenLimit)
        side.readout(c)->setText(QString::fromStdString((st.*side.text).str()));
}

void FrontPanel::Edit1Change() {
    fineAdjust(kVolts);
}

void FrontPanel::Edit2Change() {
    fineAdjust(kAmps);
}

} // namespace kadenzo

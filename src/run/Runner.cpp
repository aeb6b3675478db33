#include "run/Runner.h"

#include "app/ControlSets.h"
#include "app/Guard.h"
#include "app/Prompts.h"
#include "link/Link.h"
#include "sequence/NumberText.h"
#include "sequence/SequenceTable.h"
#include "ui/SequenceEditor.h"
#include "ui/TForm1.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <limits>
#include <string>

namespace kadenzo {
namespace {

constexpr const char* kLoopStatus = "Sequence Running:- Loop count = ";
constexpr const char* kRunningStatus = "Sequence Running";
constexpr const char* kCompleteStatus = "Sequence Complete";
constexpr const char* kNoStep = " ---";
constexpr int32_t kShortestStepMs = 100;

// A tick up to this much past its due time still counts as on time (see Timer2Timer).
constexpr auto kLateTick = std::chrono::milliseconds(5);

std::string text(const QLineEdit* e) {
    return e->text().toStdString();
}

bool digitOrBackspace(char16_t key) {
    return (key >= u'0' && key <= u'9') || key == 8;
}

} // namespace

void Runner::wire() {
    TForm1* f = c.Form1;
    Prompts& p = c.prompts;
    onSignal(p, f->Button8, &QPushButton::clicked, [this] { Button8Click(); });
    onSignal(p, f->Button5, &QPushButton::clicked, [this] { Button5Click(); });
    onSignal(p, f->Button6, &QPushButton::clicked, [this] { Button6Click(); });
    onSignal(p, f->Button7, &QPushButton::clicked, [this] { Button7Click(); });
    onSignal(p, f->Button3, &QPushButton::clicked, [this] { Button3Click(); });
    onSignal(p, f->Button4, &QPushButton::clicked, [this] { Button4Click(); });
    onSignal(p, f->RadioButton1, &QRadioButton::clicked, [this] { RadioButton1Click(); });
    onSignal(p, f->RadioButton2, &QRadioButton::clicked, [this] { RadioButton2Click(); });
    onSignal(p, f->Timer2, &WindowTimer::timeout, [this] { Timer2Timer(); });
    installKeyPress(f->Edit7, [this](char16_t& key) { Edit7KeyPress(key); });
    installKeyPress(f->Edit8, [this](char16_t& key) { Edit8KeyPress(key); });
}

void Runner::showPassNumber() {
    TForm1* f = c.Form1;
    if (!f->CheckBox5->isChecked())
        return;
    // Edit8 held a whole number when the run started and only its spin button can
    // change it during the run; should it hold none, the pass number is not shown.
    int32_t passes = 0;
    try {
        passes = strToInt(text(f->Edit8));
    } catch (const ConversionError&) {
        return;
    }
    const long long pass = static_cast<long long>(passes) - c.st.loopsLeft;
    f->setStatus(QString::fromStdString(kLoopStatus + intToText(pass)));
}

void Runner::showComment() {
    SequenceTable& table = c.editor->table();
    c.Form1->Edit9->setText(QString::fromLatin1(table.cell(CommentColumn, table.currentRow())));
}

void Runner::clearDisplays() {
    TForm1* f = c.Form1;
    f->Panel1->setText(kNoReading);
    f->Panel2->setText(kNoReading);
    f->ProgressBar1->setValue(0);
    f->Edit4->setText(kNoStep);
}

void Runner::Button8Click() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    if (st.commsSuspended) {
        f->setStatus(kSuspendedStatus);
        f->Timer3->setEnabled(true);
        return;
    }
    f->Button8->setEnabled(false);
    if (f->CheckBox5->isChecked()) {
        if (f->Edit8->text().isEmpty())
            f->Edit8->setText("1");
        int32_t passes = 0;
        try {
            passes = strToInt(text(f->Edit8));
        } catch (const ConversionError& e) {
            // A pass count that is no 32-bit whole number: say so and do not start.
            f->Button8->setEnabled(true);
            c.prompts.exception(e.what());
            return;
        }
        if (passes < 1) {
            f->Edit8->setText("1");
            passes = 1;
        }
        st.loopsLeft = passes - 1;
    } else {
        st.loopsLeft = 0;
    }
    if (f->RadioButton1->isChecked())
        StartManualRun();
    if (f->RadioButton2->isChecked())
        StartAutoRun();
}

bool Runner::readStepTime(int32_t& ms, bool& tooShort) {
    const std::string t = text(c.Form1->Edit7);
    int32_t value = 0;
    if (!t.empty()) {
        try {
            value = strToInt(t);
        } catch (const ConversionError& e) {
            c.Form1->Button8->setEnabled(true);
            c.prompts.exception(e.what());
            return false;
        }
    }
    tooShort = value < kShortestStepMs;
    ms = tooShort ? kShortestStepMs : value;
    return true;
}

void Runner::StartAutoRun() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    // The step time is read before anything is sent: a step time that is no 32-bit
    // whole number refuses the start while the supply is still untouched.
    int32_t stepMs = kShortestStepMs;
    bool tooShort = false;
    if (!readStepTime(stepMs, tooShort))
        return;

    f->Timer3->setEnabled(false);
    f->Button2->setEnabled(true);
    c.link->IdentifyInstrument();
    if (st.commsFault)
        return;
    f->setStatus(kRunningStatus);
    showPassNumber();
    SendFirstStep();
    // A time-out in the first step's poll has already put the window back to idle
    // (stepIndex -1): the run ends there, with nothing locked and no timer armed.
    if (st.commsFault || st.stepIndex < 1)
        return;
    if (tooShort)
        f->Edit7->setText(QString::number(kShortestStepMs));
    applyControlSet(c, ControlSet::AutomaticStart);
    // Step 1 is held one step time from when it was sent, not from here: the first
    // step's poll is part of its step time, as the ticks' polls are part of theirs.
    stepMs_ = stepMs;
    due_ = firstStepAt_ + std::chrono::milliseconds(stepMs_);
    armStepTimer(due_);
}

void Runner::StartManualRun() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    f->Timer3->setEnabled(false);
    c.link->IdentifyInstrument();
    if (st.commsFault)
        return;
    applyControlSet(c, ControlSet::ManualStart);
    f->setStatus(kRunningStatus);
    showPassNumber();
    st.commsFault = 0;
    SendFirstStep();
    // A time-out in the first step's poll has ended the run already: no poll is armed.
    if (st.commsFault || st.stepIndex < 1)
        return;
    f->Timer1->setEnabled(true);
}

void Runner::SendFirstStep() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    SequenceTable& table = c.editor->table();
    st.stepIndex = 1;
    st.lastStep = table.RowCount() - 1;
    f->Edit4->setText(QString::number(st.stepIndex));
    f->ProgressBar1->setRange(0, st.lastStep);
    f->ProgressBar1->setValue(st.stepIndex);
    table.setCurrentRow(st.stepIndex);
    c.link->SendLineEnd();
    firstStepAt_ = Clock::now();
    SendStep(1);
    if (f->CheckBox3->isChecked())
        c.link->sendCommand("ON");
    showComment();
    c.link->PollStatus();
}

void Runner::SendStep(int32_t k) {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    SequenceTable& table = c.editor->table();
    f->ProgressBar1->setValue(k);
    f->Edit4->setText(QString::number(k));
    table.setCurrentRow(k);
    // The current row is always a step row of the table, so the reads stay inside it.
    // The settings keep at most 9 characters; what they hold is what is sent.
    const int row = table.currentRow();
    st.voltsText = table.cell(VoltsColumn, row);
    c.link->sendCommand("v ", st.voltsText);
    st.ampsText = table.cell(AmpsColumn, row);
    c.link->sendCommand("i ", st.ampsText);
}

void Runner::armStepTimer(Clock::time_point due) {
    using namespace std::chrono;
    const auto wait = round<milliseconds>(due - Clock::now()).count();
    const auto ms = std::clamp<long long>(wait, 0, std::numeric_limits<int>::max());
    WindowTimer* t = c.Form1->Timer2;
    t->setEnabled(false);
    t->setInterval(static_cast<int>(ms));
    t->setEnabled(true);
}

void Runner::Timer2Timer() {
    // A message box shown inside a tick (the grid's row move checks the cell it leaves)
    // runs its own event loop, which delivers a tick falling due meanwhile. Ticks never
    // overlap: such a tick comes once, right after the one in progress.
    if (inTick_) {
        tickPending_ = true;
        return;
    }
    struct TickScope {
        bool& on;
        explicit TickScope(bool& b) : on(b) { on = true; }
        ~TickScope() { on = false; }
        TickScope(const TickScope&) = delete;
        TickScope& operator=(const TickScope&) = delete;
    } scope(inTick_);
    do {
        tickPending_ = false;
        tick();
    } while (tickPending_ && c.st.stepIndex >= 1 && c.Form1->Timer2->enabled());
    tickPending_ = false;
}

void Runner::tick() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    if (st.stepIndex < 1) {
        // No run to advance (a tick left over from one that has ended).
        f->Timer2->setEnabled(false);
        return;
    }
    SequenceTable& table = c.editor->table();

    showPassNumber();
    // Restart the step timer for the next tick. A tick on time or a little late (up to
    // kLateTick; the timer counts in whole milliseconds and may fire a fraction of one
    // early) keeps the schedule: the next one is due one step time after this one was
    // due, so lateness does not add up over a run. A tick later than that, or one run by
    // hand long before it was due, starts the schedule anew from now, so no step is cut
    // short to catch up.
    const Clock::time_point now = Clock::now();
    const auto late = now - due_;
    const bool onTime = late >= -std::chrono::milliseconds(1) && late <= kLateTick;
    due_ = (onTime ? due_ : now) + std::chrono::milliseconds(stepMs_);
    for (;;) {
        armStepTimer(due_);
        f->Button3->setEnabled(false);
        if (st.stepIndex <= st.lastStep) {
            if (table.RowCount() > 2)
                ++st.stepIndex;
            SendStep(st.stepIndex);
            showComment();
            c.link->PollStatus();
            // A time-out ends the run here: the link's handler has already put the
            // window back to idle (stepIndex -1, timers stopped). Nothing more is sent.
            if (st.commsFault)
                return;
        }
        if (st.stepIndex == st.lastStep) {
            // The last step of the pass goes out once more.
            SendStep(st.stepIndex);
            showComment();
            c.link->PollStatus();
            if (st.commsFault)
                return;
            ++st.stepIndex;
        } else if (st.stepIndex > st.lastStep) {
            if (st.loopsLeft != 0 && table.RowCount() > 2) {
                // The next pass starts at once, within this tick.
                --st.loopsLeft;
                showPassNumber();
                st.stepIndex = 0;
                continue;
            }
            completeAutoRun();
        }
        break;
    }
    if (st.stepIndex < st.lastStep && st.stepIndex != -1)
        f->Timer2->setEnabled(true);
}

void Runner::completeAutoRun() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    applyControlSet(c, ControlSet::AutomaticCompletion);
    f->Edit9->clear();
    clearDisplays();
    if (!st.commsFault)
        f->setStatus(kCompleteStatus);
    ResetRunControls();
    f->Timer1->setEnabled(false);
    f->Timer2->setEnabled(false);
    st.stepIndex = -1;
    if (f->CheckBox4->isChecked())
        c.link->sendCommand("OFF");
    f->Timer3->setEnabled(true);
}

void Runner::ResetRunControls() {
    TForm1* f = c.Form1;
    f->Timer1->setEnabled(false);
    f->Timer2->setEnabled(false);
    applyControlSet(c, ControlSet::AutomaticCompletion);
    c.st.commsFault = 0;
    clearDisplays();
}

void Runner::Button5Click() {
    TForm1* f = c.Form1;
    f->Timer1->setEnabled(false);
    f->Timer2->setEnabled(false);
    f->Timer3->setEnabled(true);
    applyControlSet(c, ControlSet::Stop);
    f->Edit9->clear();
    f->setStatus("Sequence Aborted");
    c.st.commsFault = 0;
    c.st.stepIndex = -1;
    clearDisplays();
}

void Runner::RadioButton1Click() {
    TForm1* f = c.Form1;
    f->RadioButton1->setChecked(true);
    f->UpDown3->setEnabled(false);
    f->Edit7->setEnabled(false);
    f->Label3->hide();
}

void Runner::RadioButton2Click() {
    TForm1* f = c.Form1;
    f->RadioButton2->setChecked(true);
    f->Edit7->setEnabled(true);
    f->UpDown3->setEnabled(true);
    // The unit of the step time comes back with the step time.
    f->Label3->show();
}

void Runner::Edit7KeyPress(char16_t& key) {
    if (!digitOrBackspace(key))
        key = 0;
}

void Runner::Edit8KeyPress(char16_t& key) {
    if (!digitOrBackspace(key))
        key = 0;
}

// The hidden buttons skip Start's own steps, but Start is off during every run, so
// that no second start can come on top of this one.
void Runner::Button6Click() {
    c.Form1->Button8->setEnabled(false);
    StartManualRun();
}

void Runner::Button7Click() {
    c.Form1->Button8->setEnabled(false);
    StartAutoRun();
}

void Runner::Button3Click() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    if (st.stepIndex < 1)
        return; // no manual run
    for (;;) {
        f->Button3->setEnabled(false);
        f->Timer1->setEnabled(false);
        f->Button4->setEnabled(true);
        ++st.stepIndex;
        if (st.stepIndex <= st.lastStep) {
            SendStep(st.stepIndex);
            showComment();
        }
        f->Timer1->setEnabled(true);
        f->Button3->setEnabled(true);
        if (st.stepIndex <= st.lastStep)
            return;
        if (st.loopsLeft == 0)
            break;
        // Past the last step with passes left: this press sends step 1 of the next pass.
        --st.loopsLeft;
        showPassNumber();
        st.stepIndex = 0;
    }
    completeManualRun();
}

void Runner::completeManualRun() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    applyControlSet(c, ControlSet::ManualCompletion);
    f->Edit9->clear();
    clearDisplays();
    f->setStatus(kCompleteStatus);
    if (f->CheckBox4->isChecked())
        c.link->sendCommand("OFF");
    st.stepIndex = -1;
    f->Timer3->setEnabled(true);
}

void Runner::Button4Click() {
    TForm1* f = c.Form1;
    MainState& st = c.st;
    if (st.stepIndex < 1)
        return; // no manual run
    f->Button4->setEnabled(false);
    f->Timer1->setEnabled(false);
    if (st.stepIndex > 1) {
        --st.stepIndex;
        SendStep(st.stepIndex);
        showComment();
    }
    f->Timer1->setEnabled(true);
    f->Button4->setEnabled(true);
}

} // namespace kadenzo

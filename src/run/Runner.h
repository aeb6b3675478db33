#pragma once
// Playing the sequence: Start, the automatic step timer with passes, Stop, completion
// and manual stepping.
#include "app/Context.h"

#include <chrono>
#include <cstdint>

namespace kadenzo {

class Runner {
public:
    explicit Runner(Context& c) : c(c) {}
    // Binds the main window's run controls, its step timer and the key filters.
    void wire();

    // Start: checks, pass count, then the manual or the automatic start.
    void Button8Click();
    // Identification, first step, control set and the run's timer.
    void StartAutoRun();
    void StartManualRun();
    // Sets stepIndex and lastStep, prepares the displays and sends step 1.
    void SendFirstStep();
    // Shows step k and sends its voltage and current limit.
    void SendStep(int32_t k);
    // One tick of an automatic run.
    void Timer2Timer();
    // Stop: ends any run and sends nothing.
    void Button5Click();
    // Last part of the completion of an automatic run.
    void ResetRunControls();
    // Mode choice: Manual, Auto.
    void RadioButton1Click();
    void RadioButton2Click();
    // Key filters of the step time and the pass count: digits and Backspace only.
    void Edit7KeyPress(char16_t& key);
    void Edit8KeyPress(char16_t& key);
    // The hidden "Manual Step" and "Auto Step" buttons: the start routines directly.
    void Button6Click();
    void Button7Click();
    // Manual stepping: "+" and "-".
    void Button3Click();
    void Button4Click();

    // The step time of the automatic run last started, in milliseconds.
    int32_t stepTime() const { return stepMs_; }

private:
    using Clock = std::chrono::steady_clock;

    // "Sequence Running:- Loop count = <pass>" when Loop is ticked.
    void showPassNumber();
    // Step time from Edit7, 100 at least (`tooShort`: Edit7 is empty or below 100);
    // false, with the conversion message shown and Start enabled, when it is no integer.
    bool readStepTime(int32_t& ms, bool& tooShort);
    // Arms Timer2 so that its next tick falls due at `due`.
    void armStepTimer(Clock::time_point due);
    // Comment of the table's current row into Edit9.
    void showComment();
    // Readouts, progress bar and step number back to their idle texts.
    void clearDisplays();
    // The steps of one automatic tick (Timer2Timer keeps ticks from overlapping).
    void tick();
    void completeAutoRun();
    void completeManualRun();

    Context& c;
    int32_t stepMs_ = 100;
    Clock::time_point firstStepAt_; // when SendFirstStep sent step 1
    Clock::time_point due_;         // when the next automatic tick falls due
    bool inTick_ = false;           // an automatic tick is in progress
    bool tickPending_ = false;      // a tick fell due during it
};

} // namespace kadenzo

#pragma once
// The groups of enable and disable changes applied whole when a run starts or ends.
#include "app/Context.h"

namespace kadenzo {

enum class ControlSet {
    AutomaticStart,
    ManualStart,
    Stop,
    AutomaticCompletion,
    ManualCompletion,
    LinkTimeout,
};

// Applies the set to the main window and the editor, configuration and preset windows.
// Timers are switched as the set says, with two exceptions left to the caller because
// they must come at a later moment of the start: the step timer's interval and start
// (automatic start) and the manual poll's start after the first step (manual start).
void applyControlSet(Context& c, ControlSet set);

} // namespace kadenzo

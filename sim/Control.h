#pragma once
// The simulated supply's console: one command a line on its standard input
// that injects faults or changes the supply as its own front panel would.
#include "sim/Engine.h"

#include <optional>
#include <string>
#include <string_view>

namespace kadenzo::sim {

struct Control {
    enum class Kind {
        Mute,    // answer nothing
        Unmute,  // answer again
        Garbage, // the next reply is garbage
        Short,   // the next reply is cut short
        Slow,    // answer `ms` after each line end from now on
        Unplug,  // close the pseudo-terminal
        Plug,    // open a new one behind the same link
        Model,   // switch to `model`
        Load,    // put `load` across the output (nothing: open output)
        Output,  // switch the output `on` or off
        Status,  // print the supply's state
        Help,    // print the commands
        Quit,    // end the simulator
    };
    Kind kind = Kind::Help;
    double ms = 0.0;
    Model model = Model::KM417;
    std::optional<double> load;
    bool on = false;
};

// The longest latency `slow` and --latency accept, in milliseconds.
constexpr double MaxLatencyMs = 60000.0;

// One console line: the command word and its argument, separated by blanks.
// Nothing, with `error` set to a message for the user, for a line that is no
// command; nothing with `error` empty for a blank line or a "#" comment.
std::optional<Control> parseControl(std::string_view line, std::string& error);

// A resistance in ohms: a finite number of at least 0; "none" and "open" give
// an open output (nothing inside the result).
std::optional<std::optional<double>> parseLoad(std::string_view text);

// A latency in milliseconds, 0 to MaxLatencyMs.
std::optional<double> parseMilliseconds(std::string_view text);

// Applies the commands that change the engine (mute, unmute, garbage, short,
// model, load, output); returns false for the others, which the program handles.
bool applyTo(Engine& engine, const Control& control);

// One line describing the supply's state, for `status`.
std::string describe(const Engine& engine);

// The console commands, one a line, for `help`.
std::string_view controlHelp();

} // namespace kadenzo::sim

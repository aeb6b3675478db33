#include "sim/Control.h"

#include "sequence/NumberText.h"
#include "sim/Text.h"

#include <cmath>

namespace kadenzo::sim {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<double> number(std::string_view text) {
    try {
        double v = strToFloat(text);
        if (std::isfinite(v))
            return v;
    } catch (const ConversionError&) {
    }
    return std::nullopt;
}

} // namespace

std::optional<std::optional<double>> parseLoad(std::string_view text) {
    text = trimmed(text);
    if (text == "none" || text == "open")
        return std::optional<double>{};
    auto v = number(text);
    if (!v || *v < 0.0)
        return std::nullopt;
    return std::optional<double>{*v};
}

std::optional<double> parseMilliseconds(std::string_view text) {
    auto v = number(trimmed(text));
    if (!v || *v < 0.0 || *v > MaxLatencyMs)
        return std::nullopt;
    return v;
}

std::optional<Control> parseControl(std::string_view line, std::string& error) {
    error.clear();
    line = trimmed(line);
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    size_t gap = 0;
    while (gap < line.size() && !isBlank(line[gap]))
        ++gap;
    std::string_view word = line.substr(0, gap);
    std::string_view arg = trimmed(line.substr(gap));

    struct Plain {
        std::string_view word;
        Control::Kind kind;
    };
    static constexpr Plain plain[] = {
        {"mute", Control::Kind::Mute},       {"unmute", Control::Kind::Unmute},
        {"garbage", Control::Kind::Garbage}, {"short", Control::Kind::Short},
        {"unplug", Control::Kind::Unplug},   {"plug", Control::Kind::Plug},
        {"status", Control::Kind::Status},   {"help", Control::Kind::Help},
        {"quit", Control::Kind::Quit},
    };
    Control c;
    for (const auto& p : plain) {
        if (word != p.word)
            continue;
        if (!arg.empty()) {
            error = std::string(word) + " takes no argument";
            return std::nullopt;
        }
        c.kind = p.kind;
        return c;
    }
    if (word == "slow") {
        auto ms = parseMilliseconds(arg);
        if (!ms) {
            error = "slow needs a time in milliseconds from 0 to 60000";
            return std::nullopt;
        }
        c.kind = Control::Kind::Slow;
        c.ms = *ms;
        return c;
    }
    if (word == "model") {
        auto m = parseModel(arg);
        if (!m) {
            error = "model needs 417 or 826";
            return std::nullopt;
        }
        c.kind = Control::Kind::Model;
        c.model = *m;
        return c;
    }
    if (word == "load") {
        auto ohms = parseLoad(arg);
        if (!ohms) {
            error = "load needs a resistance in ohms (0 or more) or none";
            return std::nullopt;
        }
        c.kind = Control::Kind::Load;
        c.load = *ohms;
        return c;
    }
    if (word == "output") {
        if (arg != "on" && arg != "off") {
            error = "output needs on or off";
            return std::nullopt;
        }
        c.kind = Control::Kind::Output;
        c.on = arg == "on";
        return c;
    }
    error = "unknown command '" + std::string(word) + "' (help lists them)";
    return std::nullopt;
}

bool applyTo(Engine& engine, const Control& control) {
    switch (control.kind) {
    case Control::Kind::Mute:
        engine.setMuted(true);
        return true;
    case Control::Kind::Unmute:
        engine.setMuted(false);
        return true;
    case Control::Kind::Garbage:
        engine.addFault(Fault::Garbage);
        return true;
    case Control::Kind::Short:
        engine.addFault(Fault::Short);
        return true;
    case Control::Kind::Model:
        engine.setModel(control.model);
        return true;
    case Control::Kind::Load:
        return engine.setLoad(control.load);
    case Control::Kind::Output:
        engine.setOutputOn(control.on);
        return true;
    default:
        return false;
    }
}

std::string describe(const Engine& engine) {
    const Output out = engine.output();
    std::string s(modelName(engine.model()));
    s += ", firmware ";
    s += firmwareName(engine.firmware());
    s += ", set " + formatFixed2(engine.voltage(), 0) + " V " +
         formatFixed2(engine.currentLimit(), 0) + " A, output ";
    s += engine.outputOn() ? "on" : "off";
    s += ' ';
    s += formatFixed2(out.volts, 0);
    s += " V ";
    s += fixed3(out.amps);
    s += " A";
    s += out.currentLimit ? " (current limit)" : "";
    s += ", load ";
    s += engine.load() ? formatFixed2(*engine.load(), 0) + " ohm" : std::string("none");
    if (engine.muted())
        s += ", muted";
    return s;
}

std::string_view controlHelp() {
    return "mute | unmute          answer nothing / answer again\n"
           "garbage | short        spoil the next reply (invalid bytes / cut after 2 characters)\n"
           "slow MS                answer MS milliseconds after each line end\n"
           "unplug | plug          close the pseudo-terminal / open a new one behind the link\n"
           "model 417|826          switch the simulated model\n"
           "load OHMS|none         put a resistance across the output, or none\n"
           "output on|off          switch the output as the supply's own button does\n"
           "status | help | quit\n";
}

} // namespace kadenzo::sim

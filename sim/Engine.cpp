#include "sim/Engine.h"

#include "sequence/NumberText.h"
#include "sim/Text.h"

#include <algorithm>
#include <cmath>

namespace kadenzo::sim {
namespace {

// A reading's reply: its letter, the value and the line feed.
std::string reply(char letter, const std::string& value) {
    std::string r(1, letter);
    r += value;
    r += '\n';
    return r;
}

// Replaces the bytes of a reply by ones no reply has: no digits, and neither
// the letters the program looks for at its tested positions.
std::string garbage(std::string_view reply) {
    static const char pattern[] = "#\xA4~\x7F?\xFF%";
    constexpr size_t patternLength = sizeof pattern - 1;
    size_t length = reply.size();
    if (length > 0 && reply.back() == '\n')
        --length;
    std::string out;
    for (size_t i = 0; i < std::max<size_t>(length, 1); ++i)
        out += pattern[i % patternLength];
    out += '\n';
    return out;
}

// The value of a setting command: the whole text must be one number.
std::optional<double> settingValue(std::string_view text) {
    try {
        return strToFloat(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

} // namespace

Limits limitsOf(Model model) {
    switch (model) {
    case Model::VD826:
        return {35.4, 5.05};
    case Model::KM417:
        break;
    }
    return {30.8, 2.06};
}

std::string_view modelName(Model model) {
    return model == Model::VD826 ? "VD 826R" : "KM 417R";
}

std::optional<Model> parseModel(std::string_view text) {
    if (text == "417")
        return Model::KM417;
    if (text == "826")
        return Model::VD826;
    return std::nullopt;
}

std::string_view firmwareName(Firmware firmware) {
    switch (firmware) {
    case Firmware::New:
        return "new";
    case Firmware::Old:
        return "old";
    case Firmware::Any:
        break;
    }
    return "any";
}

std::optional<Firmware> parseFirmware(std::string_view text) {
    if (text == "new")
        return Firmware::New;
    if (text == "old")
        return Firmware::Old;
    if (text == "any")
        return Firmware::Any;
    return std::nullopt;
}

void Engine::setModel(Model model) {
    model_ = model;
    setVoltage(volts_);
    setCurrentLimit(amps_);
}

void Engine::setVoltage(double volts) {
    if (std::isfinite(volts))
        volts_ = std::clamp(volts, 0.0, limitsOf(model_).volts);
}

void Engine::setCurrentLimit(double amps) {
    if (std::isfinite(amps))
        amps_ = std::clamp(amps, 0.0, limitsOf(model_).amps);
}

bool Engine::setLoad(std::optional<double> ohms) {
    if (ohms && (!std::isfinite(*ohms) || *ohms < 0.0))
        return false;
    load_ = ohms;
    return true;
}

Output Engine::output() const {
    if (!on_)
        return {};
    if (!load_)
        return {volts_, 0.0, false};
    const double ohms = *load_;
    // Voltage regulation while V/R stays below the limit (compared as V < I*R, which
    // also holds for a dead short); otherwise the current is held at the limit.
    if (volts_ < amps_ * ohms)
        return {volts_, volts_ / ohms, false};
    return {amps_ * ohms, amps_, true};
}

std::string Engine::execute(std::string_view command) {
    if (command.substr(0, 2) == "v ") {
        if (auto value = settingValue(command.substr(2)))
            setVoltage(*value);
        return {};
    }
    if (command.substr(0, 2) == "i ") {
        if (auto value = settingValue(command.substr(2)))
            setCurrentLimit(*value);
        return {};
    }
    if (command == "ON") {
        on_ = true;
        return {};
    }
    if (command == "OFF") {
        on_ = false;
        return {};
    }
    if (command == "out?")
        return on_ ? "Out ON\n" : "Out OFF\n";
    if (command == "m?")
        return output().currentLimit ? "M: I\n" : "M: V\n";
    if (command == "v?")
        return reply('V', formatFixed2(volts_, 0));
    if (command == "i?")
        return reply('I', formatFixed2(amps_, 0));
    if (command == "vo?")
        return reply('V', formatFixed2(output().volts, 0));
    if (command == "io?")
        return reply('I', fixed3(output().amps));
    if (command == "*idn?") {
        std::string idn = "BRENNIK,";
        idn += modelName(model_);
        idn += firmware_ == Firmware::Old ? ",0,1.10\n" : ",0,1.12\n";
        return idn;
    }
    return {}; // a bare line end, or a line the supply does not know
}

bool Engine::isLineEnd(char c) const {
    switch (firmware_) {
    case Firmware::New:
        return c == '\n';
    case Firmware::Old:
        return c == '\r';
    case Firmware::Any:
        break;
    }
    return c == '\n' || c == '\r';
}

std::string Engine::faulted(std::string reply) {
    if (reply.empty() || muted_)
        return {};
    if (faults_.empty())
        return reply;
    Fault fault = faults_.front();
    faults_.pop_front();
    if (fault == Fault::Garbage)
        return garbage(reply);
    return reply.substr(0, 2);
}

std::vector<Exchange> Engine::receive(std::string_view bytes) {
    std::vector<Exchange> done;
    for (char c : bytes) {
        if (isLineEnd(c)) {
            Exchange ex;
            ex.command = line_ + c;
            if (!overflow_)
                ex.reply = faulted(execute(line_));
            done.push_back(std::move(ex));
            line_.clear();
            overflow_ = false;
            continue;
        }
        if (line_.size() == MaxLine) {
            // A full input buffer: the line will be dropped. Hand on what was
            // received so far, so nothing that arrived goes unseen.
            done.push_back({line_, {}});
            line_.clear();
            overflow_ = true;
        }
        line_ += c;
    }
    return done;
}

std::string Engine::respond(std::string_view bytes) {
    std::string out;
    for (const auto& ex : receive(bytes))
        out += ex.reply;
    return out;
}

void Engine::clearInput() {
    line_.clear();
    overflow_ = false;
}

} // namespace kadenzo::sim

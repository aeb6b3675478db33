#pragma once
// The simulated bench supply: its state, the command lines it takes and the
// replies it gives. No I/O and no clock: bytes go in, reply bytes come out, so
// the same engine answers on a pseudo-terminal and inside the tests' fake port.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kadenzo::sim {

enum class Model { KM417, VD826 };

// Which byte ends a command line: New takes LF, Old takes CR, Any takes either.
enum class Firmware { New, Old, Any };

// The highest settings a model accepts.
struct Limits {
    double volts;
    double amps;
};
Limits limitsOf(Model model);

// "KM 417R" or "VD 826R".
std::string_view modelName(Model model);
// "417" or "826"; nothing for any other text.
std::optional<Model> parseModel(std::string_view text);

// "new", "old" or "any".
std::string_view firmwareName(Firmware firmware);
std::optional<Firmware> parseFirmware(std::string_view text);

// What the output terminals give.
struct Output {
    double volts = 0.0;
    double amps = 0.0;
    bool currentLimit = false; // in current-limit regulation
};

// One line the supply took and what it answered.
struct Exchange {
    std::string command; // the bytes of the line, its line end included
    std::string reply;   // the bytes answered; empty when none
};

// One-shot reply faults, applied in order to the next replies.
enum class Fault {
    Garbage, // bytes that are no valid reply, ended by LF
    Short,   // the reply cut after 2 characters, no line end
};

class Engine {
public:
    // A line longer than this is dropped unexecuted, as a full input buffer would.
    static constexpr size_t MaxLine = 128;

    Engine() = default;
    explicit Engine(Model model, Firmware firmware = Firmware::Any)
        : model_(model), firmware_(firmware) {}

    // --- state -----------------------------------------------------------------
    Model model() const { return model_; }
    // Changing the model clamps the settings to its limits.
    void setModel(Model model);
    Firmware firmware() const { return firmware_; }
    void setFirmware(Firmware firmware) { firmware_ = firmware; }

    // Settings are clamped to [0, model limit]; a value that is not finite is ignored.
    double voltage() const { return volts_; }
    void setVoltage(double volts);
    double currentLimit() const { return amps_; }
    void setCurrentLimit(double amps);

    bool outputOn() const { return on_; }
    void setOutputOn(bool on) { on_ = on; }

    // The load across the output in ohms; nothing when the output is open.
    // A negative or non-finite resistance is refused (false, load unchanged).
    std::optional<double> load() const { return load_; }
    bool setLoad(std::optional<double> ohms);

    // The output as the load and the settings make it.
    Output output() const;

    // --- faults ----------------------------------------------------------------
    // Muted, commands still act but nothing is answered.
    bool muted() const { return muted_; }
    void setMuted(bool muted) { muted_ = muted; }
    // Queues a fault for the next reply not yet faulted.
    void addFault(Fault fault) { faults_.push_back(fault); }
    size_t faultsQueued() const { return faults_.size(); }

    // --- the wire --------------------------------------------------------------
    // Takes received bytes and returns every line they completed, in order, with
    // its reply. Bytes after the last line end wait for the next call.
    std::vector<Exchange> receive(std::string_view bytes);
    // receive(), keeping only the reply bytes, joined.
    std::string respond(std::string_view bytes);
    // Bytes received that no line end has completed yet.
    const std::string& pendingInput() const { return line_; }
    // Forgets the incomplete line (a new connection starts clean).
    void clearInput();

    // The true reply to one command (its line end removed), applying any setting
    // it makes; empty for commands without a reply. No faults, no muting.
    std::string execute(std::string_view command);

private:
    bool isLineEnd(char c) const;
    std::string faulted(std::string reply);

    Model model_ = Model::KM417;
    Firmware firmware_ = Firmware::Any;
    double volts_ = 0.0;
    double amps_ = 0.0;
    bool on_ = false;
    std::optional<double> load_;
    bool muted_ = false;
    std::deque<Fault> faults_;
    std::string line_;      // the line being received
    bool overflow_ = false; // the line being received was too long: dropped
};

} // namespace kadenzo::sim

#pragma once
// The supply models with their limits, the check of one cell against the limits
// and the switch between models.
#include "sequence/SequenceTable.h"

#include <array>
#include <string>
#include <string_view>

namespace kadenzo {

struct SupplyModel {
    int number;          // the value of selectedModel
    const char* caption; // menu caption
    float maxVolts;      // limits, single precision
    float maxAmps;
    const char* idNumber; // number found in the supply's identification reply
    bool visible;         // shown in the "Instrument" menus
};

// Models 1, 2 and 3, in that order.
const std::array<SupplyModel, 3>& supplyModels();
// The model with that number, or nullptr outside 1..3.
const SupplyModel* findSupplyModel(int number);

// Model 1's limits as decimal constants, for the full-precision test of the switch.
inline constexpr double kModel1VoltsLimit = 30.8;
inline constexpr double kModel1AmpsLimit = 2.06;

inline constexpr const char* kTextValueExceeds = "Value Exceeds Maximum Setting";
inline constexpr const char* kTextExceedPsuLimits =
    "One or more data values exceed PSU limits\rPlease correct and retry";

// What ValidateCell does to one cell: the cell's new text and whether the value
// was above the limit (then the caller beeps, shows kTextValueExceeds and sets
// cellRejected). Volts: above maxVolts gives "0.00", otherwise the value in
// "%4.2f", and a value of exactly 0 gives "0.00". I Limit: the same with maxAmps,
// "%3.2f" and "0.01". Comments and step numbers are kept and never rejected.
// Values compare in single precision, so a value equal to the limit passes;
// only the upper limit is tested (-1 becomes "-1.00"). A text whose value does
// not fit single precision (such as 1e999 in a loaded file) is rejected too.
struct CellVerdict {
    std::string text;
    bool rejected = false;
};
CellVerdict validateCellText(int column, std::string_view text, float maxVolts, float maxAmps);

// Switching the table to a model. Model 1 first scans the steps: for each step
// row i it makes column 1, then row i the current cell (firing the table's
// current-cell notifications, so the editor's cell-leave processing runs), then
// reads Volts and I Limit with the strict conversion and compares them with
// 30.8 and 2.06 at full precision. Models 2 and 3 switch without a check.
// Nothing here changes the selected model: on Switched the caller sets it and
// the limits of findSupplyModel(model).
struct ModelSwitch {
    enum class Outcome {
        Switched,         // every step is within the model's limits
        OverLimit,        // `row` is above model 1's limits; message = kTextExceedPsuLimits
        ConversionFailed, // `row` holds a text that is not a number; message = the conversion error
        UnknownModel,     // not 1, 2 or 3; nothing happened
    };
    Outcome outcome = Outcome::Switched;
    int row = 0;
    std::string message;
};
ModelSwitch switchModel(SequenceTable& table, int model);

} // namespace kadenzo

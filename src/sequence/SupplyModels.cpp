#include "sequence/SupplyModels.h"

#include "sequence/NumberText.h"

#include <cmath>

namespace kadenzo {

const std::array<SupplyModel, 3>& supplyModels() {
    static const std::array<SupplyModel, 3> models{{
        {1, "KM 417R", 30.8f, 2.06f, "417", true},
        {2, "VD 826R", 35.4f, 5.05f, "826", true},
        {3, "ZN 826R", 35.4f, 5.05f, "826", false},
    }};
    return models;
}

const SupplyModel* findSupplyModel(int number) {
    for (const SupplyModel& m : supplyModels()) {
        if (m.number == number)
            return &m;
    }
    return nullptr;
}

CellVerdict validateCellText(int column, std::string_view text, float maxVolts, float maxAmps) {
    if (column != VoltsColumn && column != AmpsColumn)
        return {std::string(text), false};
    const bool volts = column == VoltsColumn;
    const float v = leadingFloat(text);
    const float limit = volts ? maxVolts : maxAmps;
    // A text too large for single precision (only a loaded text can hold one)
    // is no setting at all: it is rejected like a value above the limit, also
    // when negative, instead of becoming "inf" or "-inf".
    if (v > limit || !std::isfinite(v))
        return {cellDefault(column), true};
    if (v == 0.0f)
        return {cellDefault(column), false};
    return {volts ? format42(v) : format32(v), false};
}

ModelSwitch switchModel(SequenceTable& table, int model) {
    if (findSupplyModel(model) == nullptr)
        return {ModelSwitch::Outcome::UnknownModel, 0, {}};
    if (model != 1)
        return {};
    for (int i = 1; i < table.RowCount(); ++i) {
        table.setCurrentCol(VoltsColumn);
        table.setCurrentRow(i);
        double volts = 0.0;
        double amps = 0.0;
        try {
            volts = strToFloat(table.cell(VoltsColumn, i));
            amps = strToFloat(table.cell(AmpsColumn, i));
        } catch (const ConversionError& e) {
            return {ModelSwitch::Outcome::ConversionFailed, i, e.what()};
        }
        if (volts > kModel1VoltsLimit || amps > kModel1AmpsLimit)
            return {ModelSwitch::Outcome::OverLimit, i, kTextExceedPsuLimits};
    }
    return {};
}

} // namespace kadenzo

#include "sequence/SequenceTable.h"

#include "sequence/NumberText.h"

#include <algorithm>
#include <utility>

namespace kadenzo {
namespace {

const std::string kEmpty;

} // namespace

const char* cellDefault(int column) {
    switch (column) {
    case VoltsColumn:
        return kDefaultVolts;
    case AmpsColumn:
        return kDefaultAmps;
    default:
        return "";
    }
}

SequenceTable::SequenceTable() {
    rows_.push_back({"Step", "Volts", "I Limit", "Comment"});
    rows_.push_back({"1", kDefaultVolts, kDefaultAmps, ""});
}

const std::string& SequenceTable::cell(int col, int row) const {
    if (col < 0 || col >= kColumnCount || row < 0 || row >= RowCount())
        return kEmpty;
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void SequenceTable::setCell(int col, int row, std::string text) {
    if (col < 0 || col >= kColumnCount || !isStepRow(row))
        return;
    rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = std::move(text);
    notifyChanged({TableChange::Kind::Cells, row, 1, col});
}

StepTexts SequenceTable::step(int row) const {
    return {cell(VoltsColumn, row), cell(AmpsColumn, row), cell(CommentColumn, row)};
}

void SequenceTable::setRowCount(int rows) {
    rows = std::max(rows, 2);
    int old = RowCount();
    if (rows == old)
        return;
    if (rows > old) {
        TableChange change{TableChange::Kind::RowsInserted, old, rows - old, -1};
        notifyAbout(change);
        rows_.resize(static_cast<size_t>(rows));
        notifyChanged(change);
    } else {
        TableChange change{TableChange::Kind::RowsRemoved, rows, old - rows, -1};
        notifyAbout(change);
        rows_.resize(static_cast<size_t>(rows));
        notifyChanged(change);
        clampCurrent();
    }
}

void SequenceTable::setCurrentCell(int col, int row) {
    CellPos to{std::clamp(col, 1, kColumnCount - 1), std::clamp(row, 1, RowCount() - 1)};
    if (to == current_)
        return;
    CellPos from = current_;
    if (onCurrentCellChanging)
        onCurrentCellChanging(from, to);
    // A handler may not change the rows; should one do so, stay inside the table.
    to.row = std::min(to.row, RowCount() - 1);
    current_ = to;
    if (onCurrentCellChanged)
        onCurrentCellChanged(from, current_);
}

void SequenceTable::appendRow() {
    int row = RowCount();
    TableChange change{TableChange::Kind::RowsInserted, row, 1, -1};
    notifyAbout(change);
    rows_.emplace_back();
    notifyChanged(change);
    renumberFrom(row);
}

void SequenceTable::insertRow(int row) {
    row = std::clamp(row, 1, RowCount());
    TableChange change{TableChange::Kind::RowsInserted, row, 1, -1};
    notifyAbout(change);
    rows_.insert(rows_.begin() + row, Row{});
    notifyChanged(change);
    renumberFrom(row);
}

bool SequenceTable::removeRow(int row) {
    if (!isStepRow(row) || stepCount() < 2)
        return false;
    TableChange change{TableChange::Kind::RowsRemoved, row, 1, -1};
    notifyAbout(change);
    rows_.erase(rows_.begin() + row);
    notifyChanged(change);
    if (row < RowCount())
        renumberFrom(row);
    clampCurrent();
    return true;
}

void SequenceTable::renumber() {
    renumberFrom(1);
}

void SequenceTable::renumberFrom(int row) {
    for (int i = row; i < RowCount(); ++i) {
        std::string& number = rows_[static_cast<size_t>(i)][StepColumn];
        number = intToText(i);
    }
    if (row < RowCount())
        notifyChanged({TableChange::Kind::Cells, row, RowCount() - row, StepColumn});
}

void SequenceTable::reset() {
    replaceSteps({});
}

void SequenceTable::replaceSteps(std::vector<StepTexts> steps) {
    if (steps.empty())
        steps.push_back({kDefaultVolts, kDefaultAmps, ""});
    TableChange change{TableChange::Kind::Reset, 0, 0, -1};
    notifyAbout(change);
    rows_.resize(1);
    rows_.reserve(steps.size() + 1);
    for (StepTexts& s : steps) {
        rows_.push_back(
            {intToText(RowCount()), std::move(s.volts), std::move(s.amps), std::move(s.comment)});
    }
    notifyChanged(change);
    clampCurrent();
}

void SequenceTable::clampCurrent() {
    CellPos from = current_;
    current_.col = std::clamp(current_.col, 1, kColumnCount - 1);
    current_.row = std::clamp(current_.row, 1, RowCount() - 1);
    if (current_ != from && onCurrentCellChanged)
        onCurrentCellChanged(from, current_);
}

void SequenceTable::notifyAbout(const TableChange& change) {
    if (onAboutToChange)
        onAboutToChange(change);
}

void SequenceTable::notifyChanged(const TableChange& change) {
    if (onChanged)
        onChanged(change);
}

} // namespace kadenzo

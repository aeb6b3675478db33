#pragma once
// The sequence table: a grid of text cells, 4 columns, a fixed header row 0 and
// one step per row from 1 to RowCount() - 1. Cells hold 8-bit text exactly as
// given (bytes, no encoding assumed). The table also keeps the current cell,
// which is always in columns 1..3 of a step row, and tells its observers before
// and after that cell moves and whenever cells or rows change.
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace kadenzo {

enum Column : int { StepColumn = 0, VoltsColumn = 1, AmpsColumn = 2, CommentColumn = 3 };

inline constexpr int kColumnCount = 4;
inline constexpr const char* kDefaultVolts = "0.00";
inline constexpr const char* kDefaultAmps = "0.01";

// The text a Volts or I Limit cell gets when it is left empty or is reset:
// "0.00", "0.01"; the empty text for the other columns.
const char* cellDefault(int column);

// The three editable cells of one step (the step number is the row's own).
struct StepTexts {
    std::string volts;
    std::string amps;
    std::string comment;
    friend bool operator==(const StepTexts&, const StepTexts&) = default;
};

struct CellPos {
    int col = VoltsColumn;
    int row = 1;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// What changed, in table rows (row 0 is the header).
struct TableChange {
    enum class Kind {
        Cells,        // rows [firstRow, firstRow + count) in `column` (-1: all columns)
        RowsInserted, // `count` rows now start at firstRow
        RowsRemoved,  // the `count` rows that started at firstRow are gone
        Reset,        // anything may have changed
    };
    Kind kind = Kind::Reset;
    int firstRow = 0;
    int count = 0;
    int column = -1;
};

class SequenceTable {
public:
    // One default step: "1", "0.00", "0.01", ""; the current cell is its Volts cell.
    SequenceTable();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int stepCount() const { return RowCount() - 1; }

    // A cell's text. Outside the grid: the empty text.
    const std::string& cell(int col, int row) const;
    // Sets a cell's text. Writes outside the step rows (header, out of range) are ignored.
    void setCell(int col, int row, std::string text);

    // Sets the number of rows (at least 2; smaller values count as 2). New rows are
    // empty and unnumbered; renumber() numbers them. The current cell moves as for
    // the row operations below.
    void setRowCount(int rows);

    CellPos currentCell() const { return current_; }
    int currentCol() const { return current_.col; }
    int currentRow() const { return current_.row; }
    // Moves the current cell, clamped into columns 1..3 and the step rows. When the
    // target differs from the current cell, onCurrentCellChanging runs first, with
    // currentCell() still the cell being left, then the move, then
    // onCurrentCellChanged. Handlers may change cell texts but must not move the
    // current cell or change the rows.
    void setCurrentCell(int col, int row);
    void setCurrentCol(int col) { setCurrentCell(col, current_.row); }
    void setCurrentRow(int row) { setCurrentCell(current_.col, row); }

    // Row operations. Each numbers every step row in column 0 afterwards.
    // The current cell keeps its row number; when that row no longer exists it
    // moves to the last step, with onCurrentCellChanged only (the cell it was on
    // is gone, so there is nothing to leave).
    void appendRow();        // one empty step at the end
    void insertRow(int row); // an empty step at `row` (1..RowCount()); rows below move down
    bool removeRow(int row); // false (nothing removed) when it is the only step
    void renumber();         // column 0 of step row i = decimal text of i
    void reset();            // exactly one default step
    // Replaces every step with `steps` (at least one; an empty list gives one
    // default step) and numbers them. The current cell stays unless its row is gone.
    void replaceSteps(std::vector<StepTexts> steps);
    StepTexts step(int row) const;

    // Observers. onAboutToChange runs before rows are inserted or removed and
    // before a reset; onChanged after every change, cell texts included.
    std::function<void(CellPos from, CellPos to)> onCurrentCellChanging;
    std::function<void(CellPos from, CellPos to)> onCurrentCellChanged;
    std::function<void(const TableChange&)> onAboutToChange;
    std::function<void(const TableChange&)> onChanged;

private:
    using Row = std::array<std::string, kColumnCount>;

    bool isStepRow(int row) const { return row >= 1 && row < RowCount(); }
    void clampCurrent();
    void notifyAbout(const TableChange& change);
    void notifyChanged(const TableChange& change);
    void renumberFrom(int row);

    std::vector<Row> rows_;
    CellPos current_;
};

} // namespace kadenzo

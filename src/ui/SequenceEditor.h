#pragma once
// The sequence editor's behaviour: the table it owns, its key filter and cell rules,
// the row operations, the sequence files and the model switches of both windows.
#include "app/Context.h"
#include "sequence/SequenceTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QLineEdit;
class QString;

namespace kadenzo {

class SequenceGridModel;
class SequenceCellDelegate;

inline constexpr const char* kTextUnsavedDataLost =
    "Unsaved sequence data\r Data will be lost\rDo you want to save ?";

class SequenceEditor {
public:
    explicit SequenceEditor(Context& c);
    ~SequenceEditor();
    SequenceEditor(const SequenceEditor&) = delete;
    SequenceEditor& operator=(const SequenceEditor&) = delete;

    // Connects the editor window's grid, buttons and menus and the main window's
    // "File" and "Instrument" items. Runs right after TForm2 is made.
    void wire();
    void FormCreate();

    // The sequence: the one table the grid shows and the runner plays.
    SequenceTable& table() { return table_; }

    int32_t unsavedChanges = 0;
    int32_t cellRejected = 0;
    // Text of the current cell when it became current or when Enter was last
    // pressed in it; Escape restores it.
    std::string cellEntryText;

    enum class SaveResult { Saved, NotSaved, WriteFailed };
    // Validates the current cell, asks for a name and writes the .seq file.
    SaveResult SaveSequence();
    // Offers to save unsaved changes, asks for a .seq file and replaces the table with it.
    void LoadSequence();
    // Offers to save unsaved changes and resets the table to one default step.
    void NewSequence();
    // Asks for a CSV file and replaces the table with its lines.
    void ImportCsv();

    // Checks the current cell against the selected model's limits (beep and message
    // when it is above; the cell then holds its default and cellRejected is 1).
    void ValidateCell();

    // Handlers.
    void FormShow();
    void FormDeactivate();
    void StringGrid1SelectCell(CellPos from, CellPos to);
    // Key filter for a character typed into the current cell (8 Backspace, 13 Enter,
    // 27 Escape); sets `key` to 0 to discard it.
    void StringGrid1KeyPress(char16_t& key);
    void Button1Click(); // Add
    void Button2Click(); // Delete
    void Button3Click(); // Insert
    void Button4Click(); // Copy
    // The model items of both windows: select model 1, 2 or 3.
    void KM417R1Click() { selectModel(1); }
    void Vd826R1Click() { selectModel(2); }
    void Zn826R1Click() { selectModel(3); }
    void ZN826R1Click() { selectModel(3); }

    SequenceGridModel* gridModel() const { return model_.get(); }
    // The in-place editor of the current cell while one is open, else nullptr.
    QLineEdit* cellEditor() const;

private:
    friend class SequenceCellDelegate;
    friend class SequenceGridKeys;

    void selectModel(int model);
    // Ticks of both windows' model items: set from a model, or put back as they were.
    void tickModel(int model);
    void restoreTicks();
    void applyLimitsOfTickedItem();
    void resetTable();
    // Closes the in-place editor; its text is already in the table.
    void closeCellEditor();
    // Before Add, Delete, Insert, Copy and Save: closes the cell editor and validates
    // the current cell; false when its value was rejected (the operation does nothing).
    bool currentCellAccepted();
    // New and Load: with unsaved changes, asks whether to save them first.
    enum class UnsavedAnswer {
        NoChanges,   // nothing to ask about
        SaveOffered, // Yes: SaveSequence ran (a file written, or its dialog cancelled)
        Discard,     // No
        Stop,        // Cancel, or Yes and the file could not be written: keep the table
    };
    UnsavedAnswer askAboutUnsavedChanges();
    // Keeps the grid's current index on the table's current cell.
    void showCurrentCell(bool scroll);
    void viewCurrentChanged();
    void tableChanged(const TableChange& change);
    // An edit of the in-place editor's text that did not come through the key filter
    // (typed keys that passed it, Delete, paste, undo): stored when it keeps the cell's
    // rules, else put back.
    void editorTextEdited(QLineEdit* editor, CellPos cell, const QString& text);

    Context& c;
    SequenceTable table_;
    std::unique_ptr<SequenceGridModel> model_;
    std::unique_ptr<SequenceCellDelegate> delegate_;
    // Operations of the editor in progress (their boxes take the activation).
    int busy_ = 0;
    // Grid-to-table moves are ignored while the table itself moves the grid.
    int viewSyncBlocked_ = 0;
    // Ticks of the main window's and the editor's items for models 1, 2 and 3.
    std::array<bool, 3> mainTicks_{};
    std::array<bool, 3> editorTicks_{};
};

} // namespace kadenzo

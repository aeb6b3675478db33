#pragma once
// The sequence editor's behaviour: the table it owns, its key filter and cell rules,
// the row operations, the sequence files and the model switches of both windows.
#include "app/Context.h"
#include "sequence/SequenceTable.h"

#include <cstdint>

namespace kadenzo {

class SequenceEditor {
public:
    explicit SequenceEditor(Context& c) : c(c) {}
    void wire();
    void FormCreate();

    // The sequence: the one table the grid shows and the runner plays.
    SequenceTable& table() { return table_; }

    int32_t unsavedChanges = 0;
    int32_t cellRejected = 0;

    enum class SaveResult { Saved, NotSaved, WriteFailed };
    // Validates the current cell, asks for a name and writes the .seq file.
    SaveResult SaveSequence();

private:
    Context& c;
    SequenceTable table_;
};

} // namespace kadenzo

#include "ui/SequenceEditor.h"

namespace kadenzo {

void SequenceEditor::wire() {}
void SequenceEditor::FormCreate() {}
SequenceEditor::SaveResult SequenceEditor::SaveSequence() {
    return SaveResult::NotSaved;
}

} // namespace kadenzo
